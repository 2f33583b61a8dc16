// The last step of every run, kept apart so that a fuzz or test build can link
// its own in its place and catch the status instead of ending the process.
#include "compare/output.h"

#include <cstdlib>

void platformExit(int32_t status) {
#if ZEBRIN_EXIT_LOW_EIGHT_BITS
    // A POSIX parent sees only the low eight bits; hand over just those.
    exit(status & 0xFF);
#else
    exit(status);
#endif
}
