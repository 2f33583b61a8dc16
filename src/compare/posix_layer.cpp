// The stand-in for the POSIX emulation layer that zebrin-posix32 is built
// against. It presents the program with what that layer presents before main
// runs: the arguments as UTF-8 texts, made from the wide command line, with
// every unquoted wildcard pattern that matches files expanded into their
// names; and a standard output in binary mode (the layer's C library writes
// "\n" as it stands) that a console shows as UTF-8; and the layer's meaning of
// a file name, by which the program opens its files. (The layer's other
// trait, a parent seeing only the low eight bits of the status, is the exit
// setting of this deliverable.)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// The arguments grow with what the patterns expand to, as the layer's C
// library start-up lets them (the program itself allocates nothing): each
// argument's text at its offset into one block, the block and the offsets
// doubled as needed. Where memory is refused the process ends before main
// rather than run with fewer or other arguments than were given.
constexpr size_t wideCapacity = 32768; // a command line holds at most 32767 UTF-16 units

char* text;
size_t textUsed, textCapacity;
size_t* starts;
size_t argCount, argCapacity;
wchar_t word[wideCapacity]; // the argument being split off the command line
wchar_t search[wideCapacity + 2];

[[noreturn]] void outOfMemory() {
    fputs("zebrin: not enough memory for the command line\n", stderr);
    _exit(255);
}

// The block with room for at least needed items of size bytes each.
void* grown(void* block, size_t& capacity, size_t needed, size_t size) {
    if (needed <= capacity) return block;
    size_t wanted = capacity == 0 ? 4096 : capacity;
    while (wanted < needed) {
        if (wanted > SIZE_MAX / 2 / size) outOfMemory();
        wanted *= 2;
    }
    void* bigger = realloc(block, wanted * size);
    if (bigger == nullptr) outOfMemory();
    capacity = wanted;
    return bigger;
}

