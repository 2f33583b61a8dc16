// Runs the command-line table against the program named by ZEBRIN_PROGRAM,
// through ZEBRIN_LAUNCHER when set (wine for the Win32 deliverables).
#include "case_name.h"
#include "cli_case.h"
#include "run_program.h"
#include "same_text.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string env(const char* name) {
    const char* v = getenv(name);
    return v != nullptr ? v : "";
}

unsigned deliverableUnderTest() {
    std::string d = env("ZEBRIN_DELIVERABLE");
    if (d == "linux") return Linux;
    if (d == "con32") return Con32;
    if (d == "posix32") return Posix32;
    return Native;
}

std::string usageText() {
    return "\n"
           "  ZEBRIN: byte-by-byte file comparer\n"
           "  Version 1.0  by the ZEBRIN developers, " +
           env("ZEBRIN_RELEASE_DATE") +
           "\n"
           "  https://zebrin.example.org/\n"
           "  https://mirror.example.org/zebrin/\n"
           "\n  Usage: ZEBRIN [switches] InputFname1 InputFname2\n  switches:\n"
           "    -l1$XXXXXXXX - buffer1len: 1...0x400000 bytes (default 0x400000)\n"
           "    -l2$XXXXXXXX - buffer2len: 1...0x100000 bytes (default 0x100000)\n"
           "    -b1$XXXXXXXX - file 1 beg (default 0)\n"
           "    -b2$XXXXXXXX - file 2 beg (default 0)\n"
           "    -n$XXXXXXXX  - stop after n numer of diffs (default 0xffffffff)\n"
           "    -v           - Verbose output\n"
           "    -s           - Sync beginning search in first [buffer2len] bytes\n"
           "    -?, -h       - this help message\n  ";
}

// What the deliverable writes for the case's text: the Win32 console C
// library writes every "\n" in text mode.
std::string expectedOutput(const CliCase& c) {
    std::string out = c.out;
    for (size_t at = out.find("@USAGE@"); at != std::string::npos; at = out.find("@USAGE@"))
        out.replace(at, 7, usageText());
    if (deliverableUnderTest() == Con32) {
        std::string crlf;
        for (char ch : out) {
            if (ch == '\n') crlf += '\r';
            crlf += ch;
        }
        out = crlf;
    }
    return out;
}

// The text with "@DIR@" as the absolute path of the case's folder.
std::string inFolder(std::string text, const std::string& dir) {
    for (size_t at = text.find("@DIR@"); at != std::string::npos; at = text.find("@DIR@", at))
        text.replace(at, 5, dir);
    return text;
}

void writeSparseFile(const std::string& path, uint64_t length, const std::string& tail) {
    writeFile(path, "");
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(length - tail.size())), 0) << path;
    FILE* f = fopen(path.c_str(), "ab");
    ASSERT_NE(f, nullptr) << path;
    fwrite(tail.data(), 1, tail.size(), f);
    fclose(f);
}

void createFiles(const TempDir& dir, const CliCase& c) {
    for (const CaseFile& f : c.files) {
        std::string path = dir.file(f.name);
        if (f.isDirectory)
            ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path;
        else if (f.isFifo)
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
        else if (f.sparseLength != 0)
            writeSparseFile(path, f.sparseLength, f.bytes);
        else
            writeFile(path, f.bytes);
    }
}

class CliTable : public testing::TestWithParam<CliCase> {};

TEST_P(CliTable, OutputAndStatus) {
    const CliCase& c = GetParam();
    if ((c.on & deliverableUnderTest()) == 0) {
        GTEST_SKIP() << "not on this deliverable";
    }
    std::string program = env("ZEBRIN_PROGRAM");
    ASSERT_FALSE(program.empty()) << "ZEBRIN_PROGRAM is not set";
    TempDir dir;
    createFiles(dir, c);
    std::vector<std::string> argv{program};
    for (const std::string& arg : c.args)
        argv.push_back(inFolder(arg, dir.path));
    // Wine reads arguments and file names in the locale's character set; the
    // table's are UTF-8.
    if (!env("ZEBRIN_LAUNCHER").empty()) setenv("LC_ALL", "C.UTF-8", 1);
    ProgramResult r = runProgram(splitWords(env("ZEBRIN_LAUNCHER")), argv, dir.path);
    expectSameText(r.out, inFolder(expectedOutput(c), dir.path));
    // Through a launcher, its own complaints land on stderr.
    EXPECT_EQ(r.status, c.status) << "stderr: " << r.err;
    if (env("ZEBRIN_LAUNCHER").empty()) {
        EXPECT_EQ(r.err, "") << "the program never writes stderr";
    }
}

INSTANTIATE_TEST_SUITE_P(CommandLine, CliTable, testing::ValuesIn(commandLineCases()),
                         caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(Driver, CliTable, testing::ValuesIn(driverCases()), caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(Differences, CliTable, testing::ValuesIn(differenceCases()),
                         caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(Summary, CliTable, testing::ValuesIn(summaryCases()), caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(Sync, CliTable, testing::ValuesIn(syncCases()), caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(Flush, CliTable, testing::ValuesIn(flushCases()), caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(HostileNames, CliTable, testing::ValuesIn(hostileNameCases()),
                         caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(HostileNumbers, CliTable, testing::ValuesIn(hostileNumberCases()),
                         caseName<CliCase>);
INSTANTIATE_TEST_SUITE_P(HostileRuns, CliTable, testing::ValuesIn(hostileRunCases()),
                         caseName<CliCase>);

} // namespace
