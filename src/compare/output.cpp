// The one place that writes standard output: printf for the texts, the line
// buffer of output.h for the difference lines, handed over before any text.
#include "compare/output.h"
#include "compare/compare_run.h"
#include "compare/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace outLines {

char buffer[bufferSize];
uint32_t used;
bool failed; // a hand-over to standard output lost bytes

void flush() {
    checkMappedLines();
    if (used != 0 && !writeStdout(buffer, used)) failed = true;
    used = 0;
}

} // namespace outLines

void outTextV(const char* format, va_list args) {
    outLines::flush();
    vprintf(format, args);
}

void outText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    outTextV(format, args);
    va_end(args);
}

bool outFinish() {
    outLines::flush();
    return fflush(stdout) == 0 && !ferror(stdout) && !outLines::failed;
}

void endRun(int32_t status) {
    leaveMapped();
    if (!outFinish()) {
        // Standard output can't carry this; a comparison whose lines were lost
        // must not look like a result.
        fputs("zebrin: error writing standard output\n", stderr);
        status = 255;
    }
    platformExit(status);
}
