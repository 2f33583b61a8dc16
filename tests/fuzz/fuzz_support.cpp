#include "fuzz_support.h"

#include "cmdline/cmdline.h"
#include "compare/compare_run.h"
#include "compare/output.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

jmp_buf runEnded;
int32_t endStatus;
char scratchFolder[] = "/tmp/zebrin-fuzz-XXXXXX";

void removeScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

// Everything a run leaves behind: its two streams and the record's scalar
// fields. The buffers need no clearing, a run only reads what it has read
// into them; the output line buffer is emptied by every end of a run.
void resetRun() {
    if (run.fInp1 != nullptr) fclose(run.fInp1);
    if (run.fInp2 != nullptr) fclose(run.fInp2);
    memset(&run, 0, offsetof(CompareRun, bufInp1));
    clearerr(stdout);
}

} // namespace

// The fuzz build's end of a run: back to the harness, which carries on with
// the next input. Every end of a run passes endRun, which flushed the output.
void platformExit(int32_t status) {
    endStatus = status;
    longjmp(runEnded, 1);
}

int32_t runZebrin(char** argv) {
    resetRun();
    if (setjmp(runEnded) == 0) zebrinMain(argv);
    return endStatus;
}

bool parseConstantInHarness(const char* text, uint32_t& value) {
    resetRun();
    endStatus = 0;
    if (setjmp(runEnded) == 0) {
        value = parseConstant(text);
        return true;
    }
    if (endStatus != -1) propertyBroken("parseConstant ended with a status other than -1");
    return false;
}

void enterScratchFolder() {
    if (mkdtemp(scratchFolder) == nullptr || chdir(scratchFolder) != 0) {
        perror("zebrin fuzz: scratch folder");
        exit(1);
    }
    atexit(removeScratchFolder);
}

void writeScratchFile(const char* name, const uint8_t* bytes, size_t n) {
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || (n != 0 && write(fd, bytes, n) != static_cast<ssize_t>(n))) {
        perror("zebrin fuzz: writing a scratch file");
        exit(1);
    }
    close(fd);
}

void redirectStandardOutput(int fd) {
    fflush(stdout);
    if (dup2(fd, STDOUT_FILENO) < 0) {
        perror("zebrin fuzz: redirecting standard output");
        exit(1);
    }
}

void propertyBroken(const std::string& what) {
    fprintf(stderr, "zebrin fuzz: property broken: %s\n", what.c_str());
    abort();
}
