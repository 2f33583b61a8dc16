// LD_PRELOAD library for the fault-injection tests. It watches the reads of
// one file and, at the chosen one, makes it fail or changes the file's length
// just before it, as a failing disk or another writer would:
//   ZEBRIN_FAULT_FILE    the file, by any name that reaches it
//   ZEBRIN_FAULT_READ    which read of it, counted from 1
//   ZEBRIN_FAULT_ACTION  eio (the read fails with an I/O error),
//                        truncate:K (the file shrinks to K bytes),
//                        extend:K (the file grows by K bytes)
//   ZEBRIN_FAULT_MARK    optional: a file created when the fault has been met
// fread and read, and their checking forms, are watched, whichever the
// program reads through.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fault {
    bool armed;
    const char* path;
    dev_t dev;
    ino_t ino;
    long nth;
    long reads;
    char action; // 'e', 't' or 'x'
    off_t size;
};

Fault fault;
bool loaded;

void loadFault() {
    if (loaded) return;
    loaded = true;
    const char* path = getenv("ZEBRIN_FAULT_FILE");
    const char* nth = getenv("ZEBRIN_FAULT_READ");
    const char* action = getenv("ZEBRIN_FAULT_ACTION");
    struct stat st;
    if (path == nullptr || nth == nullptr || action == nullptr || stat(path, &st) != 0) return;
    fault.path = path;
    fault.dev = st.st_dev;
    fault.ino = st.st_ino;
    fault.nth = strtol(nth, nullptr, 10);
    if (strcmp(action, "eio") == 0) {
        fault.action = 'e';
    } else if (strncmp(action, "truncate:", 9) == 0) {
        fault.action = 't';
        fault.size = strtol(action + 9, nullptr, 10);
    } else if (strncmp(action, "extend:", 7) == 0) {
        fault.action = 'x';
        fault.size = strtol(action + 7, nullptr, 10);
    } else {
        return;
    }
    fault.armed = true;
}

// Counts the reads of the watched file; true for the chosen one.
bool isChosenRead(int fd) {
    loadFault();
    struct stat st;
    if (!fault.armed || fstat(fd, &st) != 0) return false;
    if (st.st_dev != fault.dev || st.st_ino != fault.ino) return false;
    return ++fault.reads == fault.nth;
}

// Does what the chosen read meets; true when that read itself must fail.
bool applyFault(int fd) {
    const char* mark = getenv("ZEBRIN_FAULT_MARK");
    if (mark != nullptr) close(open(mark, O_WRONLY | O_CREAT, 0644));
    struct stat st;
    switch (fault.action) {
    case 'e':
        return true;
    case 't':
        if (truncate(fault.path, fault.size) != 0) abort();
        return false;
    default:
        if (fstat(fd, &st) != 0 || truncate(fault.path, st.st_size + fault.size) != 0) abort();
        return false;
    }
}

template <typename Fn> Fn nextDefinition(const char* name) {
    void* f = dlsym(RTLD_NEXT, name);
    if (f == nullptr) abort();
    Fn fn;
    memcpy(&fn, &f, sizeof fn);
    return fn;
}

} // namespace

extern "C" size_t fread(void* buf, size_t size, size_t n, FILE* stream) {
    using Fread = size_t (*)(void*, size_t, size_t, FILE*);
    static Fread realFread = nextDefinition<Fread>("fread");
    if (isChosenRead(fileno(stream)) && applyFault(fileno(stream))) {
        // As the C library leaves a stream whose read failed.
        stream->_flags |= _IO_ERR_SEEN;
        errno = EIO;
        return 0;
    }
    return realFread(buf, size, n, stream);
}

extern "C" ssize_t read(int fd, void* buf, size_t n) {
    using Read = ssize_t (*)(int, void*, size_t);
    static Read realRead = nextDefinition<Read>("read");
    if (isChosenRead(fd) && applyFault(fd)) {
        errno = EIO;
        return -1;
    }
    return realRead(fd, buf, n);
}

// A hardened build reads into buffers of known size through the C library's
// checking entry points, which don't pass through fread and read.
extern "C" size_t __fread_chk(void* buf, size_t bufLen, size_t size, size_t n, FILE* stream) {
    using FreadChk = size_t (*)(void*, size_t, size_t, size_t, FILE*);
    static FreadChk realFreadChk = nextDefinition<FreadChk>("__fread_chk");
    if (isChosenRead(fileno(stream)) && applyFault(fileno(stream))) {
        stream->_flags |= _IO_ERR_SEEN;
        errno = EIO;
        return 0;
    }
    return realFreadChk(buf, bufLen, size, n, stream);
}

extern "C" ssize_t __read_chk(int fd, void* buf, size_t n, size_t bufLen) {
    using ReadChk = ssize_t (*)(int, void*, size_t, size_t);
    static ReadChk realReadChk = nextDefinition<ReadChk>("__read_chk");
    if (isChosenRead(fd) && applyFault(fd)) {
        errno = EIO;
        return -1;
    }
    return realReadChk(fd, buf, n, bufLen);
}
