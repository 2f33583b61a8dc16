// Difference lines: one per differing byte, in increasing offset order.
#include "compare/compare_run.h"
#include "compare/output.h"

#include <algorithm>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ || __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__,
              "a word's bytes are in one order or its reverse");

namespace {

// The scan goes a machine word at a time: 8 bytes on the 64-bit build, 4 on
// the i386 ones, where a 64-bit word would cost a library call per lookup.
using Word = uintptr_t;

// The word at p with its first byte in memory in the lowest 8 bits, so that
// a byte is found by the lowest set bit. A big-endian machine loads that byte
// highest, so there the word is turned round; a little-endian one loads it so.
inline Word loadWord(const uint8_t* p) {
    Word v;
    memcpy(&v, p, sizeof v);
    if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) {
        if constexpr (sizeof(Word) == 8)
            v = static_cast<Word>(__builtin_bswap64(static_cast<uint64_t>(v)));
        else
            v = static_cast<Word>(__builtin_bswap32(static_cast<uint32_t>(v)));
    }
    return v;
}

// Index within the word of its first non-zero byte; x is not 0.
inline uint32_t firstByteSet(Word x) {
    if constexpr (sizeof(Word) == 8)
        return static_cast<uint32_t>(__builtin_ctzll(x)) >> 3;
    else
        return static_cast<uint32_t>(__builtin_ctz(static_cast<uint32_t>(x))) >> 3;
}

// Long equal stretches go to the C library's memcmp a chunk at a time; the
// differing chunk is then searched word by word. Never reads outside [0, n).
constexpr uint32_t equalChunk = 4096;

// The next differing byte at or after i, or n; inlined into the block loop,
// where it runs once per differing word.
inline __attribute__((always_inline)) uint32_t scanToDiff(const uint8_t* a, const uint8_t* b,
                                                          uint32_t i, uint32_t n) {
    while (n - i >= sizeof(Word)) {
        // Dense differences are found within the next few words.
        Word x = loadWord(a + i) ^ loadWord(b + i);
        if (x != 0) return i + firstByteSet(x);
        i += sizeof(Word);
        while (n - i >= equalChunk && memcmp(a + i, b + i, equalChunk) == 0)
            i += equalChunk;
    }
    while (i < n && a[i] == b[i])
        i++;
    return i;
}

[[noreturn]] void stopAtLimit() {
    outText("Too many diffrent bytes - stopping comparition, exiting.\n");
    endRun(5);
}

// The run's counters, kept in registers while a block is compared; nothing
// else reads them before they are stored back (at the stop and at the end).
struct Counters {
    uint32_t count;
    uint32_t left;
};

// One difference line at index i of the block, and the -n limit.
inline __attribute__((always_inline)) void reportDiff(const uint8_t* block1, const uint8_t* block2,
                                                      uint32_t i, uint32_t fpos1, uint32_t fpos2,
                                                      Counters& c) {
    // Both offsets advance together, so the short form holds for a whole
    // run that started at the same offset in both files.
    if (fpos1 == fpos2)
        outDiffShort(fpos1 + i, block1[i], block2[i]);
    else
        outDiffLong(fpos1 + i, block1[i], block2[i], fpos2 + i);
    c.count++;
    if (--c.left == 0) {
        run.diffsCount = c.count;
        run.diffsLeft = c.left;
        stopAtLimit();
    }
}

} // namespace

uint32_t nextDiff(const uint8_t* a, const uint8_t* b, uint32_t i, uint32_t n) {
    return scanToDiff(a, b, i, n);
}

void reportBlockDiffs(const uint8_t* block1, const uint8_t* block2, uint32_t blockLen,
                      uint32_t limit, uint32_t fpos1, uint32_t fpos2) {
    uint32_t n = std::min(blockLen, limit);
    Counters c{run.diffsCount, run.diffsLeft};
    uint32_t i = scanToDiff(block1, block2, 0, n);
    while (i < n) {
        if (n - i < sizeof(Word)) {
            reportDiff(block1, block2, i, fpos1, fpos2, c);
            i = scanToDiff(block1, block2, i + 1, n);
            continue;
        }
        // Every differing byte of the word that starts at the difference i,
        // in order; a dense stretch costs one word compare per word.
        Word x = loadWord(block1 + i) ^ loadWord(block2 + i);
        do {
            uint32_t k = firstByteSet(x);
            reportDiff(block1, block2, i + k, fpos1, fpos2, c);
            x &= ~(Word{0xFF} << (8 * k));
        } while (x != 0);
        i = scanToDiff(block1, block2, i + sizeof(Word), n);
    }
    run.diffsCount = c.count;
    run.diffsLeft = c.left;
}
