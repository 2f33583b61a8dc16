// A read error after many difference lines: the error message must come
// right behind the last line, also when the lines filled the line buffer more
// than once. A file can't be made to fail a read mid-run from the command
// line (lengths are measured first), so this runs the engine's pieces in a
// child process: the lines of one block, then a read of a file that is too
// short, which ends the process.
#include "compare/compare_run.h"
#include "run_program.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(FlushOrder, ReadErrorMessageComesRightAfterManyLines) {
    TempDir dir;
    const std::string shortFile = dir.file("short"), outFile = dir.file("out");
    writeFile(shortFile, "12345");
    const uint32_t n = 9000; // 144000 bytes of lines, more than two buffer-fulls
    std::string a = randomBytes(n, 1), b = randomBytes(n, 2);
    std::string expected;
    char line[32];
    for (uint32_t i = 0; i < n; i++)
        if (a[i] != b[i]) {
            snprintf(line, sizeof line, "%08X: %02X %02X\n", i, a[i] & 0xFF, b[i] & 0xFF);
            expected += line;
        }
    expected += "Unexpected EOF or error reading file 'short'\n";

    fflush(stdout); // nothing of the test's own output may reach the child's file
    EXPECT_EXIT(
        {
            boundChild();
            int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            run.diffsLeft = 0xffffffff;
            reportBlockDiffs(reinterpret_cast<const uint8_t*>(a.data()),
                             reinterpret_cast<const uint8_t*>(b.data()), n, n, 0, 0);
            FILE* stream = fopen(shortFile.c_str(), "rb");
            readChecked(run.bufInp2, 10, stream, "short");
        },
        testing::ExitedWithCode(255), "");
    EXPECT_EQ(readAll(outFile), expected);
}

} // namespace
