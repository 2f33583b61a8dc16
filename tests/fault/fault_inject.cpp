// LD_PRELOAD library for the fault-injection tests. It watches the reads of
// one file, or two, and at the read that covers a chosen offset does what a
// failing disk or another writer would:
//   ZEBRIN_FAULT_FILE    the file, by any name that reaches it
//   ZEBRIN_FAULT_AT      the offset in it
//   ZEBRIN_FAULT_ACTION  eio (a bad spot at the offset: a read that reaches
//                        it delivers the bytes before it, one that starts
//                        there fails with an I/O error),
//                        truncate:K (the file shrinks to K bytes just before
//                        the first read that covers the offset),
//                        extend:K (the file grows by K bytes likewise),
//                        once (a bad spot that reads get past: the first read
//                        that covers the offset delivers the bytes before
//                        it, or fails when it starts there, and every later
//                        read goes on as if nothing had happened),
//                        nomap (a mapping that covers the offset fails, as
//                        under an address-space limit; reads go on)
//   ZEBRIN_FAULT_FILE2, ZEBRIN_FAULT_AT2  optional: a second file and offset,
//                        with the same action
//   ZEBRIN_FAULT_MARK    optional: a file to which a line is added when a fault
//                        has been met, "read" or "map" for where
// fread and read, and their checking forms, are watched, whichever the
// program reads through, and so is mmap: a mapping that covers the offset
// counts as a read of it. The file shrinks or grows before it is mapped, and a
// bad spot makes the page that holds it fault as a failing disk's would.
// Apart from that, the writes to standard output (descriptor 1) that go
// through write, as a non-blocking or slow reader would meet them:
//   ZEBRIN_FAULT_STDOUT  eagain:N (the N-th write, counted from 1, fails once
//                        with EAGAIN), most:N (every write takes at most N
//                        bytes), shrink:N (ZEBRIN_FAULT_FILE shrinks to the
//                        size of its truncate:K action during the N-th write,
//                        as when the program waits on a full pipe while
//                        another writer cuts the file; give an offset that is
//                        never read)
// The library stands in for the C library's entry points under their own
// names, the 32-bit-offset ones and their 64-bit twins alike, so it sees the
// C library's own declarations (with 64-bit offsets, mmap would name
// mmap64); its own offsets are 64 bits wide on every target.
#undef _FILE_OFFSET_BITS
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fault {
    bool armed;
    bool spent; // a fault that happens once has happened
    const char* path;
    dev_t dev;
    ino_t ino;
    off64_t at;
};

Fault faults[2];
char action; // 'e', 't', 'x', 'o' or 'n'
off64_t size;
bool loaded;

void loadSpot(Fault& f, const char* path, const char* at) {
    struct stat st;
    if (path == nullptr || at == nullptr || stat(path, &st) != 0) return;
    f.path = path;
    f.dev = st.st_dev;
    f.ino = st.st_ino;
    f.at = strtol(at, nullptr, 10);
    f.armed = true;
}

void loadFaults() {
    if (loaded) return;
    loaded = true;
    const char* text = getenv("ZEBRIN_FAULT_ACTION");
    if (text == nullptr) return;
    if (strcmp(text, "eio") == 0) {
        action = 'e';
    } else if (strncmp(text, "truncate:", 9) == 0) {
        action = 't';
        size = strtol(text + 9, nullptr, 10);
    } else if (strncmp(text, "extend:", 7) == 0) {
        action = 'x';
        size = strtol(text + 7, nullptr, 10);
    } else if (strcmp(text, "once") == 0) {
        action = 'o';
    } else if (strcmp(text, "nomap") == 0) {
        action = 'n';
    } else {
        return;
    }
    loadSpot(faults[0], getenv("ZEBRIN_FAULT_FILE"), getenv("ZEBRIN_FAULT_AT"));
    loadSpot(faults[1], getenv("ZEBRIN_FAULT_FILE2"), getenv("ZEBRIN_FAULT_AT2"));
}

