#include "cli_case.h"

#include <cstdio>
#include <string>

namespace {

const std::string sixteen = "0123456789abcdef";

std::string with(std::string s, size_t at, char c) {
    s.replace(at, 1, 1, c);
    return s;
}

std::string bytesFrom(int first, int count) {
    std::string s;
    for (int i = 0; i < count; i++)
        s += static_cast<char>(first + i);
    return s;
}

const std::string comparingAB = "Comparing files a and b\n";

// n bytes that repeat only every 251: a buffer read in the wrong place, or
// overwritten by the other file's bytes, shows as differences.
std::string cycle251(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; i++)
        s[i] = static_cast<char>(i % 251);
    return s;
}

// The lines of "0123456789" at offset from1 of file 1 against "ABCDEFGHIJ" at
// offset 0 of file 2.
std::string tenDiffs(int from1) {
    std::string lines;
    char line[32];
    for (int i = 0; i < 10; i++) {
        snprintf(line, sizeof line, from1 == 0 ? "%08X: %02X %02X\n" : "%08X: %02X %02X :%08X\n",
                 from1 + i, '0' + i, 'A' + i, i);
        lines += line;
    }
    return lines;
}

// The lines of n bytes 'a' from offset 1 of file 1 against n bytes 'b' from
// offset 0 of file 2.
std::string longLines(uint32_t n) {
    std::string lines;
    char line[32];
    for (uint32_t i = 0; i < n; i++) {
        snprintf(line, sizeof line, "%08X: 61 62 :%08X\n", i + 1, i);
        lines += line;
    }
    return lines;
}

// The verbose trace of the lookups when only the two names and -v are given.
std::string defaultTrace(const std::string& extra = "") {
    return "accept CmdLn argument 1: str \"a\"\n"
           "accept CmdLn argument 2: str \"b\"\n"
           "absent CmdLn switch -b1: using default: val 0 (0x0) parsed \"0\"\n"
           "absent CmdLn switch -b2: using default: val 0 (0x0) parsed \"0\"\n"
           "absent CmdLn switch -l1: using default: val 4194304 (0x400000) parsed \"4194304\"\n"
           "absent CmdLn switch -l2: using default: val 1048576 (0x100000) parsed \"1048576\"\n"
           "absent CmdLn switch -n: using default: val -1 (0xFFFFFFFF) parsed \"0xffffffff\"\n" +
           extra + "Using bufSize_1=0x400000 bufSize_2=0x100000\n";
}

} // namespace

