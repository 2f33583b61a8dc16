// The one run record and the engine's entry points.
//
// Every number here is 32 bits wide on every build: offsets, lengths and
// counters wrap modulo 2^32 exactly as the program's output and exit statuses
// promise, even where the host's long is 64 bits.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr uint32_t bufInp1Capacity = 0x400000;
constexpr uint32_t bufInp2Capacity = 0x100000;
constexpr uint32_t fnameCapacity = 4095; // 4094 characters and the terminator
// A read lands in its buffer at its file offset modulo this, the cache line:
// the kernel copies a stretch whose ends lie differently in the page cache
// and in the buffer at a fraction of its speed.
constexpr uint32_t readAlign = 64;

struct CompareRun {
    uint32_t optionVerbose;
    uint32_t optionSyncBegSeq;
    char InputFname1[fnameCapacity];
    char InputFname2[fnameCapacity];
    uint32_t fbegInp1, fbegInp2;
    uint32_t bufSize_1, bufSize_2;
    uint32_t blocksInBuf1;
    uint32_t diffsLeft;
    uint32_t diffsCount;
    FILE* fInp1;
    FILE* fInp2;
    uint32_t flenInp1, flenInp2;
    uint32_t begLenInp1, begLenInp2, begLenMin;
    uint32_t buffersPreloaded;
    uint32_t heldInp1; // bytes of file 1 the mapped comparison left at bufInp1
    uint32_t fposInp1, fposInp2;
    // Aligned at 4 KiB, the smallest page size, so that the kernel copies
    // whole pages straight into them, with readAlign bytes to spare for a read
    // that starts inside a page. Where pages are larger, only the whole pages
    // within them are ever handed back to the system.
    alignas(4096) uint8_t bufInp1[bufInp1Capacity + readAlign];
    alignas(4096) uint8_t bufInp2[bufInp2Capacity + readAlign];
};

extern CompareRun run;

// Runs the whole comparison for an argument vector; every path ends the process.
[[noreturn]] void zebrinMain(char** argv);

// The longest span of whole units that a buffer of capacity bytes takes.
inline uint32_t spanOf(uint32_t unit, uint32_t capacity) {
    return capacity / unit * unit;
}

// The block loop's spans compared through read-only mappings, where both files
// are regular files that can be mapped: spans of file 1 from fposInp1 and
// fposInp2 on, at most cmpLeft bytes; returns how many it compared (and
// advances the positions past them), the reads taking the rest. Where file 2
// couldn't be had inside a span of file 1, the bytes returned end there and
// the rest of that span lies at bufInp1 (heldInp1 bytes). Output, status and
// the streams' positions are the reads'. Always 0 on the Win32 builds.
uint32_t compareMapped(uint32_t cmpLeft);

// Ends the mappings and the fault handler of a mapped comparison that a run
// ended in the middle of (the -n limit); every end of a run passes here.
void leaveMapped();

// Called before difference lines are handed to standard output: while a
// mapped block pair is compared, ends the run (as a failed read) when a file
// no longer holds the pair, without the pair's lines, which may come from
// bytes the file lost.
void checkMappedLines();

// Whether the block loop maps: after a trial of its first pages (the program),
// or always or never (set by the tests and the benchmark to compare the paths).
enum class MappingUse { trial, always, never };
extern MappingUse mappingUse;

// Ends the run (status 255) naming the file whose read came up short.
[[noreturn]] void readFailed(const char* fname);

// Reads exactly n bytes as one element or ends the run (status 255). A count
// of 0 is a failed read too: a 0-byte element is never delivered.
void readChecked(void* buf, uint32_t n, FILE* stream, const char* fname);

// Compares min(blockLen, limit) bytes, prints a line per differing byte and
// ends the run (status 5) when the -n limit is used up.
void reportBlockDiffs(const uint8_t* block1, const uint8_t* block2, uint32_t blockLen,
                      uint32_t limit, uint32_t fpos1, uint32_t fpos2);

// Prints the result summary and ends the run with the result status.
[[noreturn]] void reportSummary();

// -s: loads the first buffer-fulls, may advance one start offset, and leaves
// both buffers preloaded for the block loop.
void syncBegSeq();

// 1 when the first n bytes of a and b differ, else 0.
int blocksDiffer(const uint8_t* a, const uint8_t* b, uint32_t n);
int blocksDifferMin(const uint8_t* a, const uint8_t* b, uint32_t lenA, uint32_t lenB);

// Which start offset the beginning synchronisation advances, and by how much.
struct SyncShift {
    int advancedFile; // 0: no shift found; 1: file 1 (test A); 2: file 2 (test B)
    uint32_t shift;
};

// The smallest shift below bound at which one buffer's tail lines up with the
// other's head over their whole overlap, test A before test B. Linear time.
SyncShift findSyncShift(const uint8_t* buf1, uint32_t len1, const uint8_t* buf2, uint32_t len2,
                        uint32_t bound);

// Index of the first differing byte at or after i, or n when none.
uint32_t nextDiff(const uint8_t* a, const uint8_t* b, uint32_t i, uint32_t n);