// The fault whose offset a read of n bytes from pos on fd covers, or null.
Fault* coveringFault(int fd, off64_t pos, size_t n) {
    loadFaults();
    struct stat st;
    if (n == 0 || pos < 0 || fstat(fd, &st) != 0) return nullptr;
    for (Fault& f : faults)
        if (f.armed && st.st_dev == f.dev && st.st_ino == f.ino && pos <= f.at &&
            f.at - pos < static_cast<off64_t>(n))
            return &f;
    return nullptr;
}

void noteMet(const char* where) {
    const char* mark = getenv("ZEBRIN_FAULT_MARK");
    if (mark == nullptr) return;
    int markFd = open(mark, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (markFd < 0 || ::write(markFd, where, strlen(where)) < 0) abort();
    close(markFd);
}

// Does what the read meets; for a bad spot, how many bytes of the read come
// before it (the rest fails), else the whole n.
size_t applyFault(Fault& f, int fd, off64_t pos, size_t n, const char* where = "read\n") {
    if (f.spent || action == 'n') return n;
    noteMet(where);
    if (action == 'e') return static_cast<size_t>(f.at - pos);
    f.spent = true;
    if (action == 'o') return static_cast<size_t>(f.at - pos);
    struct stat st;
    off64_t length = size;
    if (action == 'x') {
        if (fstat(fd, &st) != 0) abort();
        length = st.st_size + size;
    }
    if (truncate64(f.path, length) != 0) abort();
    return n;
}

template <typename Fn> Fn nextDefinition(const char* name) {
    void* f = dlsym(RTLD_NEXT, name);
    if (f == nullptr) abort();
    Fn fn;
    memcpy(&fn, &f, sizeof fn);
    return fn;
}

// A stream read through real (buf, itemSize, n), with the fault that covers it.
template <typename Real>
size_t readStream(void* buf, size_t itemSize, size_t n, FILE* stream, Real real) {
    size_t bytes = itemSize * n;
    off64_t pos = ftello64(stream);
    Fault* f = coveringFault(fileno(stream), pos, bytes);
    if (f == nullptr) return real(buf, itemSize, n);
    size_t before = applyFault(*f, fileno(stream), pos, bytes);
    if (before == bytes) return real(buf, itemSize, n);
    size_t got = before != 0 ? real(buf, 1, before) : 0;
    // As the C library leaves a stream whose read failed part of the way.
    stream->_flags |= _IO_ERR_SEEN;
    errno = EIO;
    return got / itemSize;
}

// A descriptor read through real (buf, n), with the fault that covers it.
template <typename Real> ssize_t readFd(int fd, void* buf, size_t n, Real real) {
    off64_t pos = lseek64(fd, 0, SEEK_CUR);
    Fault* f = coveringFault(fd, pos, n);
    if (f == nullptr) return real(buf, n);
    size_t before = applyFault(*f, fd, pos, n);
    if (before == n) return real(buf, n);
    if (before != 0) return real(buf, before);
    errno = EIO;
    return -1;
}

} // namespace

extern "C" size_t fread(void* buf, size_t size, size_t n, FILE* stream) {
    using Fread = size_t (*)(void*, size_t, size_t, FILE*);
    static Fread realFread = nextDefinition<Fread>("fread");
    return readStream(buf, size, n, stream,
                      [stream](void* b, size_t s, size_t k) { return realFread(b, s, k, stream); });
}

extern "C" ssize_t read(int fd, void* buf, size_t n) {
    using Read = ssize_t (*)(int, void*, size_t);
    static Read realRead = nextDefinition<Read>("read");
    return readFd(fd, buf, n, [fd](void* b, size_t k) { return realRead(fd, b, k); });
}

// A hardened build reads into buffers of known size through the C library's
// checking entry points, which don't pass through fread and read.
extern "C" size_t __fread_chk(void* buf, size_t bufLen, size_t size, size_t n, FILE* stream) {
    using FreadChk = size_t (*)(void*, size_t, size_t, size_t, FILE*);
    static FreadChk realFreadChk = nextDefinition<FreadChk>("__fread_chk");
    return readStream(buf, size, n, stream, [bufLen, stream](void* b, size_t s, size_t k) {
        return realFreadChk(b, bufLen, s, k, stream);
    });
}