std::vector<CliCase> commandLineCases() {
    std::vector<CaseFile> ab{{"a", sixteen}, {"b", sixteen}};
    const std::string equal = comparingAB + "FC: no differences encountered\n\n";
    return {
        {"no arguments names 1",
         {},
         {},
         "\n Error in command line arguments: must be defined argunment 1.\n@USAGE@",
         127},
        {"one name names 2",
         ab,
         {"a"},
         "\n Error in command line arguments: must be defined argunment 2.\n@USAGE@",
         127},
        {"missing name with -v traces the absent piece first",
         ab,
         {"-v", "a"},
         "accept CmdLn argument 1: str \"a\"\nabsent CmdLn argument 2\n Error in command line "
         "arguments: must be defined argunment 2.\n@USAGE@",
         127},
        {"help alone", {}, {"-?"}, "@USAGE@", 127},
        {"help h with names", ab, {"a", "b", "-h"}, "@USAGE@", 127},
        {"help H", ab, {"-H"}, "@USAGE@", 127},
        {"help by prefix", ab, {"-help"}, "@USAGE@", 127},
        {"third name and unknown switch are ignored", ab, {"a", "b", "c", "-x"}, equal, 0},
        {"lone dash is a switch that matches nothing", ab, {"-", "a", "b"}, equal, 0},
        {"switches between names",
         ab,
         {"-b1", "0", "a", "-n5", "b"},
         "\nError in arguments: constant value expected.\n",
         255},
        {"value must be attached",
         ab,
         {"-l1", "100", "a", "b"},
         "\nError in arguments: constant value expected.\n",
         255},
        {"negative number is not a constant",
         ab,
         {"-n-1", "a", "b"},
         "\ninvalid constant value: '-1'\n",
         255},
        {"suffix after digits", ab, {"-n12k", "a", "b"}, "\ninvalid constant value: '12k'\n", 255},
        {"upper-case X is no prefix",
         ab,
         {"-b10X10", "a", "b"},
         "\ninvalid constant value: '0X10'\n",
         255},
        {"equals then colon", ab, {"-b1=:5", "a", "b"}, "\ninvalid constant value: ':5'\n", 255},
        {"blank is not accepted", ab, {"-n 5", "a", "b"}, "\ninvalid constant value: ' 5'\n", 255},
        {"bad number reported in lookup order",
         ab,
         {"-nq", "-b2r", "a", "b"},
         "\ninvalid constant value: 'r'\n",
         255},
        {"first occurrence wins",
         {{"a", sixteen + sixteen}, {"b", sixteen}},
         {"-b1$10", "-b1$20", "-b2=0", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 16 (0x10)\n File2 ('b') from 0 (0x0).\n\n"
             "In compared part:\n File1 ('a') from 16 (0x10) to EOF 32 (0x20)\n File2 ('b') from 0 "
             "(0x0) to EOF 16 (0x10)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"all separator forms",
         {{"a", sixteen + sixteen}, {"b", sixteen + sixteen}},
         {"-v", "-b1:=$10", "-b2:0x10", "-l1=32", "-l2:=0x10", "-n:$x1F", "a", "b"},
         "accept CmdLn argument 1: str \"a\"\n"
         "accept CmdLn argument 2: str \"b\"\n"
         "accept CmdLn switch -b1: val 16 (0x10) parsed \"$10\"\n"
         "accept CmdLn switch -b2: val 16 (0x10) parsed \"0x10\"\n"
         "accept CmdLn switch -l1: val 32 (0x20) parsed \"32\"\n"
         "accept CmdLn switch -l2: val 16 (0x10) parsed \"0x10\"\n"
         "accept CmdLn switch -n: val 31 (0x1F) parsed \"$x1F\"\n"
         "Using bufSize_1=0x20 bufSize_2=0x10\n"
         "File1 ('a') length = 32 (0x20) bytes\nFile2 ('b') length = 32 (0x20) bytes\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 16 (0x10)\n File2 ('b') from 16 (0x10).\n\n"
             "End comparing: File1 ('a') at 0x20 and File2 ('b') at 0x20\n"
             "In compared part:\n File1 ('a') from 16 (0x10) to EOF 32 (0x20)\n File2 ('b') from "
             "16 (0x10) to EOF 32 (0x20)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"prefix value b10x10",
         {{"a", sixteen + sixteen}, {"b", sixteen}},
         {"-b10x10", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 16 (0x10)\n File2 ('b') from 0 (0x0).\n\n"
             "In compared part:\n File1 ('a') from 16 (0x10) to EOF 32 (0x20)\n File2 ('b') from 0 "
             "(0x0) to EOF 16 (0x10)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"verbose run of equal files",
         ab,
         {"a", "-v", "b"},
         defaultTrace() +
             "File1 ('a') length = 16 (0x10) bytes\nFile2 ('b') length = 16 (0x10) bytes\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x10 and File2 ('b') at 0x10\nFC: no differences "
             "encountered\n\n",
         0},
        {"verbose by prefix and -V traced only after -v",
         ab,
         {"-verbose", "-V", "-S", "a", "b", "-h0"},
         "accept CmdLn switch -V\naccept CmdLn switch -h\n@USAGE@",
         127},
        {"double dash matches nothing", ab, {"--v", "a", "b"}, equal, 0},
        {"flag ignores what follows its key",
         ab,
         {"-vx", "-sq", "a", "b"},
         defaultTrace("accept CmdLn switch -s\n") +
             "File1 ('a') length = 16 (0x10) bytes\nFile2 ('b') length = 16 (0x10) bytes\n"
             "optionSyncBegSeq - proc\nNo different bytes found in first 16 bytes\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x10 and File2 ('b') at 0x10\nFC: no differences "
             "encountered\n\n",
         0},
        {"hex prefix alone reads 0", ab, {"-b1$", "-b20x", "a", "b"}, equal, 0},
        {"decimal wraps at 2^32", ab, {"-b14294967296", "a", "b"}, equal, 0},
        {"hex keeps the last eight digits",
         ab,
         {"-b10x100000000", "-b2$FFFFFFFF00000000", "a", "b"},
         equal,
         0},
        {"empty argument is a name", ab, {"", "b"}, "Can't open for read file: ''\n", 255},
        {"switch without marker is a name",
         ab,
         {"b1=5", "b"},
         "Can't open for read file: 'b1=5'\n",
         255},
        {"slash entry is a name",
         ab,
         {"/v", "b"},
         "Can't open for read file: '/v'\n",
         255,
         Native | Linux | Posix32},
        {"slash help is a name",
         ab,
         {"/?", "a"},
         "Can't open for read file: '/?'\n",
         255,
         Native | Linux | Posix32},
        {"slash marks a switch on con32", ab, {"/?", "a"}, "@USAGE@", 127, Con32},
        {"slash verbose on con32",
         ab,
         {"a", "/v", "b", "/n=0"},
         "accept CmdLn argument 1: str \"a\"\n"
         "accept CmdLn argument 2: str \"b\"\n"
         "absent CmdLn switch -b1: using default: val 0 (0x0) parsed \"0\"\n"
         "absent CmdLn switch -b2: using default: val 0 (0x0) parsed \"0\"\n"
         "absent CmdLn switch -l1: using default: val 4194304 (0x400000) parsed \"4194304\"\n"
         "absent CmdLn switch -l2: using default: val 1048576 (0x100000) parsed \"1048576\"\n"
         "accept CmdLn switch -n: val 0 (0x0) parsed \"0\"\n"
         "Using bufSize_1=0x400000 bufSize_2=0x100000\n"
         "File1 ('a') length = 16 (0x10) bytes\nFile2 ('b') length = 16 (0x10) bytes\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x10 and File2 ('b') at 0x10\nFC: no differences "
             "encountered\n\n",
         0,
         Con32},
        {"name of 4095 characters is refused",
         ab,
         {std::string(4095, 'n'), "b"},
         "\n Error in command line arguments: argument 1 is too long (more than 4094 "
         "characters).\n",
         127},
        // A Win32 command line carries at most 32767 characters in all.
        {"second name too long",
         ab,
         {"a", std::string(70000, 'n')},
         "\n Error in command line arguments: argument 2 is too long (more than 4094 "
         "characters).\n",
         127,
         Native | Linux},
        {"second name as long as a Win32 command line allows",
         ab,
         {"a", std::string(32000, 'n')},
         "\n Error in command line arguments: argument 2 is too long (more than 4094 "
         "characters).\n",
         127},
    };
}

std::vector<CliCase> driverCases() {
    std::vector<CaseFile> ab{{"a", sixteen}, {"b", sixteen}};
    const std::string lengths16 =
        "File1 ('a') length = 16 (0x10) bytes\nFile2 ('b') length = 16 (0x10) bytes\n";
    const std::string zeros5M(0x500000, '\0'), zeros3M(0x300000, '\0');
    return {
        {"both missing reports file 1", {}, {"a", "b"}, "Can't open for read file: 'a'\n", 255},
        {"file 2 missing", {{"a", sixteen}}, {"a", "b"}, "Can't open for read file: 'b'\n", 255},
        {"directory can't be opened",
         {{"a", sixteen}, {"d", "", true}},
         {"a", "d"},
         "Can't open for read file: 'd'\n",
         255},
        {"fifo is not seekable",
         {{"a", sixteen}, {"f", "", false, true}},
         {"a", "f"},
         "File2 ('f') is not a seekable file - can't measure its length\n",
         255,
         Native | Linux},
        {"empty file 1 with -v",
         {{"a", ""}, {"b", ""}},
         {"-v", "a", "b"},
         defaultTrace() + "File1 ('a') length = 0 (0x0) bytes\nFile2 ('b') length = 0 (0x0) bytes\n"
                          "File1 ('a') has length 0 - not enought bytes to compare :(\n",
         7},
        {"empty file 2",
         {{"a", sixteen}, {"b", ""}},
         {"a", "b"},
         "File2 ('b') has length 0 - not enought bytes to compare :(\n",
         8},
        {"start offset past the end of file 1",
         ab,
         {"-b1=17", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 17 (0x11)\n File2 ('b') from 0 (0x0).\n\n"
             "Unexpected EOF or error reading file 'a'\n",
         255},
        {"start offset at the end of file 2 fails reading file 1",
         {{"a", sixteen + "x"}, {"b", sixteen}},
         {"-b2=16", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 16 (0x10).\n\n"
             "Unexpected EOF or error reading file 'a'\n",
         255},
        {"start offset 0xFFFFFFFF",
         ab,
         {"-b2=$FFFFFFFF", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from -1 (0xFFFFFFFF).\n\n"
             "Unexpected EOF or error reading file 'b'\n",
         255},
        {"l1 between two and three l2",
         ab,
         {"-v", "-l1=0x250000", "a", "b"},
         "accept CmdLn argument 1: str \"a\"\naccept CmdLn argument 2: str \"b\"\n"
         "absent CmdLn switch -b1: using default: val 0 (0x0) parsed \"0\"\n"
         "absent CmdLn switch -b2: using default: val 0 (0x0) parsed \"0\"\n"
         "accept CmdLn switch -l1: val 2424832 (0x250000) parsed \"0x250000\"\n"
         "absent CmdLn switch -l2: using default: val 1048576 (0x100000) parsed \"1048576\"\n"
         "absent CmdLn switch -n: using default: val -1 (0xFFFFFFFF) parsed \"0xffffffff\"\n"
         "Using bufSize_1=0x200000 bufSize_2=0x100000\n" +
             lengths16 + comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x10 and File2 ('b') at 0x10\nFC: no differences "
             "encountered\n\n",
         0},
        // Sizes beyond a buffer's room are cut down to it: more would run file
        // 1 into file 2's buffer, or file 2 behind the run record.
        {"l1 beyond the room of its buffer",
         {{"a", zeros5M}, {"b", with(with(zeros5M, 0x100, 1), 0x480000, 2)}},
         {"-l1=0x800000", "a", "b"},
         comparingAB + "00000100: 00 01\n00480000: 00 02\n 2 (0x2) differences encountered\n\n",
         9},
        {"l2 beyond the room of its buffer",
         {{"a", zeros3M}, {"b", with(with(zeros3M, 0x100, 1), 0x280000, 2)}},
         {"-l2=0x200000", "a", "b"},
         comparingAB + "00000100: 00 01\n00280000: 00 02\n 2 (0x2) differences encountered\n\n",
         9},
        // A buffer-full that doesn't divide the buffer's room: file 1 goes in
        // whole buffer-fulls, never past that room into file 2's buffer.
        {"l1 that fits its buffer once",
         {{"a", cycle251(0x500000)}},
         {"-l1=0x300000", "a", "a"},
         "Comparing files a and a\nFC: no differences encountered\n\n",
         0},
        // A read placed at its file offset's place in the cache line ends
        // up to 63 bytes behind the buffer's room, in the spare bytes kept
        // for it.
        {"start offset 63 reads into the spare bytes",
         {{"a", cycle251(63) + cycle251(0x500000)}, {"b", cycle251(0x500000)}},
         {"-b1=63", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 63 (0x3F)\n File2 ('b') from 0 (0x0).\n\n"
             "In compared part:\n File1 ('a') from 63 (0x3F) to EOF 5242943 (0x50003F)\n"
             " File2 ('b') from 0 (0x0) to EOF 5242880 (0x500000)\n"
             " no differences encountered in 5242880 (0x500000) bytes compared part\n\n",
         3},
        // Lengths past 31 bits need the C library's 64-bit seek and tell: a
        // 32-bit tell fails on these or wraps 4 GiB + 16 round to 16.
        {"file 1 of 2 GiB is too large",
         {sparseFile("a", UINT64_C(0x80000000)), {"b", sixteen}},
         {"a", "b"},
         "File1 ('a') is too large - only files below 2 GiB can be compared\n",
         255},
        {"file 2 of 4 GiB and 16 bytes is too large, not wrapped",
         {{"a", sixteen}, sparseFile("b", UINT64_C(0x100000010), sixteen)},
         {"a", "b"},
         "File2 ('b') is too large - only files below 2 GiB can be compared\n",
         255},
        {"files one byte below 2 GiB compare at their ends",
         {sparseFile("a", 0x7FFFFFFF, "x"), sparseFile("b", 0x7FFFFFFF, "y")},
         {"-b1=$7FFFFFF0", "-b2=$7FFFFFF0", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 2147483632 (0x7FFFFFF0)\n File2 ('b') from "
             "2147483632 (0x7FFFFFF0).\n\n"
             "7FFFFFFE: 78 79\n"
             "In compared part:\n File1 ('a') from 2147483632 (0x7FFFFFF0) to EOF 2147483647 "
             "(0x7FFFFFFF)\n File2 ('b') from 2147483632 (0x7FFFFFF0) to EOF 2147483647 "
             "(0x7FFFFFFF)\n"
             " 1 (0x1) differences encountered in 15 (0xF) bytes compared part\n\n",
         4},
    };
}

std::vector<CliCase> differenceCases() {
    std::string a = sixteen + sixteen, b = with(with(with(a, 1, 'X'), 17, 'Y'), 31, 'Z');
    std::vector<CaseFile> three{{"a", a}, {"b", b}};
    return {
        {"short form",
         three,
         {"a", "b"},
         comparingAB + "00000001: 31 58\n00000011: 31 59\n0000001F: 66 5A\n 3 (0x3) differences "
                       "encountered\n\n",
         9},
        {"limit of one",
         three,
         {"-n1", "a", "b"},
         comparingAB +
             "00000001: 31 58\nToo many diffrent bytes - stopping comparition, exiting.\n",
         5},
        {"limit equal to the count stops instead of the summary",
         three,
         {"-n3", "a", "b"},
         comparingAB + "00000001: 31 58\n00000011: 31 59\n0000001F: 66 5A\n"
                       "Too many diffrent bytes - stopping comparition, exiting.\n",
         5},
        {"limit counts across blocks",
         three,
         {"-n3", "-l1=8", "-l2=4", "a", "b"},
         comparingAB + "00000001: 31 58\n00000011: 31 59\n0000001F: 66 5A\n"
                       "Too many diffrent bytes - stopping comparition, exiting.\n",
         5},
        {"limit 0 means none",
         three,
         {"-n0", "a", "b"},
         comparingAB + "00000001: 31 58\n00000011: 31 59\n0000001F: 66 5A\n 3 (0x3) differences "
                       "encountered\n\n",
         9},
        {"long form with different offsets",
         {{"a", "xxxx" + sixteen}, {"b", with(sixteen, 2, '!')}},
         {"-b1=4", "-b2=0", "a", "b"},
         comparingAB + "\nNow comparing:\n File1 ('a') from 4 (0x4)\n File2 ('b') from 0 (0x0).\n\n"
                       "00000006: 32 21 :00000002\n"
                       "In compared part:\n File1 ('a') from 4 (0x4) to EOF 20 (0x14)\n File2 "
                       "('b') from 0 (0x0) to EOF 16 (0x10)\n"
                       " 1 (0x1) differences encountered in 16 (0x10) bytes compared part\n\n",
         4},
        {"short form with equal offsets prints file offsets",
         three,
         {"-b1=8", "-b2=8", "a", "b"},
         comparingAB + "\nNow comparing:\n File1 ('a') from 8 (0x8)\n File2 ('b') from 8 (0x8).\n\n"
                       "00000011: 31 59\n0000001F: 66 5A\n"
                       "In compared part:\n File1 ('a') from 8 (0x8) to EOF 32 (0x20)\n File2 "
                       "('b') from 8 (0x8) to EOF 32 (0x20)\n"
                       " 2 (0x2) differences encountered in 24 (0x18) bytes compared part\n\n",
         4},
        {"high bytes print unsigned",
         {{"a", bytesFrom(0x7E, 4)}, {"b", bytesFrom(0xFE, 2) + "\x81\x80"}},
         {"a", "b"},
         comparingAB + "00000000: 7E FE\n00000001: 7F FF\n00000002: 80 81\n00000003: 81 80\n"
                       " 4 (0x4) differences encountered\n\n",
         9},
        {"small buffers, many blocks",
         {{"a", bytesFrom(0, 50)}, {"b", with(with(bytesFrom(0, 50), 15, 0), 49, 0)}},
         {"-l1=0x20", "-l2=0x10", "a", "b"},
         comparingAB + "0000000F: 0F 00\n00000031: 31 00\n 2 (0x2) differences encountered\n\n",
         9},
        // Long lines, many times the line buffer: every one needs the room
        // of the longest line.
        {"200000 long-form lines",
         {{"a", "." + std::string(200000, 'a')}, {"b", std::string(200000, 'b')}},
         {"-b1=1", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 1 (0x1)\n File2 ('b') from 0 (0x0).\n\n" +
             longLines(200000) +
             "In compared part:\n File1 ('a') from 1 (0x1) to EOF 200001 (0x30D41)\n"
             " File2 ('b') from 0 (0x0) to EOF 200000 (0x30D40)\n"
             " 200000 (0x30D40) differences encountered in 200000 (0x30D40) bytes compared "
             "part\n\n",
         4},
        {"l2 zero is raised to one",
         three,
         {"-l2=0", "-l1=3", "a", "b"},
         comparingAB + "00000001: 31 58\n00000011: 31 59\n0000001F: 66 5A\n 3 (0x3) differences "
                       "encountered\n\n",
         9},
    };
}

std::vector<CliCase> summaryCases() {
    return {
        {"identical files",
         {{"a", sixteen}, {"b", sixteen}},
         {"a", "b"},
         comparingAB + "FC: no differences encountered\n\n",
         0},
        {"file 2 longer by 16",
         {{"a", sixteen}, {"b", sixteen + sixteen}},
         {"a", "b"},
         comparingAB + "FC: b longer than a by 16 (0x10) bytes\n\n",
         2},
        {"file 1 longer by 1",
         {{"a", sixteen + "!"}, {"b", sixteen}},
         {"a", "b"},
         comparingAB + "FC: a longer than b by 1 (0x1) bytes\n\n",
         1},
        {"file 2 longer by 10 in upper-case hex",
         {{"a", sixteen}, {"b", sixteen + bytesFrom('0', 10)}},
         {"a", "b"},
         comparingAB + "FC: b longer than a by 10 (0xA) bytes\n\n",
         2},
        {"ten differences in upper-case hex",
         {{"a", bytesFrom('0', 10)}, {"b", bytesFrom('A', 10)}},
         {"a", "b"},
         comparingAB + tenDiffs(0) + " 10 (0xA) differences encountered\n\n",
         9},
        {"differences hide a length difference",
         {{"a", with(sixteen, 0, '#')}, {"b", sixteen + "tail"}},
         {"a", "b"},
         comparingAB + "00000000: 23 30\n 1 (0x1) differences encountered\n\n",
         9},
        {"explicit zero offset gives the plain form",
         {{"a", sixteen}, {"b", sixteen}},
         {"-b1=0", "a", "b"},
         comparingAB + "FC: no differences encountered\n\n",
         0},
        {"offset 10 into 100 against 90",
         {{"a", bytesFrom(0, 100)}, {"b", bytesFrom(10, 90)}},
         {"-b1=10", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 10 (0xA)\n File2 ('b') from 0 (0x0).\n\n"
             "In compared part:\n File1 ('a') from 10 (0xA) to EOF 100 (0x64)\n File2 ('b') from 0 "
             "(0x0) to EOF 90 (0x5A)\n"
             " no differences encountered in 90 (0x5A) bytes compared part\n\n",
         3},
        {"offset 50 into 200 against 100",
         {{"a", bytesFrom(50, 100)}, {"b", bytesFrom(0, 200)}},
         {"-b2=50", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 50 (0x32).\n\n"
             "In compared part:\n File1 ('a') from 0 (0x0) to EOF 100 (0x64)\n File2 ('b') from 50 "
             "(0x32) to 150 (0x96)\n"
             " no differences encountered in 100 (0x64) bytes compared part\n\n"
             "Note: File2 (b) has extra 50 (0x32) bytes after compared part\n",
         3},
        {"note for file 1",
         {{"a", bytesFrom(0, 40)}, {"b", with(bytesFrom(4, 20), 0, 'q')}},
         {"-b1=4", "a", "b"},
         comparingAB + "\nNow comparing:\n File1 ('a') from 4 (0x4)\n File2 ('b') from 0 (0x0).\n\n"
                       "00000004: 04 71 :00000000\n"
                       "In compared part:\n File1 ('a') from 4 (0x4) to 24 (0x18)\n File2 ('b') "
                       "from 0 (0x0) to EOF 20 (0x14)\n"
                       " 1 (0x1) differences encountered in 20 (0x14) bytes compared part\n\n"
                       "Note: File1 (a) has extra 16 (0x10) bytes after compared part\n",
         4},
        {"ten differences in ten bytes compared part in upper-case hex",
         {{"a", "x" + bytesFrom('0', 10)}, {"b", bytesFrom('A', 10)}},
         {"-b1=1", "a", "b"},
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 1 (0x1)\n File2 ('b') from 0 (0x0).\n\n" +
             tenDiffs(1) +
             "In compared part:\n File1 ('a') from 1 (0x1) to EOF 11 (0xB)\n File2 ('b') from 0 "
             "(0x0) to EOF 10 (0xA)\n"
             " 10 (0xA) differences encountered in 10 (0xA) bytes compared part\n\n",
         4},
    };
}
