#include "compare/output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Two upper-case hexadecimal digits for every byte value.
struct HexPairs {
    char digits[512];
    constexpr HexPairs() : digits() {
        const char* hex = "0123456789ABCDEF";
        for (int v = 0; v < 256; v++) {
            digits[2 * v] = hex[v >> 4];
            digits[2 * v + 1] = hex[v & 15];
        }
    }
};
constexpr HexPairs hexPairs;

constexpr uint32_t longestLine = 26; // "XXXXXXXX: XX XX :XXXXXXXX\n"
char lineBuf[1 << 16];
uint32_t lineLen;

void flushLines() {
    if (lineLen != 0) fwrite(lineBuf, 1, lineLen, stdout);
    lineLen = 0;
}

inline char* putByte(char* p, uint8_t v) {
    memcpy(p, hexPairs.digits + 2 * v, 2);
    return p + 2;
}

inline char* putOffset(char* p, uint32_t v) {
    p = putByte(p, static_cast<uint8_t>(v >> 24));
    p = putByte(p, static_cast<uint8_t>(v >> 16));
    p = putByte(p, static_cast<uint8_t>(v >> 8));
    return putByte(p, static_cast<uint8_t>(v));
}

// Room for one more line, and the place where it starts.
inline char* lineSlot() {
    if (sizeof lineBuf - lineLen < longestLine) flushLines();
    return lineBuf + lineLen;
}

inline char* putBytePair(char* p, uint32_t off1, uint8_t b1, uint8_t b2) {
    p = putOffset(p, off1);
    *p++ = ':';
    *p++ = ' ';
    p = putByte(p, b1);
    *p++ = ' ';
    return putByte(p, b2);
}

} // namespace

void outTextV(const char* format, va_list args) {
    flushLines();
    vprintf(format, args);
}

void outText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    outTextV(format, args);
    va_end(args);
}

void outDiffShort(uint32_t off1, uint8_t b1, uint8_t b2) {
    char* start = lineSlot();
    char* p = putBytePair(start, off1, b1, b2);
    *p++ = '\n';
    lineLen += static_cast<uint32_t>(p - start);
}

void outDiffLong(uint32_t off1, uint8_t b1, uint8_t b2, uint32_t off2) {
    char* start = lineSlot();
    char* p = putBytePair(start, off1, b1, b2);
    *p++ = ' ';
    *p++ = ':';
    p = putOffset(p, off2);
    *p++ = '\n';
    lineLen += static_cast<uint32_t>(p - start);
}

bool outFinish() {
    flushLines();
    return fflush(stdout) == 0 && !ferror(stdout);
}

void endRun(int32_t status) {
    if (!outFinish()) {
        // Standard output can't carry this; a comparison whose lines were lost
        // must not look like a result.
        fputs("zebrin: error writing standard output\n", stderr);
        status = 255;
    }
    platformExit(status);
}
