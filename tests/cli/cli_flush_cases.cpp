// The order of everything printed when many difference lines (more than the
// program's 64 KiB line buffer) come before the -n stop line, the summary or
// the end trace: the lines are buffered apart from the other texts, so every
// text must still come out right behind them.
#include "cli_case.h"

#include <cstdio>
#include <string>

namespace {

// File 2 differs from file 1 in every byte.
std::string pattern(size_t n, unsigned salt) {
    std::string s;
    for (size_t i = 0; i < n; i++)
        s += static_cast<char>((i * 7 + salt) & 0xFF);
    return s;
}

// The expected difference lines for count bytes from the given offsets.
std::string lines(const std::string& a, const std::string& b, size_t from1, size_t from2,
                  size_t count) {
    std::string out;
    char line[40];
    for (size_t k = 0; k < count; k++) {
        auto b1 = static_cast<unsigned char>(a[from1 + k]);
        auto b2 = static_cast<unsigned char>(b[from2 + k]);
        if (from1 == from2)
            snprintf(line, sizeof line, "%08zX: %02X %02X\n", from1 + k, b1 + 0u, b2 + 0u);
        else
            snprintf(line, sizeof line, "%08zX: %02X %02X :%08zX\n", from1 + k, b1 + 0u, b2 + 0u,
                     from2 + k);
        out += line;
    }
    return out;
}

const std::string comparing = "Comparing files a and b\n";
const std::string stop = "Too many diffrent bytes - stopping comparition, exiting.\n";

} // namespace

std::vector<CliCase> flushCases() {
    const size_t n = 6000; // 96000 bytes of short lines, 156000 of long ones
    std::string a = pattern(n, 1), b = pattern(n, 0x81);
    std::vector<CaseFile> ab{{"a", a}, {"b", b}};
    return {
        {"stop line right after more than 64 KiB of lines",
         ab,
         {"-n5000", "a", "b"},
         comparing + lines(a, b, 0, 0, 5000) + stop,
         5},
        {"stop line after long lines across many small blocks",
         ab,
         {"-n4500", "-b1=3", "-l1=0x400", "-l2=0x100", "a", "b"},
         comparing + "\nNow comparing:\n File1 ('a') from 3 (0x3)\n File2 ('b') from 0 (0x0).\n\n" +
             lines(a, b, 3, 0, 4500) + stop,
         5},
        {"summary right after more than 64 KiB of lines",
         ab,
         {"a", "b"},
         comparing + lines(a, b, 0, 0, n) + " 6000 (0x1770) differences encountered\n\n",
         9},
        {"end trace right after more than 64 KiB of lines",
         ab,
         {"-v", "a", "b"},
         "accept CmdLn argument 1: str \"a\"\naccept CmdLn argument 2: str \"b\"\n"
         "absent CmdLn switch -b1: using default: val 0 (0x0) parsed \"0\"\n"
         "absent CmdLn switch -b2: using default: val 0 (0x0) parsed \"0\"\n"
         "absent CmdLn switch -l1: using default: val 4194304 (0x400000) parsed \"4194304\"\n"
         "absent CmdLn switch -l2: using default: val 1048576 (0x100000) parsed \"1048576\"\n"
         "absent CmdLn switch -n: using default: val -1 (0xFFFFFFFF) parsed \"0xffffffff\"\n"
         "Using bufSize_1=0x400000 bufSize_2=0x100000\n"
         "File1 ('a') length = 6000 (0x1770) bytes\nFile2 ('b') length = 6000 (0x1770) bytes\n" +
             comparing +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n" +
             lines(a, b, 0, 0, n) +
             "End comparing: File1 ('a') at 0x1770 and File2 ('b') at 0x1770\n"
             " 6000 (0x1770) differences encountered\n\n",
         9},
    };
}
