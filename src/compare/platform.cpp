// The only file whose code differs between deliverables: ZEBRIN_POSIX_FILES and
// ZEBRIN_UTF8_NAMES are per-deliverable build settings (build/targets).
#include "compare/platform.h"

#include <sys/stat.h>

#if ZEBRIN_POSIX_FILES
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#else
#include "cmdline/cmdline.h"
#include "compare/compare_run.h"

#include <cstdlib>
#include <cstring>
#include <windows.h>
#endif

#if ZEBRIN_POSIX_FILES

FILE* openInput(const char* fname, uint32_t) {
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

#if ZEBRIN_UTF8_NAMES

namespace {

// The program's texts are UTF-8, as the POSIX layer hands them over
// (build/posix32); the file system takes UTF-16. Strictly: a text that is no
// UTF-8, such as the layer's form of an unpaired surrogate, names no file
// rather than one with a replacement character.
FILE* openByName(const char* fname, uint32_t) {
    static wchar_t wide[fnameCapacity];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fname, -1, wide, fnameCapacity) == 0)
        return nullptr;
    return _wfopen(wide, L"rb");
}

} // namespace

#else

struct StartupInfo {
    int newMode;
};
// The C library's wide twin of the start-up call that built main's arguments.
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards,
                              StartupInfo* info);

namespace {

// The C library built main's arguments from the command line in the ANSI code
// page, where a character that the page lacks became "?". The wide command
// line, split by the same library by the same rules, holds every name as it
// was given, at the same index; unless a character's nearest code-page form
// is a quote or a blank, so that the two split differently. So the wide entry
// is taken only when it reads as this very name in the code page; otherwise
// the name is opened as it stands.
const wchar_t* wideArgument(const char* fname, uint32_t position) {
    static char narrow[fnameCapacity];
    int count;
    wchar_t** args;
    wchar_t** env;
    StartupInfo info{0};
    if (__wgetmainargs(&count, &args, &env, 0, &info) < 0 || count != __argc) return nullptr;
    uint32_t i = positionalIndex(__argv, position);
    if (i == 0 ||
        WideCharToMultiByte(CP_ACP, 0, args[i], -1, narrow, sizeof narrow, nullptr, nullptr) == 0 ||
        strcmp(narrow, fname) != 0)
        return nullptr;
    return args[i];
}

FILE* openByName(const char* fname, uint32_t position) {
    const wchar_t* wide = wideArgument(fname, position);
    return wide != nullptr ? _wfopen(wide, L"rb") : fopen(fname, "rb");
}

} // namespace

#endif

FILE* openInput(const char* fname, uint32_t position) {
    FILE* stream = openByName(fname, position);
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
