// The block loop's spans compared where the files' pages lie, through
// read-only mappings, instead of copied into the buffers by reads: every byte
// is read once. The result is the reads' to the letter: each span is mapped
// as the reads would take it, and its pages are touched (a byte of each read,
// a fault caught) and the file's length checked before a line of it is
// printed; a span that can't be had so is left to the reads, which then meet
// the short read or the error exactly where they would have.
#include "compare/compare_run.h"
#include "compare/platform.h"

MappingUse mappingUse = MappingUse::trial;

#if ZEBRIN_POSIX_FILES

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <ctime>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Mapping {
    uint8_t* base; // page-aligned; null when nothing is mapped
    size_t length;
};

// What the walk is doing when a fault comes; the walk keeps its state here, not
// in locals, because a fault resumes it at the one sigsetjmp.
enum class Phase { idle, span1, span2, comparing, holding };

struct Walk {
    Phase phase;
    uint32_t done;        // bytes of whole spans of file 1 compared
    const uint8_t* data1; // file 1's span
    uint32_t len1;
    uint32_t at; // where in it file 2's span starts
    const void* faultAt;
};

Mapping map1, map2;
Walk walk;
sigjmp_buf faulted;
struct sigaction previousBusAction;
bool handlerSet;

bool inside(const Mapping& m, const void* p) {
    auto* q = static_cast<const uint8_t*>(p);
    return m.base != nullptr && q >= m.base && q < m.base + m.length;
}

void onBusError(int, siginfo_t* info, void*) {
    if (walk.phase != Phase::idle && (inside(map1, info->si_addr) || inside(map2, info->si_addr))) {
        walk.faultAt = info->si_addr;
        siglongjmp(faulted, 1);
    }
    // Not a page of ours: the fault recurs under the handler it would have met.
    sigaction(SIGBUS, &previousBusAction, nullptr);
}

void unmap(Mapping& m) {
    if (m.base != nullptr) munmap(m.base, m.length);
    m = Mapping{};
}

uint32_t pageSize; // the system's page size, asked for once a run

bool isRegularFile(FILE* stream) {
    struct stat st;
    return fstat(fileno(stream), &st) == 0 && S_ISREG(st.st_mode);
}

// The span [pos, pos + len) of the file, mapped, every page of it read once
// and the file still that long; null when it can't be mapped or the file has
// become shorter (its last page then reads as zeros behind the end, not as a
// fault). A page that can't be read raises SIGBUS here.
const uint8_t* mapSpan(Mapping& m, FILE* stream, uint32_t pos, uint32_t len) {
    unmap(m);
    int fd = fileno(stream);
    size_t lead = pos % pageSize;
    size_t length = lead + len;
    void* base = mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd,
                      static_cast<off_t>(pos - lead));
    if (base == MAP_FAILED) return nullptr;
    m = Mapping{static_cast<uint8_t*>(base), length};
    // The handler must see the mapping and the walk's phase before a page faults.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    for (size_t i = 0; i < length; i += pageSize)
        (void)*static_cast<const volatile uint8_t*>(m.base + i);
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(pos) + static_cast<off_t>(len))
        return nullptr;
    return m.base + lead;
}

// Mapping is a bargain only where a page costs less to map than to copy. On
// some virtual machines every page that a process maps costs an exit to the
// host, and reads, which copy through the kernel's own mapping, are several
// times as fast. So before a long comparison the first 64 pages of file 1 are
// mapped and read on trial; where a page took longer than a read would take
// to copy one, the reads do it all. A comparison below 16 MiB is mapped
// without trial: there the reads' first touch of their own 5 MiB of buffers,
// which costs as dearly per page on such a machine, outweighs it.
constexpr uint32_t trialSpan = 0x40000;
constexpr uint32_t trialFrom = 0x1000000;
constexpr int64_t dearPageNs = 500; // a page copied by a read, with room to spare

int64_t nsSince(const timespec& start) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec - start.tv_sec} * 1000000000 + (now.tv_nsec - start.tv_nsec);
}

