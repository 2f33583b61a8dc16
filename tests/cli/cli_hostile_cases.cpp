// Inputs chosen to break things: names full of format characters, control
// and non-ASCII bytes, names at and past the field's length, special files,
// numbers at the edges of 32 and 64 bits, every numeric switch empty,
// malformed and huge, ten thousand arguments, start offsets at the edges of
// the file and files around the buffer lengths. Each gets its documented
// message and status, nothing more.
#include "cli_case.h"

#include <cstdio>
#include <string>

namespace {

const std::string sixteen = "0123456789abcdef";
const std::string comparingAB = "Comparing files a and b\n";
const std::string equalAB = comparingAB + "FC: no differences encountered\n\n";
const std::string constantExpected = "\nError in arguments: constant value expected.\n";
const std::string readA = "Unexpected EOF or error reading file 'a'\n";
const std::string readB = "Unexpected EOF or error reading file 'b'\n";
constexpr unsigned Posix = Native | Linux;

std::string invalid(const std::string& text) {
    return "\ninvalid constant value: '" + text + "'\n";
}

std::string nowComparing(const std::string& from1, const std::string& from2) {
    return "\nNow comparing:\n File1 ('a') from " + from1 + "\n File2 ('b') from " + from2 +
           ".\n\n";
}

std::string tooLong(int n) {
    return "\n Error in command line arguments: argument " + std::to_string(n) +
           " is too long (more than 4094 characters).\n";
}

// A relative path of exactly n characters that names the file "a".
std::string longPathToA(size_t n) {
    return "./" + std::string(n - 3, '/') + "a";
}

// Two files of n bytes that differ only in their last byte.
std::vector<CaseFile> lastByteDiffers(size_t n) {
    return {{"a", std::string(n - 1, '\0') + "x"}, {"b", std::string(n - 1, '\0') + "y"}};
}

std::string lastByteLine(size_t n) {
    char line[32];
    snprintf(line, sizeof line, "%08zX: 78 79\n", n - 1);
    return comparingAB + line + " 1 (0x1) differences encountered\n\n";
}

std::vector<std::string> manyArgs(size_t n, const std::string& filler, bool namesFirst) {
    std::vector<std::string> args(n - 2, filler);
    args.insert(namesFirst ? args.begin() : args.end(), {"a", "b"});
    return args;
}

// A folder "many" of n files; the first two differ in both their bytes, the
// rest are empty.
std::vector<CaseFile> manyFiles(size_t n) {
    std::vector<CaseFile> files{{"many", "", true}};
    char name[32];
    for (size_t i = 0; i < n; i++) {
        snprintf(name, sizeof name, "many/%05zu", i);
        files.push_back({name, i == 0 ? "ab" : i == 1 ? "cd" : ""});
    }
    return files;
}

std::string named(std::string text, const std::string& name1, const std::string& name2) {
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at))
        text.replace(at, 2, text[at + 1] == '1' ? name1 : name2);
    return text;
}

