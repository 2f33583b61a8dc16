// The platform's files and standard output. With mapped.cpp (the POSIX
// builds' mapped comparison) and posix_layer.cpp (built into zebrin-posix32
// alone), the only code that differs between deliverables. ZEBRIN_POSIX_FILES
// and ZEBRIN_UTF8_NAMES are per-deliverable build settings (build/targets).
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
#include <cwchar>
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

// The POSIX layer's own meaning of a name (posix_layer.cpp): its "\\?\" form,
// written to path, which holds capacity characters; false for a name that
// names no place this build can reach.
bool layerPath(const wchar_t* name, wchar_t* path, size_t capacity);

namespace {

// The program's texts are UTF-8, as the POSIX layer hands them over
// (posix_layer.cpp); the file system takes UTF-16. Strictly: a text that is no
// UTF-8, such as the layer's form of an unpaired surrogate, names no file
// rather than one with a replacement character. The file opens as the layer
// opens it, never through Win32's meaning of the name.
FILE* openByName(const char* fname, uint32_t) {
    static wchar_t wide[fnameCapacity];
    static wchar_t path[32768 + 8]; // the longest path Windows takes, and "\\?\UNC"
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fname, -1, wide, fnameCapacity) == 0)
        return nullptr;
    if (!layerPath(wide, path, sizeof path / sizeof *path)) return nullptr;
    return _wfopen(path, L"rb");
}

} // namespace

#else

struct StartupInfo {
    int newMode;
};
// The C library's wide twin of the start-up call that builds main's arguments.
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards,
                              StartupInfo* info);

namespace {

// Opens a file by its wide name, with Windows' meaning of it. A name whose
// full path is too long for the classic limit opens through the "\\?\" form
// of that full path, which knows no such limit whatever the system's long-path
// setting. The full path is what Windows itself makes of a name (slashes
// turned, "." and ".." resolved, trailing dots and blanks dropped), so the
// prefixed form names the same file; a drive's device path ("\\.\C:\...")
// becomes the same path with "?" for ".". Every shorter name opens as given,
// as it always did, and so do other device paths ("\\.\NUL", what NUL turns
// into) and names already in "\\?\" form. "\??\" is the system's own
// spelling of "\\?\", which Win32 would take for a folder "??" on the
// current drive: such a name opens in the "\\?\" spelling.
FILE* openWide(const wchar_t* name) {
    constexpr DWORD pathCapacity = 32768; // the longest path Windows takes
    constexpr size_t room = 8;            // for the prefix
    static wchar_t prefixed[room + pathCapacity];
    wchar_t* full = prefixed + room;
    if (wcsncmp(name, L"\\??\\", 4) == 0) {
        wcscpy(full, name);
        full[1] = L'\\';
        return _wfopen(full, L"rb");
    }
    DWORD length = GetFullPathNameW(name, pathCapacity, full, nullptr);
    if (length < MAX_PATH || length >= pathCapacity) return _wfopen(name, L"rb");
    const wchar_t* prefix;
    size_t skip; // characters of the full path that the prefix stands for
    if (full[1] == L':' && full[2] == L'\\') {
        prefix = L"\\\\?\\";
        skip = 0;
    } else if (wcsncmp(full, L"\\\\.\\", 4) == 0 && full[5] == L':' && full[6] == L'\\') {
        prefix = L"\\\\?\\";
        skip = 4;
    } else if (full[0] == L'\\' && full[1] == L'\\' && full[2] != L'?' && full[2] != L'.') {
        prefix = L"\\\\?\\UNC"; // \\server\share becomes \\?\UNC\server\share
        skip = 1;
    } else {
        return _wfopen(name, L"rb");
    }
    size_t prefixLength = wcslen(prefix);
    wchar_t* start = full + skip - prefixLength;
    wmemcpy(start, prefix, prefixLength);
    return _wfopen(start, L"rb");
}

wchar_t** wideArgs;
char** narrowArgs;

[[noreturn]] void startupFailed(const char* why) {
    fprintf(stderr, "zebrin: %s\n", why);
    _exit(255);
}

// The argument in the ANSI code page without best fit: a character the page
// lacks becomes "?", never a look-alike such as "-" for a fullwidth hyphen or
// "1" for a fullwidth digit. A UTF-8 page has every character and takes no
// such flag.
char* narrowed(const wchar_t* arg) {
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(CP_ACP, flags, arg, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) startupFailed("can't convert the command line to the ANSI code page");
    char* text = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (text == nullptr) startupFailed("not enough memory for the command line");
    WideCharToMultiByte(CP_ACP, flags, arg, -1, text, size, nullptr, nullptr);
    return text;
}

// The name at its place among the file names opens by its wide entry: the two
// lists have the same index for the same argument.
FILE* openByName(const char*, uint32_t position) {
    uint32_t i = narrowArgs != nullptr ? positionalIndex(narrowArgs, position) : 0;
    return i != 0 ? openWide(wideArgs[i]) : nullptr;
}

} // namespace

// MinGW's start-up has the C library build main's arguments through this call.
// The library's own version splits the ANSI command line, made with best fit,
// in which look-alikes become "-", "/", quotes or blanks: a name would be taken
// for a switch or split in two. Here the wide command line is split once
// (start-up may allocate; the program itself does not) and each narrow entry
// is made from its wide entry, so both lists have the same arguments in the
// same places, and what is a switch is decided on what was typed.
extern "C" int __getmainargs(int* argc, char*** argv, char*** env, int expandWildcards,
                             StartupInfo* info) {
    int count;
    wchar_t** wideEnv;
    int status = __wgetmainargs(&count, &wideArgs, &wideEnv, expandWildcards, info);
    if (status < 0) return status;
    narrowArgs = static_cast<char**>(malloc((static_cast<size_t>(count) + 1) * sizeof(char*)));
    if (narrowArgs == nullptr) startupFailed("not enough memory for the command line");
    for (int i = 0; i < count; i++)
        narrowArgs[i] = narrowed(wideArgs[i]);
    narrowArgs[count] = nullptr;
    *argc = count;
    *argv = narrowArgs;
    *env = _environ;
    return 0;
}

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
