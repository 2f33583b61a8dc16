// The block loop's spans compared where the files' pages lie, through
// read-only mappings, instead of copied into the buffers by reads: every byte
// is read once. The result is the reads' to the letter, or the read message of
// a file that stopped holding what was compared. Only files on local file
// systems are mapped: there a page that can't be filled faults, where a
// network or user-space file system may fill it with zeros or retry it
// forever. Each span's pages are read (touched, a fault caught) and the
// file's length checked before the span is compared, and the length again
// before a line of it reaches standard output; a span that can't be had so is
// left to the reads, which then meet the short read or the error exactly
// where they would have.
#include "compare/compare_run.h"
#include "compare/output.h"
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
#include <sys/vfs.h>
#include <unistd.h>

namespace {

struct Mapping {
    uint8_t* base; // page-aligned; null when nothing is mapped
    size_t length;
};

// What the walk is doing when a fault comes; the walk keeps its state here, not
// in locals, because a fault resumes it at the one sigsetjmp.
enum class Phase { idle, span1, span2, comparing, holding };

// Every field is volatile: the handler reads the phase, and after a fault the
// walk goes on from what the others held, so no store may be left out or
// moved past a touch of a page.
struct Walk {
    volatile Phase phase;
    volatile uint32_t done;        // bytes of whole spans of file 1 compared
    const uint8_t* volatile data1; // file 1's span
    volatile uint32_t len1;
    volatile uint32_t at;        // where in it file 2's span starts
    volatile uint32_t len2;      // file 2's span, the block pair being compared
    volatile uint32_t unchecked; // the line buffer's fill when the files were last checked
};

Mapping map1, map2;
Walk walk;
sigjmp_buf faulted;
struct sigaction previousBusAction;
bool handlerSet;

// While the walk runs it touches nothing mapped but its own spans, so a fault
// the kernel raises then is one of theirs, whatever address it reports (an
// emulator may report it wrong); the phase says which span it was.
void onBusError(int, siginfo_t* info, void*) {
    if (walk.phase != Phase::idle && info->si_code > 0) siglongjmp(faulted, 1);
    // Not a page of ours: the fault recurs under the handler it would have met,
    // and a signal sent by another process is delivered to it again.
    sigaction(SIGBUS, &previousBusAction, nullptr);
    if (info->si_code <= 0) raise(SIGBUS);
}

void unmap(Mapping& m) {
    if (m.base != nullptr) munmap(m.base, m.length);
    m = Mapping{};
}

uint32_t pageSize; // the system's page size, asked for once a run

// Local file systems, on which a page that can't be read faults when it is
// touched. On network and user-space ones (NFS, SMB, 9p, Ceph, FUSE) the
// kernel fills a page whose read came up short with zeros, and populating a
// page whose read fails may retry it forever; anything unknown counts as such.
bool onLocalFileSystem(int fd) {
    struct statfs fs;
    if (fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<uint32_t>(fs.f_type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // XFS
    case 0x9123683E: // Btrfs
    case 0xF2F52010: // F2FS
    case 0x01021994: // tmpfs
        return true;
    default:
        return false;
    }
}

bool mappable(FILE* stream) {
    struct stat st;
    int fd = fileno(stream);
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && onLocalFileSystem(fd);
}

// Whether the file still reaches pos + len bytes.
bool holds(FILE* stream, uint32_t pos, uint32_t len) {
    struct stat st;
    return fstat(fileno(stream), &st) == 0 &&
           st.st_size >= static_cast<off_t>(pos) + static_cast<off_t>(len);
}

// The span [pos, pos + len) of the file, mapped, every page of it read once
// and the file still that long; null when it can't be mapped or the file has
// become shorter (its last page then reads as zeros behind the end, not as a
// fault). A page that can't be read raises SIGBUS here, at the touch: the
// kernel reads the pages ahead in one call where it can, but a populate that
// fails is only a hint, and one made with the mapping may retry for ever.
const uint8_t* mapSpan(Mapping& m, FILE* stream, uint32_t pos, uint32_t len) {
    unmap(m);
    size_t lead = pos % pageSize;
    size_t length = lead + len;
    void* base = mmap(nullptr, length, PROT_READ, MAP_SHARED, fileno(stream),
                      static_cast<off_t>(pos - lead));
    if (base == MAP_FAILED) return nullptr;
    m = Mapping{static_cast<uint8_t*>(base), length};
    // The handler must see the walk's phase before a page faults.
    std::atomic_signal_fence(std::memory_order_seq_cst);
#ifdef MADV_POPULATE_READ
    madvise(base, length, MADV_POPULATE_READ);
#endif
    for (size_t i = 0; i < length; i += pageSize)
        (void)*static_cast<const volatile uint8_t*>(m.base + i);
    if (!holds(stream, pos, len)) return nullptr;
    return m.base + lead;
}

// Mapping is a bargain only where a page costs less to map than to copy: on
// some machines every page a process maps costs an exit to a hypervisor, and
// reads, which copy through the kernel's own mapping, are several times as
// fast; on others a read costs twice a mapped page. So before a long
// comparison the same piece of file 1 is mapped and read, each timed after a
// first use of its own (a process's first mapping and a buffer's first pages
// cost many times a later one, and the block loop pays them once), the piece
// in the page cache for both; the cheaper of the two does it all. A
// comparison below 16 MiB is mapped without trial: there the reads' first
// touch of their own 5 MiB of buffers outweighs any difference.
constexpr uint32_t trialSpan = 0x40000; // bytes, whatever the page size
constexpr uint32_t trialFrom = 0x1000000;

int64_t nsSince(const timespec& start) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec - start.tv_sec} * 1000000000 + (now.tv_nsec - start.tv_nsec);
}