// Names beyond ASCII, each as file 1 and as file 2. The program prints what it
// was handed: the bytes given (UTF-8 here) on Linux and from the POSIX layer;
// on con32 the name in the ANSI code page (Windows-1252 under Wine), "?" for a
// character the page lacks. The CJK and the emoji name read alike there: a
// program that opened them by that form would compare one file with itself.
void addNonAsciiNameCases(std::vector<CliCase>& cases) {
    struct Name {
        std::string given, ansi;
    };
    const Name cyrillic{"\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.bin", "????.bin"};
    const Name cjk{"\xE6\x96\x87\xE4\xBB\xB6.bin", "??.bin"};
    const Name emoji{"\xF0\x9F\x98\x80.bin", "??.bin"};
    const Name accent{"caf\xC3\xA9.bin", "caf\xE9.bin"};
    struct Row {
        const char* title;
        const Name &one, &two;
        std::string bytes1, bytes2, out;
        int status;
    };
    const Row rows[] = {
        {"Cyrillic and CJK names, equal", cyrillic, cjk, sixteen, sixteen,
         "Comparing files %1 and %2\nFC: no differences encountered\n\n", 0},
        {"emoji and accented names, differing", emoji, accent, sixteen, "0123456789abcdeX",
         "Comparing files %1 and %2\n0000000F: 66 58\n 1 (0x1) differences encountered\n\n", 9},
        {"CJK and emoji names, file 2 longer", cjk, emoji, sixteen, sixteen + "!",
         "Comparing files %1 and %2\nFC: %2 longer than %1 by 1 (0x1) bytes\n\n", 2},
        {"accented and Cyrillic names, file 1 longer", accent, cyrillic, sixteen + "!", sixteen,
         "Comparing files %1 and %2\nFC: %1 longer than %2 by 1 (0x1) bytes\n\n", 1},
    };
    for (const Row& r : rows)
        for (bool ansi : {false, true})
            cases.push_back(
                {std::string(r.title) + (ansi ? " in the code page" : ""),
                 {{r.one.given, r.bytes1}, {r.two.given, r.bytes2}},
                 {r.one.given, r.two.given},
                 named(r.out, ansi ? r.one.ansi : r.one.given, ansi ? r.two.ansi : r.two.given),
                 r.status,
                 ansi ? Con32 : Posix | Posix32});
}

// Each character beyond ASCII as "?", as con32 shows a text whose characters
// its code page lacks.
std::string outsideCodePage(const std::string& text) {
    std::string shown;
    for (char c : text)
        if ((c & 0xC0) != 0x80) shown += (c & 0x80) != 0 ? '?' : c;
    return shown;
}

// Look-alikes of "-", "/" and a digit, from outside the code page, are never
// a switch marker or a digit. Where the ANSI arguments were made with best
// fit they were, on con32: a name taken for a switch, another pair compared.
void addLookAlikeCases(std::vector<CliCase>& cases) {
    const std::string hyphen = "\xEF\xBC\x8D", solidus = "\xEF\xBC\x8F", dash = "\xE2\x80\x90";
    const std::string fullwidthOne = "\xEF\xBC\x91";
    std::vector<CaseFile> files{{hyphen + "a.bin", sixteen},
                                {solidus + "x.bin", sixteen},
                                {"b.bin", sixteen + "!"},
                                {"c.bin", "0123456789abcdeX"}};
    const CliCase rows[] = {
        {"fullwidth hyphen starts file 1",
         files,
         {hyphen + "a.bin", "b.bin", "c.bin"},
         "Comparing files " + hyphen + "a.bin and b.bin\nFC: b.bin longer than " + hyphen +
             "a.bin by 1 (0x1) bytes\n\n",
         2},
        {"fullwidth solidus starts file 2",
         files,
         {"c.bin", solidus + "x.bin"},
         "Comparing files c.bin and " + solidus +
             "x.bin\n0000000F: 58 66\n 1 (0x1) differences encountered\n\n",
         9},
        {"look-alike of -n=1 between the names",
         files,
         {"b.bin", dash + "n=1", "c.bin"},
         "Can't open for read file: '" + dash + "n=1'\n",
         255},
        {"fullwidth digit in a number",
         files,
         {"-n=" + fullwidthOne, "b.bin", "c.bin"},
         invalid(fullwidthOne),
         255},
    };
    for (CliCase c : rows) {
        c.on = Posix | Posix32;
        cases.push_back(c);
        c.name += " in the code page";
        c.out = outsideCodePage(c.out);
        c.on = Con32;
        cases.push_back(c);
    }
}

