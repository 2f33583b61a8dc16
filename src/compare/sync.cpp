// -s: find a small shift at which one file's beginning lines up with the
// other's, and start that file later by it.
#include "compare/compare_run.h"
#include "compare/output.h"

#include <algorithm>
#include <cstring>

namespace {

// Z-function of the pattern: zTable[i] = length of the longest common prefix
// of p and p + i. The only working memory of the search (4 MiB).
uint32_t zTable[bufInp2Capacity];

void buildZ(const uint8_t* p, uint32_t m) {
    zTable[0] = m;
    uint32_t l = 0, r = 0; // p[l, r) == p[0, r - l), r as far right as found
    for (uint32_t i = 1; i < m; i++) {
        uint32_t k = i < r ? std::min(zTable[i - l], r - i) : 0;
        if (i + k >= r) {
            while (i + k < m && p[i + k] == p[k])
                k++;
            l = i;
            r = i + k;
        }
        zTable[i] = k;
    }
}

// The smallest shift s < bound at which text + s equals pattern over their
// whole overlap, min(n - s, pLen) bytes; bound when there is none. Both
// overlaps are at most m = min(n, pLen) bytes, so the Z-function of the
// pattern's first m bytes serves all of them: linear in m + bound, whatever
// the data (long uniform runs included).
uint32_t firstFullOverlap(const uint8_t* text, uint32_t n, const uint8_t* pattern, uint32_t pLen,
                          uint32_t bound) {
    if (bound == 0) return bound;
    uint32_t m = std::min(n, pLen);
    buildZ(pattern, m);
    uint32_t l = 0, r = 0; // text[l, r) == pattern[0, r - l)
    for (uint32_t s = 0; s < bound; s++) {
        uint32_t k = s < r ? std::min(zTable[s - l], r - s) : 0;
        if (s + k >= r) {
            while (k < m && s + k < n && text[s + k] == pattern[k])
                k++;
            l = s;
            r = s + k;
        }
        if (k >= std::min(n - s, pLen)) return s;
    }
    return bound;
}

// Starts one file later by shift: the buffer keeps what it already holds of
// the new beginning and is topped up from where the stream stands, with no
// more than the file holds there.
void advanceStart(uint8_t* buf, uint32_t begLen, uint32_t shift, uint32_t oldBeg, uint32_t flen,
                  FILE* stream, const char* fname) {
    memmove(buf, buf + shift, begLen - shift);
    uint32_t refill = std::min(shift, flen - (oldBeg + begLen));
    if (refill != 0) readChecked(buf + (begLen - shift), refill, stream, fname);
}

// Test A advances file 1 (it carries the extra leading bytes), test B file 2.
void applyShift(int advancedFile, uint32_t shift) {
    bool first = advancedFile == 1;
    uint32_t& fbeg = first ? run.fbegInp1 : run.fbegInp2;
    uint32_t begLen = first ? run.begLenInp1 : run.begLenInp2;
    uint32_t otherBegLen = first ? run.begLenInp2 : run.begLenInp1;
    const char* shiftedName = first ? run.InputFname1 : run.InputFname2;
    const char* otherName = first ? run.InputFname2 : run.InputFname1;
    uint32_t equalsLength = std::min(begLen - shift, otherBegLen);
    if (run.optionVerbose)
        outText(first ? "Found equals: File2 ('%s') from 0 equals File1 ('%s') from %ld (0x%lX) "
                        "equalsLength=%ld (0x%lX) bytes\n"
                      : "Found equals: File1 ('%s') from 0 equals File2 ('%s') from %ld (0x%lX) "
                        "equalsLength=%ld (0x%lX) bytes\n",
                otherName, shiftedName, sl(shift), ul(shift), sl(equalsLength), ul(equalsLength));
    uint32_t oldBeg = fbeg;
    fbeg += shift;
    if (run.optionVerbose)
        outText(first ? "Setting new fbegInp1=%ld (0x%lX)\n" : "Setting new fbegInp2=%ld (0x%lX)\n",
                sl(fbeg), ul(fbeg));
    if (first)
        advanceStart(run.bufInp1, begLen, shift, oldBeg, run.flenInp1, run.fInp1, shiftedName);
    else
        advanceStart(run.bufInp2, begLen, shift, oldBeg, run.flenInp2, run.fInp2, shiftedName);
}

} // namespace

int blocksDiffer(const uint8_t* a, const uint8_t* b, uint32_t n) {
    return nextDiff(a, b, 0, n) < n ? 1 : 0;
}

int blocksDifferMin(const uint8_t* a, const uint8_t* b, uint32_t lenA, uint32_t lenB) {
    return blocksDiffer(a, b, std::min(lenA, lenB));
}

SyncShift findSyncShift(const uint8_t* buf1, uint32_t len1, const uint8_t* buf2, uint32_t len2,
                        uint32_t bound) {
    // Test A (file 1 carries extra leading bytes) wins ties, so test B only
    // needs to look below the shift that test A found.
    uint32_t shiftA = firstFullOverlap(buf1, len1, buf2, len2, bound);
    uint32_t shiftB = firstFullOverlap(buf2, len2, buf1, len1, shiftA);
    if (shiftB < shiftA) return SyncShift{2, shiftB};
    if (shiftA < bound) return SyncShift{1, shiftA};
    return SyncShift{0, 0};
}

void syncBegSeq() {
    if (run.optionVerbose) outText("optionSyncBegSeq - proc\n");
    readChecked(run.bufInp1, run.begLenInp1, run.fInp1, run.InputFname1);
    readChecked(run.bufInp2, run.begLenInp2, run.fInp2, run.InputFname2);
    run.buffersPreloaded = 1;
    if (!blocksDiffer(run.bufInp1, run.bufInp2, run.begLenMin)) {
        if (run.optionVerbose)
            outText("No different bytes found in first %ld bytes\n", sl(run.begLenMin));
        return;
    }
    if (run.optionVerbose) {
        outText("Different bytes found in first %ld bytes\n", sl(run.begLenMin));
        outText("Trying to sync beg seq...\n");
    }
    SyncShift found =
        findSyncShift(run.bufInp1, run.begLenInp1, run.bufInp2, run.begLenInp2, run.begLenMin >> 1);
    if (found.advancedFile != 0) applyShift(found.advancedFile, found.shift);
}
