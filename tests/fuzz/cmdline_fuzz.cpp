// Fuzz target: arbitrary argument vectors through the whole program. The input
// is split on NUL bytes into arguments; the run happens in a scratch folder
// holding a few small files, so that names the fuzzer finds compare for real.
#include "fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t maxArgs = 256;
constexpr size_t maxInput = 1 << 16;

char text[maxInput + 1];
char programName[] = "zebrin";
char* argv[maxArgs + 2];

// Every status the program documents; -1 is handed to the exit unchanged.
const int32_t documentedStatuses[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 127, 255, -1};

bool documentedStatus(int32_t s) {
    for (int32_t d : documentedStatuses)
        if (s == d) return true;
    return false;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// parseConstant as its contract reads: decimal modulo 2^32, or hexadecimal
// after "0x", "$" or "$x" keeping the last eight digits; nothing may follow.
bool referenceConstant(const char* t, uint32_t& value) {
    if (*t == '\0') return false;
    uint64_t v = 0;
    const char* p = t;
    if ((p[0] == '0' && p[1] == 'x') || p[0] == '$') {
        p += (p[0] == '$' && p[1] == 'x') || p[0] == '0' ? 2 : 1;
        for (; hexValue(*p) >= 0; p++)
            v = ((v << 4) | static_cast<unsigned>(hexValue(*p))) & 0xFFFFFFFFu;
    } else {
        for (; *p >= '0' && *p <= '9'; p++)
            v = (v * 10 + static_cast<unsigned>(*p - '0')) & 0xFFFFFFFFu;
    }
    value = static_cast<uint32_t>(v);
    return *p == '\0';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enterScratchFolder();
    const uint8_t sixteen[] = "0123456789abcdef";
    const uint8_t other[] = "0123456789abcdeX";
    const uint8_t longer[] = "0123456789abcdef0123456789abcdef01234567";
    writeScratchFile("a", sixteen, 16);
    writeScratchFile("b", other, 16);
    writeScratchFile("l", longer, 40);
    writeScratchFile("e", sixteen, 0);
    int devNull = open("/dev/null", O_WRONLY);
    redirectStandardOutput(devNull);
    close(devNull);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > maxInput) return -1;
    memcpy(text, data, size);
    text[size] = '\0';
    size_t argc = 0;
    argv[argc++] = programName;
    for (char* p = text; size != 0 && p <= text + size && argc <= maxArgs; p += strlen(p) + 1) {
        // Names stay inside the scratch folder: no device, no system file.
        if (strchr(p, '/') != nullptr) return -1;
        argv[argc++] = p;
    }
    argv[argc] = nullptr;

    int32_t status = runZebrin(argv);
    if (!documentedStatus(status))
        propertyBroken("undocumented exit status " + std::to_string(status));

    if (argc > 1) {
        uint32_t got = 0, expected = 0;
        bool accepted = parseConstantInHarness(argv[1], got);
        if (accepted != referenceConstant(argv[1], expected) || (accepted && got != expected))
            propertyBroken(std::string("parseConstant disagrees on '") + argv[1] + "'");
    }
    return 0;
}