// Names that Win32 would change: a trailing dot or blank dropped, a device's
// name. The POSIX layer opens them as they stand, each by pattern and by name;
// con32 keeps Windows' meaning, as cmd users expect. Where Win32 had its way
// on the layer, a file was compared with itself and found equal to another.
void addWin32MeaningCases(std::vector<CliCase>& cases) {
    const std::string fourDiffer = "00000000: 41 42\n00000001: 41 42\n00000002: 41 42\n"
                                   "00000003: 41 42\n 4 (0x4) differences encountered\n\n";
    const char* pairs[][2] = {{"report", "report."}, {"memo", "memo "}};
    for (auto& pair : pairs) {
        std::string plain = pair[0], other = pair[1];
        std::vector<CaseFile> files{{plain, "AAAA"}, {other, "BBBB"}};
        std::string out = "Comparing files " + plain + " and " + other + "\n" + fourDiffer;
        cases.push_back({plain + " and " + other + " by pattern",
                         files,
                         {plain.substr(0, 3) + "*"},
                         out,
                         9,
                         Posix32});
        cases.push_back(
            {plain + " and " + other + " by name", files, {plain, other}, out, 9, Posix | Posix32});
    }
    // A drive's "\\.\" path (Wine's Z: is the Unix root) is the layer's too,
    // however short: Win32 would drop the dot of "report." and of "sub.".
    const std::string device = "\\\\.\\Z:@DIR@\\";
    std::vector<CaseFile> reports{{"report", "AAAA"}, {"report.", "BBBB"}};
    std::string reportsOut =
        "Comparing files " + device + "report and " + device + "report.\n" + fourDiffer;
    cases.push_back({"report and report. by device path",
                     reports,
                     {device + "report", device + "report."},
                     reportsOut,
                     9,
                     Posix32});
    cases.push_back({"report and report. by device path pattern",
                     reports,
                     {device + "rep*"},
                     reportsOut,
                     9,
                     Posix32});
    cases.push_back({"folder with a trailing dot in a device path",
                     {{"sub", "", true}, {"sub.", "", true}, {"sub/x", "BBBB"}, {"sub./x", "AAAA"}},
                     {device + "sub.\\x", "sub/x"},
                     "Comparing files " + device + "sub.\\x and sub/x\n" + fourDiffer,
                     9,
                     Posix32});
    cases.push_back({"trailing dot dropped on con32",
                     {{"report", "AAAA"}, {"report.", "BBBB"}},
                     {"report", "report."},
                     "Comparing files report and report.\nFC: no differences encountered\n\n",
                     0,
                     Con32});
    cases.push_back({"file named like a device",
                     {{"nul", sixteen}, {"b", sixteen}},
                     {"nul", "b"},
                     "Comparing files nul and b\nFC: no differences encountered\n\n",
                     0,
                     Posix | Posix32});
}

} // namespace

