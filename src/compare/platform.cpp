// The only file whose code differs between deliverables: ZEBRIN_POSIX_FILES is
// a per-deliverable build setting (build/targets).
#include "compare/platform.h"

#include <sys/stat.h>

#if ZEBRIN_POSIX_FILES
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

#if ZEBRIN_POSIX_FILES

FILE* openInput(const char* fname) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
    // later as not seekable. Regular files ignore the flag.
    int fd = open(fname, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    FILE* stream = fdopen(fd, "rb");
    if (stream == nullptr) {
        close(fd);
        return nullptr;
    }
    setvbuf(stream, nullptr, _IONBF, 0);
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return stream;
}

int64_t measureLength(FILE* stream) {
    if (fseeko(stream, 0, SEEK_END) != 0) return -1;
    return ftello(stream);
}

void seekTo(FILE* stream, uint32_t offset) {
    fseeko(stream, static_cast<off_t>(offset), SEEK_SET);
}

uint32_t tellPosition(FILE* stream) {
    return static_cast<uint32_t>(ftello(stream));
}

bool writeStdout(const char* bytes, size_t n) {
    // Straight to the descriptor: through the stream's own small buffer a
    // 64 KiB hand-over costs two writes and a copy.
    if (fflush(stdout) != 0) return false;
    int fd = fileno(stdout);
    while (n != 0) {
        ssize_t done = write(fd, bytes, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

#else // the Win32 C library

FILE* openInput(const char* fname) {
    FILE* stream = fopen(fname, "rb");
    if (stream == nullptr) return nullptr;
    struct _stati64 st;
    if (_fstati64(_fileno(stream), &st) != 0 || (st.st_mode & _S_IFMT) == _S_IFDIR) {
        fclose(stream);
        return nullptr;
    }
    setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

int64_t measureLength(FILE* stream) {
    if (_fseeki64(stream, 0, SEEK_END) != 0) return -1;
    return _ftelli64(stream);
}

void seekTo(FILE* stream, uint32_t offset) {
    _fseeki64(stream, static_cast<int64_t>(offset), SEEK_SET);
}

uint32_t tellPosition(FILE* stream) {
    return static_cast<uint32_t>(_ftelli64(stream));
}

bool writeStdout(const char* bytes, size_t n) {
    // Through the stream: the console C library turns each "\n" into "\r\n".
    return fwrite(bytes, 1, n, stdout) == n;
}

#endif