bool pagesDear() {
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    bool dear = mapSpan(map1, run.fInp1, run.fposInp1, trialSpan) == nullptr ||
                nsSince(start) > dearPageNs * (trialSpan / pageSize);
    unmap(map1);
    return dear;
}

// File 2 fell short inside file 1's span: the reads take over at file 2's
// span, with the rest of file 1's span as if read (it was: every page of it).
void holdRestOfSpan1() {
    walk.phase = Phase::holding;
    run.heldInp1 = walk.len1 - walk.at;
    memcpy(run.bufInp1, walk.data1 + walk.at, run.heldInp1);
}

// The spans as the reads take them: file 1 in spans of whole buffer-fulls,
// each followed by file 2's spans of whole blocks within it.
void walkSpans(uint32_t cmpLeft) {
    uint32_t span1 = spanOf(run.bufSize_1, bufInp1Capacity);
    uint32_t span2 = spanOf(run.bufSize_2, bufInp2Capacity);
    walk.phase = Phase::span1;
    if (mappingUse == MappingUse::trial && cmpLeft >= trialFrom && pagesDear()) return;
    // The buffers' pages (-s filled them) go back to the system while the
    // spans' pages are mapped, so that both don't count at once.
    madvise(run.bufInp1, sizeof run.bufInp1 / pageSize * pageSize, MADV_DONTNEED);
    madvise(run.bufInp2, sizeof run.bufInp2 / pageSize * pageSize, MADV_DONTNEED);
    while (walk.done < cmpLeft) {
        walk.phase = Phase::span1;
        walk.len1 = std::min(cmpLeft - walk.done, span1);
        walk.at = 0;
        walk.data1 = mapSpan(map1, run.fInp1, run.fposInp1, walk.len1);
        if (walk.data1 == nullptr) return;
        while (walk.at < walk.len1) {
            walk.phase = Phase::span2;
            uint32_t len2 = std::min(walk.len1 - walk.at, span2);
            const uint8_t* data2 = mapSpan(map2, run.fInp2, run.fposInp2, len2);
            if (data2 == nullptr) return holdRestOfSpan1();
            walk.phase = Phase::comparing;
            reportBlockDiffs(walk.data1 + walk.at, data2, len2, len2, run.fposInp1, run.fposInp2);
            run.fposInp1 += len2;
            run.fposInp2 += len2;
            walk.at += len2;
        }
        walk.done += walk.len1;
    }
}

void afterFault() {
    switch (walk.phase) {
    case Phase::span1:
        return; // the reads start at file 1's span
    case Phase::span2:
        return holdRestOfSpan1();
    default: {
        // A page already read has gone: the file shrank, or its data became
        // unreadable, while it was compared. Lines may have been printed
        // from it; it ends as a read of that file that failed.
        const char* fname = inside(map1, walk.faultAt) ? run.InputFname1 : run.InputFname2;
        leaveMapped();
        readFailed(fname);
    }
    }
}

} // namespace

uint32_t compareMapped(uint32_t cmpLeft) {
    if (mappingUse == MappingUse::never || !isRegularFile(run.fInp1) || !isRegularFile(run.fInp2))
        return 0;
    // A start offset behind an end fails as the reads fail it.
    if (uint64_t{run.fposInp1} + cmpLeft > run.flenInp1 ||
        uint64_t{run.fposInp2} + cmpLeft > run.flenInp2)
        return 0;
    walk = Walk{};
    pageSize = static_cast<uint32_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousBusAction);
    handlerSet = true;
    if (sigsetjmp(faulted, 1) == 0)
        walkSpans(cmpLeft);
    else
        afterFault();
    leaveMapped();
    // Where the reads would have left the streams, for the reads that go on
    // and for the verbose end.
    seekTo(run.fInp1, run.fposInp1 + run.heldInp1);
    seekTo(run.fInp2, run.fposInp2);
    return walk.done;
}

void leaveMapped() {
    walk.phase = Phase::idle;
    unmap(map1);
    unmap(map2);
    if (handlerSet) sigaction(SIGBUS, &previousBusAction, nullptr);
    handlerSet = false;
}

#else // the Win32 programs keep their reads

uint32_t compareMapped(uint32_t) {
    return 0;
}

void leaveMapped() {}

#endif