bool isHigh(wchar_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool isLow(wchar_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// One character of s, a surrogate pair taken whole, as its code point.
uint32_t nextChar(const wchar_t*& s) {
    uint32_t c = *s++;
    if (isHigh(static_cast<wchar_t>(c)) && isLow(*s))
        c = 0x10000 + ((c - 0xD800) << 10) + (*s++ - 0xDC00u);
    return c;
}

void putByte(uint32_t b) {
    text = static_cast<char*>(grown(text, textCapacity, textUsed + 1, 1));
    text[textUsed++] = static_cast<char>(b);
}

// Appends s up to its end or up to end in UTF-8. An unpaired surrogate gets
// the three bytes its code point would have, which no strict decoder takes
// back: such a name can never open a file that merely looks like it.
void putUtf8(const wchar_t* s, const wchar_t* end = nullptr) {
    while (s != end && *s != 0) {
        uint32_t c = nextChar(s);
        if (c < 0x80) {
            putByte(c);
        } else if (c < 0x800) {
            putByte(0xC0 | c >> 6);
            putByte(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            putByte(0xE0 | c >> 12);
            putByte(0x80 | (c >> 6 & 0x3F));
            putByte(0x80 | (c & 0x3F));
        } else {
            putByte(0xF0 | c >> 18);
            putByte(0x80 | (c >> 12 & 0x3F));
            putByte(0x80 | (c >> 6 & 0x3F));
            putByte(0x80 | (c & 0x3F));
        }
    }
}

// Adds the argument made of the characters from prefix to prefixEnd and then s.
void addArgument(const wchar_t* prefix, const wchar_t* prefixEnd, const wchar_t* s) {
    starts = static_cast<size_t*>(grown(starts, argCapacity, argCount + 1, sizeof *starts));
    starts[argCount++] = textUsed;
    putUtf8(prefix, prefixEnd);
    putUtf8(s);
    putByte(0);
}

// Splits the next argument off the command line into word, by the rules of
// the Win32 C library, so that it sees what a Win32 program would: blanks
// separate; "..." quotes; 2n backslashes before a quote give n and the quote
// quotes, 2n+1 give n and a literal quote; "" within quotes gives a quote.
// quoted tells whether any of it was quoted. False at the end of the line.
bool splitArgument(const wchar_t*& line, bool& quoted) {
    while (*line == L' ' || *line == L'\t')
        line++;
    if (*line == 0) return false;
    size_t n = 0;
    bool inQuotes = false;
    quoted = false;
    while (*line != 0 && (inQuotes || (*line != L' ' && *line != L'\t'))) {
        size_t slashes = 0;
        for (; *line == L'\\'; line++)
            slashes++;
        if (*line == L'"') {
            for (size_t k = 0; k < slashes / 2; k++)
                word[n++] = L'\\';
            if (slashes % 2 == 0) {
                quoted = true;
                if (inQuotes && line[1] == L'"') word[n++] = *++line;
                inQuotes = !inQuotes;
            } else {
                word[n++] = L'"';
            }
            line++;
        } else {
            for (; slashes > 0; slashes--)
                word[n++] = L'\\';
            if (*line != 0 && (inQuotes || (*line != L' ' && *line != L'\t'))) word[n++] = *line++;
        }
    }
    word[n] = 0;
    return true;
}

// A bracket expression at p ("[a-z]", "[!.]"), matched against c; moves p
// behind it. -1 when no "]" closes it: the "[" is then an ordinary character.
int matchBracket(const wchar_t*& p, uint32_t c) {
    const wchar_t* q = p + 1;
    bool negated = *q == L'!' || *q == L'^';
    if (negated) q++;
    const wchar_t* first = q;
    bool hit = false;
    while (*q != L']' || q == first) {
        if (*q == 0) return -1;
        uint32_t low = nextChar(q), high = low;
        if (*q == L'-' && q[1] != L']' && q[1] != 0) high = nextChar(++q);
        hit = hit || (low <= c && c <= high);
    }
    p = q + 1;
    return hit != negated;
}

// Whether the pattern's element at p matches the character c; moves p behind
// the element.
bool matchOne(const wchar_t*& p, uint32_t c) {
    if (*p == L'?') {
        p++;
        return true;
    }
    if (*p == L'[') {
        int hit = matchBracket(p, c);
        if (hit >= 0) return hit == 1;
    }
    return nextChar(p) == c;
}

// Whether the name matches the pattern's "*", "?" and "[...]", character by
// character and case-sensitively; a leading "." only matches a "." as such.
bool matches(const wchar_t* p, const wchar_t* name) {
    if (*name == L'.' && *p != L'.') return false;
    const wchar_t* starP = nullptr;
    const wchar_t* starName = nullptr;
    while (*name != 0) {
        if (*p == L'*') {
            starP = ++p;
            starName = name;
            continue;
        }
        const wchar_t* nameNext = name;
        uint32_t c = nextChar(nameNext);
        const wchar_t* pNext = p;
        if (*p != 0 && matchOne(pNext, c)) {
            p = pNext;
            name = nameNext;
        } else if (starP != nullptr) {
            p = starP;
            nextChar(starName);
            name = starName;
        } else {
            return false;
        }
    }
    while (*p == L'*')
        p++;
    return *p == 0;
}

// Names as the layer takes them. The layer never hands a name to Win32's
// normalisation, which drops trailing dots and blanks and turns "nul" or
// "aux.c" into devices: "report." and "report" are two files, and a name the
// layer lists opens that very file. So a name is resolved on its text ("/"
// and "\" alike, "." and ".." as POSIX resolves them, a relative name behind
// the current folder) and opened through its "\\?\" form, which Win32 hands
// to the file system as it stands, whatever its length. Only the name's
// beginning is read as its root (a drive, a share, the layer's own tree), and
// ".." never leaves that root: no later part becomes a drive or a share.
constexpr size_t folderCapacity = 32768; // the longest path Windows takes

// A path being written into a caller's buffer; fits turns false for good
// when an append doesn't fit.
struct LayerPath {
    wchar_t* text;
    size_t capacity, length;
    bool fits;
};

void append(LayerPath& p, const wchar_t* s, size_t n) {
    if (n >= p.capacity - p.length) {
        p.fits = false;
        return;
    }
    wmemcpy(p.text + p.length, s, n);
    p.length += n;
    p.text[p.length] = 0;
}

bool isSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

bool isLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "X:" at s: a drive, whose path or current folder follows.
bool isDrive(const wchar_t* s) {
    return isLetter(s[0]) && s[1] == L':';
}

// "X:\" or "X:/" at s: the root of drive X:.
bool isDriveRoot(const wchar_t* s) {
    return isDrive(s) && isSeparator(s[2]);
}

// "\\server..." or "//server...": a network path.
bool isShare(const wchar_t* s) {
    return isSeparator(s[0]) && isSeparator(s[1]) && s[2] != 0 && !isSeparator(s[2]);
}

bool startsWith(const wchar_t* s, const wchar_t* prefix) {
    return wcsncmp(s, prefix, wcslen(prefix)) == 0;
}

// "UNC\" or "UNC/" at s, in any case, as the system's names are.
bool isUncKeyword(const wchar_t* s) {
    return (s[0] | 0x20) == L'u' && (s[1] | 0x20) == L'n' && (s[2] | 0x20) == L'c' &&
           isSeparator(s[3]);
}

size_t partLength(const wchar_t* s) {
    size_t n = 0;
    while (s[n] != 0 && !isSeparator(s[n]))
        n++;
    return n;
}

bool isDotPart(const wchar_t* s, size_t n) {
    return (n == 1 && s[0] == L'.') || (n == 2 && s[0] == L'.' && s[1] == L'.');
}

// Whether the name ends as a folder's name does: with a separator, or with
// "." or ".." as its last part. Such a name never opens a file.
bool endsAsFolder(const wchar_t* name) {
    size_t n = wcslen(name), last = n;
    while (last > 0 && !isSeparator(name[last - 1]))
        last--;
    return (n != 0 && last == n) || isDotPart(name + last, n - last);
}

// Appends the parts of s, each behind a "\": "." is skipped and ".." takes
// back the last part, but never one of the root, which ends at floor.
void appendParts(LayerPath& p, const wchar_t* s, size_t floor) {
    for (size_t n; *s != 0; s += n) {
        n = isSeparator(*s) ? 1 : partLength(s);
        if (n == 2 && s[0] == L'.' && s[1] == L'.') {
            while (p.length > floor && p.text[--p.length] != L'\\') {
            }
            p.text[p.length] = 0;
        } else if (!isSeparator(*s) && (n != 1 || *s != L'.')) {
            append(p, L"\\", 1);
            append(p, s, n);
        }
    }
}

// Appends the "\\?\" form of the root that name begins with and moves name
// behind it: a drive ("X:\", "\\.\X:\", "\\?\X:\") or a share
// ("\\server\share", "\\.\UNC\server\share", "\\?\UNC\server\share"). The
// root's length; 0 when name begins with none, or names no server and share.
size_t appendRoot(LayerPath& p, const wchar_t*& name) {
    const wchar_t* s = name;
    bool prefixed = startsWith(s, L"\\\\.\\") || startsWith(s, L"\\\\?\\");
    if (prefixed) s += 4;
    if (isDriveRoot(s)) {
        const wchar_t drive[] = {L'\\', L'\\', L'?', L'\\', s[0], L':'};
        append(p, drive, 6);
        name = s + 2;
        return p.length;
    }
    if (prefixed ? !isUncKeyword(s) : !isShare(s)) return 0;
    s += prefixed ? 3 : 1; // at the separator before the server
    append(p, L"\\\\?\\UNC", 7);
    for (int i = 0; i < 2; i++) { // the server, then the share
        if (!isSeparator(*s)) return 0;
        size_t n = partLength(++s);
        if (n == 0 || isDotPart(s, n)) return 0;
        append(p, L"\\", 1);
        append(p, s, n);
        s += n;
    }
    name = s;
    return p.length;
}

// Writes the "\\?\" form of a name of the layer's own tree, one that begins
// with a single "/". It is resolved from that tree's root, and only a place
// under "/cygdrive/x", the layer's path of drive X:, can be reached without
// the layer's mount table: false for any other, which Win32 would take for a
// path on the current drive, another file.
bool appendTreePath(LayerPath& p, const wchar_t* name) {
    appendParts(p, name, 0); // "\cygdrive\x\rest" for a drive's path
    wchar_t* t = p.text;
    const size_t prefix = 11; // "\cygdrive\x", which becomes "\\?\x:", 5 shorter
    if (!p.fits || !startsWith(t, L"\\cygdrive\\") || !isLetter(t[10]) ||
        (t[prefix] != 0 && t[prefix] != L'\\'))
        return false;
    const wchar_t drive[] = {L'\\', L'\\', L'?', L'\\', t[10], L':'};
    wmemmove(t + 6, t + prefix, p.length - prefix + 1);
    wmemcpy(t, drive, 6);
    p.length -= prefix - 6;
    if (p.length == 6) append(p, L"\\", 1);
    return p.fits;
}

// The folder that a name without a root of its own is taken in: the current
// folder, or for "X:rel" that drive's current folder (which Win32 tells for
// "X:" alone). Null when there is none.
const wchar_t* baseFolder(const wchar_t* name) {
    static wchar_t folder[folderCapacity];
    DWORD n;
    if (isDrive(name)) {
        const wchar_t drive[] = {name[0], L':', 0};
        n = GetFullPathNameW(drive, folderCapacity, folder, nullptr);
    } else {
        n = GetCurrentDirectoryW(folderCapacity, folder);
    }
    return n != 0 && n < folderCapacity ? folder : nullptr;
}

// Whether the name opens as given: names in "\\?\" form, and "\??\", the
// system's own spelling of it; "\\.\" names but a drive's or a share's path,
// such as "\\.\nul" or the volume "\\.\C:".
bool opensAsGiven(const wchar_t* name) {
    if (startsWith(name, L"\\\\?\\") || startsWith(name, L"\\??\\")) return true;
    return startsWith(name, L"\\\\.\\") && !isDriveRoot(name + 4) && !isUncKeyword(name + 4);
}

} // namespace

// Writes the "\\?\" form of name as the layer takes it to path (capacity
// characters). A name in "\\?\" form and a device's "\\.\" name stay as
// given, and "\??\" is written "\\?\"; every other name is resolved on its
// text, a "\\.\" drive or share path (of any length) as the path it stands
// for. False for a name that ends as a folder's name, for a name of the
// layer's own tree outside "/cygdrive/x", for a root that names no place,
// and for a path that doesn't fit.
bool layerPath(const wchar_t* name, wchar_t* path, size_t capacity) {
    LayerPath p{path, capacity, 0, true};
    path[0] = 0;
    if (opensAsGiven(name)) {
        append(p, name, wcslen(name));
        if (p.fits) path[1] = L'\\'; // "\??\" becomes "\\?\"; the others have it
        return p.fits;
    }
    if (endsAsFolder(name)) return false;
    bool relative = !isSeparator(name[0]) && !isDriveRoot(name);
    const wchar_t* root = name; // the text the root is read from
    const wchar_t* rest = L"";
    if (relative) {
        // The current folder in the form the system reports it, "\\?\" too.
        root = baseFolder(name);
        if (root == nullptr) return false;
        rest = isDrive(name) ? name + 2 : name;
    } else if (!isDriveRoot(name) && !isShare(name)) {
        return appendTreePath(p, name);
    }
    size_t floor = appendRoot(p, root);
    if (floor == 0) return false;
    appendParts(p, root, floor);
    appendParts(p, rest, floor);
    if (p.length == floor) append(p, L"\\", 1); // "\\?\C:" alone would name the volume
    return p.fits;
}

namespace {

int byBytes(const void* a, const void* b) {
    return strcmp(text + *static_cast<const size_t*>(a), text + *static_cast<const size_t*>(b));
}

// Adds the names that the pattern in word matches, sorted, each behind the
// pattern's folder part as written; wildcards count in the last part only.
// The folder is listed as the layer takes its name, so that what is listed
// is what opens. A listed name with a separator or ":" in it (a folder may
// list names as its file system holds them) would be read as a path, another
// file: it is skipped. False, with nothing added, when nothing matches.
bool expand() {
    size_t folderLen = 0;
    for (size_t i = 0; word[i] != 0; i++)
        if (word[i] == L'/' || word[i] == L'\\' || word[i] == L':') folderLen = i + 1;
    wmemcpy(search, word, folderLen);
    wcscpy(search + folderLen, L"*");
    static wchar_t listed[folderCapacity + 8];
    if (!layerPath(search, listed, sizeof listed / sizeof *listed)) return false;
    WIN32_FIND_DATAW found;
    HANDLE dir = FindFirstFileW(listed, &found);
    if (dir == INVALID_HANDLE_VALUE) return false;
    size_t first = argCount;
    do {
        if (wcspbrk(found.cFileName, L"/\\:") == nullptr &&
            matches(word + folderLen, found.cFileName))
            addArgument(word, word + folderLen, found.cFileName);
    } while (FindNextFileW(dir, &found));
    FindClose(dir);
    qsort(starts + first, argCount - first, sizeof *starts, byBytes);
    return argCount != first;
}

UINT consoleCodePage;
char consoleBuffer[4096];

void restoreConsoleCodePage() {
    fflush(stdout);
    SetConsoleOutputCP(consoleCodePage);
}

__attribute__((constructor)) void presentStdout() {
    _setmode(_fileno(stdout), _O_BINARY);
    // A console shows UTF-8 bytes as characters only in its UTF-8 code page,
    // and only when a character's bytes come in one write: unbuffered, the C
    // library hands them over one by one. The console is the parent's too, so
    // its own page comes back at exit.
    DWORD mode;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
        consoleCodePage = GetConsoleOutputCP();
        setvbuf(stdout, consoleBuffer, _IOFBF, sizeof consoleBuffer);
        if (SetConsoleOutputCP(CP_UTF8)) atexit(restoreConsoleCodePage);
    }
}

} // namespace

struct StartupInfo {
    int newMode;
};

// MinGW's start-up code has the C library build main's arguments through
// this call; the layer builds them itself, so the stand-in answers it. The
// program's own name is split off as the C library does it: up to the
// closing quote, or up to the first blank.
extern "C" int __getmainargs(int* argc, char*** argv, char*** env, int, StartupInfo*) {
    const wchar_t* line = GetCommandLineW();
    const wchar_t* end = line;
    if (*line == L'"') {
        for (end = ++line; *end != 0 && *end != L'"'; end++) {
        }
    } else {
        while (*end != 0 && *end != L' ' && *end != L'\t')
            end++;
    }
    addArgument(line, end, L"");
    line = *end == L'"' ? end + 1 : end;
    bool quoted;
    while (splitArgument(line, quoted))
        if (quoted || wcspbrk(word, L"*?[") == nullptr || !expand()) addArgument(word, word, word);
    // The text no longer moves: the arguments can point into it.
    size_t capacity = 0;
    char** args = static_cast<char**>(grown(nullptr, capacity, argCount + 1, sizeof(char*)));
    for (size_t i = 0; i < argCount; i++)
        args[i] = text + starts[i];
    args[argCount] = nullptr;
    *argc = static_cast<int>(argCount);
    *argv = args;
    *env = _environ;
    return 0;
}