// The piece of file 1 read into its buffer; false when the read came up short.
bool readPiece(uint32_t len) {
    ssize_t got = pread(fileno(run.fInp1), run.bufInp1, len, static_cast<off_t>(run.fposInp1));
    return got == static_cast<ssize_t>(len);
}

bool mapPiece(uint32_t len) {
    bool mapped = mapSpan(map1, run.fInp1, run.fposInp1, len) != nullptr;
    unmap(map1);
    return mapped;
}

bool pagesDear() {
    if (!readPiece(trialSpan) || !mapPiece(trialSpan / 16)) return true;
    int64_t readNs = INT64_MAX, mapNs = INT64_MAX;
    for (int round = 0; round < 2; round++) {
        timespec start;
        clock_gettime(CLOCK_MONOTONIC, &start);
        if (!mapPiece(trialSpan)) return true;
        mapNs = std::min(mapNs, nsSince(start));
        clock_gettime(CLOCK_MONOTONIC, &start);
        if (!readPiece(trialSpan)) return true;
        readNs = std::min(readNs, nsSince(start));
    }
    return mapNs > readNs;
}

// Gives the whole pages within [p, p + n) back to the system.
void releasePages(uint8_t* p, size_t n) {
    uintptr_t from = (reinterpret_cast<uintptr_t>(p) + pageSize - 1) / pageSize * pageSize;
    uintptr_t to = (reinterpret_cast<uintptr_t>(p) + n) / pageSize * pageSize;
    if (from < to) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

// The file that no longer holds the block pair being compared, file 1 first
// as the reads would meet it; null when both still do.
const char* shorterFile() {
    if (!holds(run.fInp1, run.fposInp1, walk.len2)) return run.InputFname1;
    if (!holds(run.fInp2, run.fposInp2, walk.len2)) return run.InputFname2;
    return nullptr;
}

// A page of the pair went while it was compared, though both files are still
// that long: the one whose pair can't be read again is the one that failed.
// The reported address isn't asked: not every system reports it right.
const char* unreadableFile() {
    auto readsWhole = [](FILE* stream, uint8_t* buf, uint32_t pos) {
        ssize_t got = pread(fileno(stream), buf, walk.len2, static_cast<off_t>(pos));
        return got == static_cast<ssize_t>(walk.len2);
    };
    if (readsWhole(run.fInp1, run.bufInp1, run.fposInp1) &&
        !readsWhole(run.fInp2, run.bufInp2, run.fposInp2))
        return run.InputFname2;
    return run.InputFname1;
}

// Ends the run as a read of fname that failed, without the lines found since
// the files were last checked: they may come from bytes the file no longer held.
[[noreturn]] void endShort(const char* fname) {
    outLines::used = walk.unchecked;
    leaveMapped();
    readFailed(fname);
}

// After the pair's comparison, before its lines go on: both files still hold it.
void checkPair() {
    if (const char* fname = shorterFile()) endShort(fname);
    walk.unchecked = outLines::used;
}

// File 2 fell short inside file 1's span: the reads take over at file 2's
// span, with the rest of file 1's span as if read (it was: every page of it),
// so long as file 1 still held it when it was copied.
void holdRestOfSpan1() {
    walk.phase = Phase::holding;
    run.heldInp1 = walk.len1 - walk.at;
    memcpy(run.bufInp1, walk.data1 + walk.at, run.heldInp1);
    if (!holds(run.fInp1, run.fposInp1, run.heldInp1)) endShort(run.InputFname1);
}

// The spans as the reads take them: file 1 in spans of whole buffer-fulls,
// each followed by file 2's spans of whole blocks within it.
void walkSpans(uint32_t cmpLeft) {
    uint32_t span1 = spanOf(run.bufSize_1, bufInp1Capacity);
    uint32_t span2 = spanOf(run.bufSize_2, bufInp2Capacity);
    walk.unchecked = outLines::used;
    walk.phase = Phase::span1;
    if (mappingUse == MappingUse::trial && cmpLeft >= trialFrom && pagesDear()) return;
    // The buffers' pages (-s or the trial filled them) go back to the system
    // while the spans' pages are mapped, so that both don't count at once.
    releasePages(run.bufInp1, sizeof run.bufInp1);
    releasePages(run.bufInp2, sizeof run.bufInp2);
    while (walk.done < cmpLeft) {
        walk.phase = Phase::span1;
        walk.len1 = std::min(cmpLeft - walk.done, span1);
        walk.at = 0;
        walk.data1 = mapSpan(map1, run.fInp1, run.fposInp1, walk.len1);
        if (walk.data1 == nullptr) return;
        while (walk.at < walk.len1) {
            walk.phase = Phase::span2;
            walk.len2 = std::min(walk.len1 - walk.at, span2);
            const uint8_t* data2 = mapSpan(map2, run.fInp2, run.fposInp2, walk.len2);
            if (data2 == nullptr) return holdRestOfSpan1();
            walk.phase = Phase::comparing;
            reportBlockDiffs(walk.data1 + walk.at, data2, walk.len2, walk.len2, run.fposInp1,
                             run.fposInp2);
            checkPair();
            run.fposInp1 += walk.len2;
            run.fposInp2 += walk.len2;
            walk.at += walk.len2;
        }
        walk.done += walk.len1;
        walk.at = 0;
    }
}

void afterFault() {
    switch (walk.phase) {
    case Phase::span1:
        return; // the reads start at file 1's span
    case Phase::span2:
        return holdRestOfSpan1();
    case Phase::holding:
        endShort(run.InputFname1); // the copy reads file 1's span alone
    default: {
        // A page already read has gone: the file shrank, or its data became
        // unreadable, while it was compared. It ends as a read of that file
        // that failed.
        const char* fname = shorterFile();
        endShort(fname != nullptr ? fname : unreadableFile());
    }
    }
}

} // namespace

uint32_t compareMapped(uint32_t cmpLeft) {
    if (mappingUse == MappingUse::never || !mappable(run.fInp1) || !mappable(run.fInp2)) return 0;
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
    // The block pairs compared, those before a held rest of file 1's span too.
    return walk.done + walk.at;
}

void leaveMapped() {
    walk.phase = Phase::idle;
    unmap(map1);
    unmap(map2);
    if (handlerSet) sigaction(SIGBUS, &previousBusAction, nullptr);
    handlerSet = false;
}

void checkMappedLines() {
    if (walk.phase != Phase::comparing) return;
    if (const char* fname = shorterFile()) endShort(fname);
    walk.unchecked = 0; // the lines are handed on: the buffer starts empty
}

#else // the Win32 programs keep their reads

uint32_t compareMapped(uint32_t) {
    return 0;
}

void leaveMapped() {}

void checkMappedLines() {}

#endif