extern "C" ssize_t __read_chk(int fd, void* buf, size_t n, size_t bufLen) {
    using ReadChk = ssize_t (*)(int, void*, size_t, size_t);
    static ReadChk realReadChk = nextDefinition<ReadChk>("__read_chk");
    return readFd(fd, buf, n,
                  [fd, bufLen](void* b, size_t k) { return realReadChk(fd, b, k, bufLen); });
}

namespace {

// A mapping through real (addr, n), with the fault that covers it: a bad spot's
// page is overlaid with a page of an empty file, which faults when read.
template <typename Real> void* mapFd(int fd, off64_t pos, size_t n, Real real) {
    Fault* f = coveringFault(fd, pos, n);
    if (f == nullptr || f->spent) return real(nullptr, n);
    if (action == 'n') {
        noteMet("map\n");
        errno = ENOMEM;
        return MAP_FAILED;
    }
    // A bad spot faults in a mapping, one that reads get past included: the
    // reads that take over from the mapping meet it as they would have.
    bool badSpot = action == 'e' || action == 'o';
    if (badSpot)
        noteMet("map\n");
    else
        applyFault(*f, fd, pos, n, "map\n");
    void* mapped = real(nullptr, n);
    if (mapped == MAP_FAILED || !badSpot) return mapped;
    off64_t page = sysconf(_SC_PAGESIZE);
    int empty = memfd_create("zebrin-bad-spot", MFD_CLOEXEC);
    auto* spot = static_cast<char*>(mapped) + (f->at - pos) / page * page;
    if (empty < 0 || mmap64(spot, static_cast<size_t>(page), PROT_READ, MAP_SHARED | MAP_FIXED,
                            empty, 0) == MAP_FAILED)
        abort();
    close(empty);
    return mapped;
}

} // namespace

extern "C" void* mmap64(void* addr, size_t n, int prot, int flags, int fd, off64_t pos) {
    using Mmap = void* (*)(void*, size_t, int, int, int, off64_t);
    static Mmap realMmap = nextDefinition<Mmap>("mmap64");
    if (fd < 0 || addr != nullptr) return realMmap(addr, n, prot, flags, fd, pos);
    return mapFd(fd, pos, n,
                 [=](void* a, size_t k) { return realMmap(a, k, prot, flags, fd, pos); });
}

// The 64-bit C library's mmap is mmap64 under another name.
extern "C" void* mmap(void* addr, size_t n, int prot, int flags, int fd, off_t pos) {
    return mmap64(addr, n, prot, flags, fd, pos);
}

namespace {

struct StdoutFault {
    char action; // 'a' (eagain), 'm' (most) or 's' (shrink), 0 for none
    long n;
    long writes;
};

StdoutFault loadStdoutFault() {
    const char* setting = getenv("ZEBRIN_FAULT_STDOUT");
    if (setting == nullptr) return {};
    if (strncmp(setting, "eagain:", 7) == 0) return {'a', strtol(setting + 7, nullptr, 10), 0};
    if (strncmp(setting, "most:", 5) == 0) return {'m', strtol(setting + 5, nullptr, 10), 0};
    if (strncmp(setting, "shrink:", 7) == 0) return {'s', strtol(setting + 7, nullptr, 10), 0};
    return {};
}

} // namespace

extern "C" ssize_t write(int fd, const void* buf, size_t n) {
    using Write = ssize_t (*)(int, const void*, size_t);
    static Write realWrite = nextDefinition<Write>("write");
    static StdoutFault out = loadStdoutFault();
    if (fd == 1 && out.action == 'a' && ++out.writes == out.n) {
        errno = EAGAIN;
        return -1;
    }
    if (fd == 1 && out.action == 's' && ++out.writes == out.n) {
        loadFaults();
        if (faults[0].path == nullptr || truncate64(faults[0].path, size) != 0) abort();
    }
    if (fd == 1 && out.action == 'm' && n > static_cast<size_t>(out.n))
        n = static_cast<size_t>(out.n);
    return realWrite(fd, buf, n);
}
