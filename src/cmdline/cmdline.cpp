#include "cmdline/cmdline.h"

#include "compare/compare_run.h"
#include "compare/output.h"

#include <cstdarg>
#include <cstring>

namespace {

constexpr uint8_t notADigit = 255;

struct DigitTable {
    uint8_t value[256];
    constexpr DigitTable() : value() {
        for (int c = 0; c < 256; c++)
            value[c] = notADigit;
        for (int c = '0'; c <= '9'; c++)
            value[c] = static_cast<uint8_t>(c - '0');
        for (int c = 'A'; c <= 'F'; c++)
            value[c] = static_cast<uint8_t>(c - 'A' + 10);
        for (int c = 'a'; c <= 'f'; c++)
            value[c] = static_cast<uint8_t>(c - 'a' + 10);
    }
};
constexpr DigitTable digits;

inline uint8_t digitOf(char c) {
    return digits.value[static_cast<unsigned char>(c)];
}

bool isSwitchEntry(const char* arg) {
    return arg[0] == '-' || (ZEBRIN_SLASH_SWITCH && arg[0] == '/');
}

// A piece of the verbose trace; the pieces of one lookup form one line.
__attribute__((format(printf, 1, 2))) void trace(const char* format, ...) {
    if (!run.optionVerbose) return;
    va_list args;
    va_start(args, format);
    outTextV(format, args);
    va_end(args);
}

[[noreturn]] void reportMissing(const char* name) {
    outText("\n Error in command line arguments: must be defined argunment %s.\n", name);
    printUsage();
}

// The first switch entry whose characters after the marker begin with key.
const char* findSwitch(char** argv, const char* key) {
    size_t keyLen = strlen(key);
    for (char** arg = argv + 1; *arg != nullptr; arg++)
        if (isSwitchEntry(*arg) && strncmp(*arg + 1, key, keyLen) == 0) return *arg;
    return nullptr;
}

// The value attached to a found switch: after the key, one optional ":" and
// then one optional "=".
const char* switchValue(const char* entry, const char* key) {
    const char* p = entry + 1 + strlen(key);
    if (*p == ':') p++;
    if (*p == '=') p++;
    return p;
}

int32_t commonEnd(char* dest, const char* name, const char* value) {
    if (dest == nullptr) {
        uint32_t r = parseConstant(value);
        trace(": val %ld (0x%lX) parsed \"%s\"\n", sl(r), ul(r), value);
        return static_cast<int32_t>(r);
    }
    if (strlen(value) > fnameCapacity - 1) {
        // Never copy past the field: a silently truncated name would compare
        // some other file.
        outText("\n Error in command line arguments: argument %s is too long (more than 4094 "
                "characters).\n",
                name);
        endRun(127);
    }
    strcpy(dest, value);
    trace(": str \"%s\"\n", dest);
    return 0;
}

} // namespace

uint32_t positionalIndex(char** argv, uint32_t n) {
    for (uint32_t i = 1; argv[i] != nullptr; i++)
        if (!isSwitchEntry(argv[i]) && --n == 0) return i;
    return 0;
}

int32_t getCmdLnParam(char* dest, char** argv, const char* name, const char* deflt) {
    bool flag = dest == nullptr && deflt != nullptr && strcmp(deflt, "+") == 0;
    bool invertedFlag = dest == nullptr && deflt != nullptr && strcmp(deflt, "-") == 0;
    const char* value;
    if (name[0] == '-') {
        const char* key = name + 1;
        const char* entry = findSwitch(argv, key);
        if (entry != nullptr) {
            trace("accept CmdLn switch %s", name);
            if (flag || invertedFlag) {
                trace("\n");
                return flag ? 1 : 0;
            }
            value = switchValue(entry, key);
        } else {
            if (flag) return 0;
            if (invertedFlag) return 1;
            trace("absent CmdLn switch %s", name);
            if (deflt == nullptr) reportMissing(name);
            trace(": using default");
            value = deflt;
        }
    } else {
        uint32_t index = positionalIndex(argv, parseConstant(name));
        if (index != 0) {
            trace("accept CmdLn argument %s", name);
            value = argv[index];
        } else {
            trace("absent CmdLn argument %s", name);
            if (deflt == nullptr) reportMissing(name);
            trace(": using default");
            value = deflt;
        }
    }
    return commonEnd(dest, name, value);
}

uint32_t parseConstant(const char* text) {
    if (text[0] == '\0') {
        outText("\nError in arguments: constant value expected.\n");
        endRun(-1);
    }
    const char* p = text;
    uint32_t value = 0;
    if ((p[0] == '0' && p[1] == 'x') || p[0] == '$') {
        p++;
        if (*p == 'x') p++;
        for (; digitOf(*p) < 16; p++)
            value = value * 16 + digitOf(*p);
    } else {
        for (; *p >= '0' && *p <= '9'; p++)
            value = value * 10 + static_cast<uint32_t>(*p - '0');
    }
    if (*p != '\0') {
        outText("\ninvalid constant value: '%s'\n", text);
        endRun(-1);
    }
    return value;
}
