// The one place that writes standard output.
//
// Difference lines are formatted by table into a buffer of our own; every
// other text goes through printf after that buffer has been handed on, so the
// order of everything printed is the order in which it was produced.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstring>

// "%ld" and "%lX" in the program's texts mean a 32-bit value on every build:
// these widen it to the host's long the way a 32-bit long would read it.
inline long sl(uint32_t v) {
    return static_cast<long>(static_cast<int32_t>(v));
}
inline unsigned long ul(uint32_t v) {
    return static_cast<unsigned long>(v);
}

void outText(const char* format, ...) __attribute__((format(printf, 1, 2)));
void outTextV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// The difference lines are formatted here, inline, because a run may print
// tens of millions of them: a call and a printf per line would cost more than
// the comparison. The buffer and its flush live in output.cpp.
namespace outLines {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ || __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__,
              "a word's bytes are in one order or its reverse");

constexpr uint32_t longestLine = 26; // "XXXXXXXX: XX XX :XXXXXXXX\n"
constexpr uint32_t bufferSize = 1 << 16;
extern char buffer[bufferSize];
extern uint32_t used;

// Hands the buffered lines on to standard output, behind anything printf
// still holds for it.
void flush();

// Two upper-case hexadecimal digits for every byte value, first digit in the
// low byte.
struct HexPairs {
    uint16_t pair[256];
    constexpr HexPairs() : pair() {
        const char* hex = "0123456789ABCDEF";
        for (int v = 0; v < 256; v++)
            pair[v] = static_cast<uint16_t>(hex[v >> 4] | hex[v & 15] << 8);
    }
};
inline constexpr HexPairs hex{};

// Lines are stored four characters at a time: 32-bit words suit the i386
// builds as well as the 64-bit one. A word is assembled with its first
// character in the lowest byte; a big-endian machine stores that byte last,
// so there the word is turned round first.
inline void put4(char* p, uint32_t w) {
    if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) w = __builtin_bswap32(w);
    memcpy(p, &w, sizeof w);
}

inline uint32_t pairs(uint8_t first, uint8_t second) {
    return uint32_t{hex.pair[first]} | uint32_t{hex.pair[second]} << 16;
}

// "XXXXXXXX"
inline void putOffset(char* p, uint32_t v) {
    put4(p, pairs(static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16)));
    put4(p + 4, pairs(static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)));
}

// ": XX YY" and then the character last.
inline void putBytes(char* p, uint8_t b1, uint8_t b2, char last) {
    put4(p, 0x203Au | uint32_t{hex.pair[b1]} << 16);
    put4(p + 4, 0x20u | uint32_t{hex.pair[b2]} << 8 | uint32_t{static_cast<uint8_t>(last)} << 24);
}

// Room for one more line of up to longestLine characters.
inline char* slot() {
    if (bufferSize - used < longestLine) flush();
    return buffer + used;
}

} // namespace outLines

// "%08lX: %02X %02X\n"
inline void outDiffShort(uint32_t off1, uint8_t b1, uint8_t b2) {
    char* p = outLines::slot();
    outLines::putOffset(p, off1);
    outLines::putBytes(p + 8, b1, b2, '\n');
    outLines::used += 16;
}

// "%08lX: %02X %02X :%08lX\n"
inline void outDiffLong(uint32_t off1, uint8_t b1, uint8_t b2, uint32_t off2) {
    char* p = outLines::slot();
    outLines::putOffset(p, off1);
    outLines::putBytes(p + 8, b1, b2, ' ');
    p[16] = ':';
    outLines::putOffset(p + 17, off2);
    p[25] = '\n';
    outLines::used += 26;
}

// Hands everything on to the C library and flushes it; false when any write
// to standard output has failed during the run.
bool outFinish();

// The exit seam: every end of a run passes here. Flushes the output and ends
// the process with status, or with 255 when standard output lost anything.
[[noreturn]] void endRun(int32_t status);

// Ends the process as the deliverable's platform does (the last step of endRun).
[[noreturn]] void platformExit(int32_t status);