std::vector<CliCase> hostileNameCases() {
    std::vector<CaseFile> ab{{"a", sixteen}, {"b", sixteen}};
    // A blank makes a launcher quote an argument for a Win32 program.
    std::vector<CaseFile> bins{{"a.bin", sixteen}, {"b.bin", sixteen + "!"}, {"x .bin", sixteen}};
    // Past the classic Win32 limit of 260, with a short name in a long folder.
    const std::string longFolder(200, 'd');
    const std::string longName = longFolder + "/" + std::string(100, 'f');
    std::vector<CliCase> cases{
        {"format characters in an existing name",
         {{"%s%n%x%p%%", sixteen + "x"}, {"b", sixteen}},
         {"%s%n%x%p%%", "b"},
         "Comparing files %s%n%x%p%% and b\nFC: %s%n%x%p%% longer than b by 1 (0x1) bytes\n\n",
         1},
        {"format characters in a missing name",
         ab,
         {"%n%n%n%n%s%s%s%s", "b"},
         "Can't open for read file: '%n%n%n%n%s%s%s%s'\n",
         255},
        {"format characters in a missing second name",
         ab,
         {"a", "%99999999d%ls"},
         "Can't open for read file: '%99999999d%ls'\n",
         255},
        {"non-ASCII name",
         {{"\xC3\xA9t\xC3\xA9", sixteen}, {"b", sixteen}},
         {"\xC3\xA9t\xC3\xA9", "b"},
         "Comparing files \xC3\xA9t\xC3\xA9 and b\nFC: no differences encountered\n\n",
         0,
         Posix},
        {"invalid UTF-8 name",
         ab,
         {"\xFF\xFE\x80", "b"},
         "Can't open for read file: '\xFF\xFE\x80'\n",
         255,
         Posix},
        {"control bytes in a name",
         {{"a", sixteen}, {"\x01\x1B[2J\t\r", sixteen}},
         {"a", "\x01\x1B[2J\t\r"},
         "Comparing files a and \x01\x1B[2J\t\r\nFC: no differences encountered\n\n",
         0,
         Posix},
        {"line break in a name",
         ab,
         {"x\ny", "b"},
         "Can't open for read file: 'x\ny'\n",
         255,
         Posix},
        {"both names empty", ab, {"", ""}, "Can't open for read file: ''\n", 255, Posix},
        {"empty second name", ab, {"a", ""}, "Can't open for read file: ''\n", 255, Posix},
        {"name of 4094 characters is taken whole",
         ab,
         {longPathToA(4094), "b"},
         "Comparing files " + longPathToA(4094) + " and b\nFC: no differences encountered\n\n",
         0,
         Posix},
        {"missing name of 4094 characters is reported whole",
         ab,
         {"a", std::string(4094, 'n')},
         "Can't open for read file: '" + std::string(4094, 'n') + "'\n",
         255,
         Posix},
        {"path of 4095 characters is refused",
         ab,
         {longPathToA(4095), "b"},
         tooLong(1),
         127,
         Posix},
        {"first name of 70000 format characters",
         ab,
         {std::string(70000, '%'), "b"},
         tooLong(1),
         127,
         Posix},
        {"directory as file 1", ab, {".", "b"}, "Can't open for read file: '.'\n", 255, Posix},
        {"fifo as file 1",
         {{"f", "", false, true}, {"b", sixteen}},
         {"f", "b"},
         "File1 ('f') is not a seekable file - can't measure its length\n",
         255,
         Posix},
        {"file 2 missing after a fifo as file 1 opened",
         {{"f", "", false, true}},
         {"f", "missing"},
         "Can't open for read file: 'missing'\n",
         255,
         Posix},
        {"dev null as file 1",
         ab,
         {"/dev/null", "b"},
         "File1 ('/dev/null') has length 0 - not enought bytes to compare :(\n",
         7,
         Posix},
        {"dev null as file 2",
         ab,
         {"a", "/dev/null"},
         "File2 ('/dev/null') has length 0 - not enought bytes to compare :(\n",
         8,
         Posix},
        {"dev zero measures as empty",
         ab,
         {"a", "/dev/zero"},
         "File2 ('/dev/zero') has length 0 - not enought bytes to compare :(\n",
         8,
         Posix},
        {"missing file 1 before a missing file 2",
         {},
         {"nofile1", "nofile2"},
         "Can't open for read file: 'nofile1'\n",
         255},
        {"wildcard expanded by the POSIX layer",
         bins,
         {"*.bin"},
         "Comparing files a.bin and b.bin\nFC: b.bin longer than a.bin by 1 (0x1) bytes\n\n",
         2,
         Posix32},
        {"wildcard is a name as given",
         bins,
         {"*.bin", "b.bin"},
         "Can't open for read file: '*.bin'\n",
         255,
         Posix | Con32},
        {"quoted wildcard stays as it is",
         bins,
         {"a.bin", "* .bin"},
         "Can't open for read file: '* .bin'\n",
         255},
        // Wine's drive Z: is the Unix root, where the case's folder lies.
        {"drive path of the layer",
         ab,
         {"/cygdrive/z@DIR@/a", "b"},
         "Comparing files /cygdrive/z@DIR@/a and b\nFC: no differences encountered\n\n",
         0,
         Posix32},
        {"path of the layer's own tree is refused, never taken on the current drive",
         ab,
         {"@DIR@/a", "b"},
         "Can't open for read file: '@DIR@/a'\n",
         255,
         Posix32},
        // The drive's path is read after ".." is resolved, and ".." leaves
        // /cygdrive/x for the layer's tree.
        {"drive path of the layer reached through dot-dot",
         ab,
         {"/cygdrive/q/../z@DIR@/a", "b"},
         "Comparing files /cygdrive/q/../z@DIR@/a and b\nFC: no differences encountered\n\n",
         0,
         Posix32},
        {"dot-dot out of the layer's drive path is refused",
         ab,
         {"/cygdrive/z/../..@DIR@/a", "b"},
         "Can't open for read file: '/cygdrive/z/../..@DIR@/a'\n",
         255,
         Posix32},
        {"dot-dot never leaves a share",
         ab,
         {"\\\\srv\\share\\..\\..\\..\\Z:@DIR@/a", "b"},
         "Can't open for read file: '\\\\srv\\share\\..\\..\\..\\Z:@DIR@/a'\n",
         255,
         Posix32},
        {"drive-relative name",
         ab,
         {"Z:a", "b"},
         "Comparing files Z:a and b\nFC: no differences encountered\n\n",
         0,
         Posix32},
        {"dot-relative name",
         ab,
         {"./a", "b"},
         "Comparing files ./a and b\nFC: no differences encountered\n\n",
         0},
        {"name ending in a separator is a folder",
         ab,
         {"a/", "b"},
         "Can't open for read file: 'a/'\n",
         255,
         Posix | Posix32},
        {"name over 260 characters",
         {{longFolder, "", true}, {longName, sixteen}, {"b", sixteen}},
         {longName, "b"},
         "Comparing files " + longName + " and b\nFC: no differences encountered\n\n",
         0},
    };
    addNonAsciiNameCases(cases);
    addLookAlikeCases(cases);
    addWin32MeaningCases(cases);
    return cases;
}

