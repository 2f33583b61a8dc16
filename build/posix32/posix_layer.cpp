// The stand-in for the POSIX emulation layer that zebrin-posix32 is built
// against. That layer's C library writes "\n" as it stands, so its standard
// output is in binary mode before the program's main runs; the program itself
// never changes the mode. (The layer's other trait, a parent seeing only the
// low eight bits of the status, is the exit setting of this deliverable.)
#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

__attribute__((constructor)) void presentBinaryStdout() {
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace
