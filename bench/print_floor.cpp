// The print floor: the read floor plus every difference line, "%08X: %02X %02X",
// formatted by hand through a table of hex pairs into a 64 KiB buffer that
// goes out with write(2). Exit status 0 equal, 1 not.
#include "floor_loop.h"

#include <cstring>

namespace {

char hexPairs[512];
char out[1 << 16];
size_t outLen;
int differ;

void flushOut() {
    if (outLen != 0 && write(1, out, outLen) != static_cast<ssize_t>(outLen)) exit(2);
    outLen = 0;
}

void putPair(char* p, unsigned v) {
    memcpy(p, hexPairs + 2 * v, 2);
}

void line(size_t off, uint8_t a, uint8_t b) {
    if (sizeof out - outLen < 16) flushOut();
    char* p = out + outLen;
    putPair(p, static_cast<unsigned>(off >> 24 & 0xFF));
    putPair(p + 2, static_cast<unsigned>(off >> 16 & 0xFF));
    putPair(p + 4, static_cast<unsigned>(off >> 8 & 0xFF));
    putPair(p + 6, static_cast<unsigned>(off & 0xFF));
    p[8] = ':';
    p[9] = ' ';
    putPair(p + 10, a);
    p[12] = ' ';
    putPair(p + 13, b);
    p[15] = '\n';
    outLen += 16;
}

// Equal 4 KiB chunks are passed over with memcmp; a differing chunk is
// searched word by word, each differing byte of a word in turn.
void printChunkDiffs(const uint8_t* a, const uint8_t* b, size_t n, size_t pos) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        memcpy(&x, a + i, 8);
        memcpy(&y, b + i, 8);
        for (uint64_t d = x ^ y; d != 0;) {
            unsigned byte = static_cast<unsigned>(__builtin_ctzll(d) >> 3);
            line(pos + i + byte, a[i + byte], b[i + byte]);
            d &= ~(uint64_t{0xFF} << (8 * byte));
        }
    }
    for (; i < n; i++)
        if (a[i] != b[i]) line(pos + i, a[i], b[i]);
}

void printDiffs(const uint8_t* a, const uint8_t* b, size_t n, size_t pos) {
    constexpr size_t chunk = 4096;
    for (size_t at = 0; at < n; at += chunk) {
        size_t len = n - at < chunk ? n - at : chunk;
        if (memcmp(a + at, b + at, len) == 0) continue;
        differ = 1;
        printChunkDiffs(a + at, b + at, len, pos + at);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const char* hex = "0123456789ABCDEF";
    for (int v = 0; v < 256; v++) {
        hexPairs[2 * v] = hex[v >> 4];
        hexPairs[2 * v + 1] = hex[v & 15];
    }
    floorCompare(argv[1], argv[2], printDiffs);
    flushOut();
    return differ;
}