std::vector<CliCase> hostileNumberCases() {
    std::vector<CaseFile> aaaa{{"a", "aaaa"}, {"b", "aaaa"}};
    const std::string zero = equalAB;
    const std::string one =
        comparingAB + nowComparing("1 (0x1)", "0 (0x0)") +
        "In compared part:\n File1 ('a') from 1 (0x1) to EOF 4 (0x4)\n File2 ('b') from 0 (0x0) "
        "to 3 (0x3)\n no differences encountered in 3 (0x3) bytes compared part\n\n"
        "Note: File2 (b) has extra 1 (0x1) bytes after compared part\n";
    const std::string allOnes = comparingAB + nowComparing("-1 (0xFFFFFFFF)", "0 (0x0)") + readA;
    struct Edge {
        const char* text;
        const std::string& out;
        int status;
    };
    // -b1 tells 0, 1 and 0xFFFFFFFF apart: plain equal, compared part, and a
    // read past the end of file 1.
    const Edge edges[] = {
        {"4294967295", allOnes, 255},
        {"4294967296", zero, 0},
        {"4294967297", one, 3},
        {"18446744073709551615", allOnes, 255},
        {"18446744073709551616", zero, 0},
        {"18446744073709551617", one, 3},
        {"0xFFFFFFFF", allOnes, 255},
        {"0x100000000", zero, 0},
        {"0x100000001", one, 3},
        {"$FFFFFFFFFFFFFFFF", allOnes, 255},
        {"$10000000000000000", zero, 0},
        {"$x10000000000000001", one, 3},
        {"0000000000000000000000000000000000000001", one, 3},
    };
    std::vector<CliCase> cases;
    for (const Edge& e : edges)
        cases.push_back({std::string("b1 ") + e.text,
                         aaaa,
                         {std::string("-b1=") + e.text, "a", "b"},
                         e.out,
                         e.status});

    std::vector<CaseFile> ab{{"a", sixteen}, {"b", sixteen}};
    for (const char* sw : {"-b1", "-b2", "-l1", "-l2", "-n"}) {
        std::string s = sw;
        const char* separators[][2] = {
            {"", "bare"}, {":", "colon"}, {"=", "equals"}, {":=", "both"}};
        for (auto& sep : separators)
            cases.push_back(
                {s + " empty, " + sep[1], ab, {s + sep[0], "a", "b"}, constantExpected, 255});
        int k = 0;
        for (const char* bad : {"+5", "5-", "0x1g", "$$1", "0X1", "1 ", "1e3", "0x-1", "=1", "::1"})
            cases.push_back({s + " malformed " + std::to_string(++k),
                             ab,
                             {s + "=" + bad, "a", "b"},
                             invalid(bad),
                             255});
        std::string hugeBad = std::string(5000, '9') + "x";
        cases.push_back(
            {s + " huge malformed", ab, {s + hugeBad, "a", "b"}, invalid(hugeBad), 255});
        cases.push_back({s + " non-ASCII digit",
                         ab,
                         {s + "=\xD9\xA1", "a", "b"},
                         invalid("\xD9\xA1"),
                         255,
                         Posix});
    }
    // Huge values that are well formed: the sizes clamp, -n 2^32 + 1 reads 1.
    std::vector<CaseFile> differ{{"a", sixteen}, {"b", "0123456789abcdeX"}};
    cases.insert(
        cases.end(),
        {
            {"sizes clamp", ab, {"-l1=0xFFFFFFFF", "-l2=$FFFFFFFFFFFF", "a", "b"}, equalAB, 0},
            {"l2 of zero and l1 of zero", ab, {"-l1=0", "-l2=0", "a", "b"}, equalAB, 0},
            {"n of 5000 digits reads 1",
             differ,
             {"-n=" + std::string(5000, '0') + "1", "a", "b"},
             comparingAB + "0000000F: 66 58\nToo many diffrent bytes - stopping comparition, "
                           "exiting.\n",
             5},
            {"n of 2^64 means no limit",
             differ,
             {"-n18446744073709551616", "a", "b"},
             comparingAB + "0000000F: 66 58\n 1 (0x1) differences encountered\n\n",
             9},
            {"huge decimal value of 100000 digits",
             ab,
             {"-n=" + std::string(100000, '7'), "a", "b"},
             equalAB,
             0,
             Posix},
            {"flag with a value", ab, {"-s=junk", "-S:=", "a", "b"}, equalAB, 0},
            {"help with a value", ab, {"a", "b", "-h=$FFFFFFFF"}, "@USAGE@", 127},
        });
    return cases;
}

std::vector<CliCase> hostileRunCases() {
    std::vector<CaseFile> ab{{"a", sixteen}, {"b", sixteen}};
    std::vector<CliCase> cases{
        {"expansion past 32768 names keeps the switch behind it",
         manyFiles(33000),
         {"many/*", "-n=1"},
         "Comparing files many/00000 and many/00001\n00000000: 61 63\nToo many diffrent bytes - "
         "stopping comparition, exiting.\n",
         5,
         Posix32},
        {"10000 unknown switches", ab, manyArgs(10000, "-x", false), equalAB, 0, Posix},
        {"10000 arguments after the names", ab, manyArgs(10000, "c", true), equalAB, 0, Posix},
        {"10000 bad values, the first reported", ab, manyArgs(10000, "-n=bad", true),
         invalid("bad"), 255, Posix},
        {"explicit start offsets of 0", ab, {"-b1=0", "-b2=0", "a", "b"}, equalAB, 0},
        {"both start offsets at the end",
         ab,
         {"-b1=16", "-b2=16", "a", "b"},
         comparingAB + nowComparing("16 (0x10)", "16 (0x10)") + readA,
         255},
        {"start offset of file 1 at the end",
         ab,
         {"-b1=16", "a", "b"},
         comparingAB + nowComparing("16 (0x10)", "0 (0x0)") + readA,
         255},
        {"start offset of file 2 one past the end",
         ab,
         {"-b2=17", "a", "b"},
         comparingAB + nowComparing("0 (0x0)", "17 (0x11)") + readB,
         255},
        {"-s with a start offset at the end", ab, {"-s", "-b1=16", "a", "b"}, readA, 255},
        {"-s with a start offset one past the end", ab, {"-s", "-b2=17", "a", "b"}, readB, 255},
        {"-s with one byte left behind the start offset",
         ab,
         {"-s", "-b1=15", "a", "b"},
         comparingAB + nowComparing("15 (0xF)", "0 (0x0)") +
             "0000000F: 66 30 :00000000\nIn compared part:\n File1 ('a') from 15 (0xF) to EOF 16 "
             "(0x10)\n File2 ('b') from 0 (0x0) to 1 (0x1)\n 1 (0x1) differences encountered in 1 "
             "(0x1) bytes compared part\n\nNote: File2 (b) has extra 15 (0xF) bytes after "
             "compared part\n",
         4},
        {"files of one byte",
         {{"a", "A"}, {"b", "B"}},
         {"a", "b"},
         comparingAB + "00000000: 41 42\n 1 (0x1) differences encountered\n\n",
         9},
        {"one byte against none",
         {{"a", "A"}, {"b", ""}},
         {"a", "b"},
         "File2 ('b') has length 0 - not enought bytes to compare :(\n",
         8},
        {"-s on files of three bytes finds no shift",
         {{"a", "abc"}, {"b", "xab"}},
         {"-s", "a", "b"},
         comparingAB + "00000000: 61 78\n00000001: 62 61\n00000002: 63 62\n 3 (0x3) differences "
                       "encountered\n\n",
         9},
        {"-s on files of four bytes advances file 1",
         {{"a", "xabc"}, {"b", "abcd"}},
         {"-s", "a", "b"},
         comparingAB + nowComparing("1 (0x1)", "0 (0x0)") +
             "In compared part:\n File1 ('a') from 1 (0x1) to EOF 4 (0x4)\n File2 ('b') from 0 "
             "(0x0) to 3 (0x3)\n no differences encountered in 3 (0x3) bytes compared part\n\n"
             "Note: File2 (b) has extra 1 (0x1) bytes after compared part\n",
         3},
        {"-s on files of four bytes advances file 2",
         {{"a", "abcd"}, {"b", "xabc"}},
         {"-s", "a", "b"},
         comparingAB + nowComparing("0 (0x0)", "1 (0x1)") +
             "In compared part:\n File1 ('a') from 0 (0x0) to 3 (0x3)\n File2 ('b') from 1 (0x1) "
             "to EOF 4 (0x4)\n no differences encountered in 3 (0x3) bytes compared part\n\n"
             "Note: File1 (a) has extra 1 (0x1) bytes after compared part\n",
         3},
        {"buffers of one byte", ab, {"-l1=1", "-l2=1", "a", "b"}, equalAB, 0},
    };
    // Around the lengths of small buffers and of the default ones.
    for (size_t n : {15u, 16u, 17u})
        cases.push_back({"file of " + std::to_string(n) + " bytes with 16-byte buffers",
                         lastByteDiffers(n),
                         {"-l1=16", "-l2=16", "a", "b"},
                         lastByteLine(n),
                         9});
    for (size_t n : {0xFFFFFu, 0x100000u, 0x100001u, 0x3FFFFFu, 0x400000u, 0x400001u})
        cases.push_back({"file of " + std::to_string(n) + " bytes",
                         lastByteDiffers(n),
                         {"a", "b"},
                         lastByteLine(n),
                         9});
    return cases;
}
