// -s: the search, the shifted start, the refill and the runs that follow it.
#include "cli_case.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Up to 40 distinct bytes from 0x61 on, none of them a digit, "." or one of "PQXYZ",
// so that junk put in front never lines up by accident.
std::string content(int count) {
    std::string s;
    for (int i = 0; i < count; i++)
        s += static_cast<char>(0x61 + i);
    return s;
}

std::string with(std::string s, size_t at, char c) {
    s.replace(at, 1, 1, c);
    return s;
}

std::string repeat(const std::string& unit, int times) {
    std::string s;
    for (int i = 0; i < times; i++)
        s += unit;
    return s;
}

std::string hex(unsigned long v) {
    char text[16];
    snprintf(text, sizeof text, "%lX", v);
    return text;
}

// The trace of the number lookups of a run "-v <switches> -s a b", each
// switch written as -name=decimal.
std::string lookupTrace(const std::vector<std::string>& switches) {
    const char* names[][2] = {
        {"-b1", "0"}, {"-b2", "0"}, {"-l1", "4194304"}, {"-l2", "1048576"}, {"-n", "0xffffffff"}};
    std::string t = "accept CmdLn argument 1: str \"a\"\naccept CmdLn argument 2: str \"b\"\n";
    for (auto& n : names) {
        std::string given;
        for (const std::string& s : switches)
            if (s.compare(0, s.find('='), n[0]) == 0) given = s.substr(s.find('=') + 1);
        if (given.empty()) {
            t += std::string("absent CmdLn switch ") + n[0] + ": using default: val ";
            t += std::string(n[0]) == "-n"
                     ? "-1 (0xFFFFFFFF)"
                     : std::string(n[1]) + " (0x" + hex(std::stoul(n[1])) + ")";
            t += std::string(" parsed \"") + n[1] + "\"\n";
        } else {
            t += std::string("accept CmdLn switch ") + n[0] + ": val " + given + " (0x" +
                 hex(std::stoul(given)) + ") parsed \"" + given + "\"\n";
        }
    }
    return t + "accept CmdLn switch -s\n";
}

std::vector<std::string> verboseArgs(std::vector<std::string> switches) {
    switches.insert(switches.begin(), "-v");
    switches.insert(switches.end(), {"-s", "a", "b"});
    return switches;
}

std::vector<std::string> quietArgs(std::vector<std::string> switches) {
    switches.insert(switches.end(), {"-s", "a", "b"});
    return switches;
}

std::string lengths(unsigned long len1, unsigned long len2) {
    return "File1 ('a') length = " + std::to_string(len1) + " (0x" + hex(len1) +
           ") bytes\nFile2 ('b') length = " + std::to_string(len2) + " (0x" + hex(len2) +
           ") bytes\n";
}

const std::string comparingAB = "Comparing files a and b\n";
const std::string searching = "optionSyncBegSeq - proc\nDifferent bytes found in first 16 bytes\n"
                              "Trying to sync beg seq...\n";
const std::string readFailsA = "Unexpected EOF or error reading file 'a'\n";
const std::string readFailsB = "Unexpected EOF or error reading file 'b'\n";

} // namespace

std::vector<CliCase> syncCases() {
    const std::vector<std::string> small{"-l1=32", "-l2=16"};
    const std::vector<std::string> tiny{"-l1=16", "-l2=16"};
    // Equal in the first 16 bytes, different behind them, read further on
    // after the preloaded first block pair.
    const std::string late1 = content(40), late2 = with(with(late1, 20, '#'), 35, '#');
    // File 1 = three extra bytes + file 2, and file 1 longer than its
    // buffer-full + 3, so the refill reads three more bytes of it.
    const std::string body = content(40), front = "XYZ" + body;
    const std::string afterShift =
        "\nNow comparing:\n File1 ('a') from 3 (0x3)\n File2 ('b') from 0 "
        "(0x0).\n\n";
    // File 1 = seven or eight extra bytes + file 2 with buffers of 16:
    // shifts below 8 are searched, 8 is not.
    const std::string sixteen = content(16);
    return {
        {"equal beginnings: no search, then the preloaded block pair",
         {{"a", late1}, {"b", late2}},
         verboseArgs(small),
         lookupTrace(small) + "Using bufSize_1=0x20 bufSize_2=0x10\n" + lengths(40, 40) +
             "optionSyncBegSeq - proc\nNo different bytes found in first 16 bytes\n" + comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "00000014: 75 23\n00000023: 84 23\n"
             "End comparing: File1 ('a') at 0x28 and File2 ('b') at 0x28\n"
             " 2 (0x2) differences encountered\n\n",
         9},
        {"equal beginnings quiet",
         {{"a", late1}, {"b", late2}},
         quietArgs(small),
         comparingAB + "00000014: 75 23\n00000023: 84 23\n 2 (0x2) differences encountered\n\n",
         9},
        // The preloaded block pair is compared apart from the blocks behind it:
        // the limit carries over from one to the next.
        {"limit counts from the preloaded block pair on",
         {{"a", late1}, {"b", late2}},
         quietArgs({"-l1=32", "-l2=16", "-n=2"}),
         comparingAB + "00000014: 75 23\n00000023: 84 23\n"
                       "Too many diffrent bytes - stopping comparition, exiting.\n",
         5},
        // The end trace tells where each file stands, which for the longer file
        // 1 is behind the compared part.
        {"end trace of a file 1 longer than its compared part",
         {{"a", sixteen + "wxyz"}, {"b", sixteen}},
         verboseArgs({}),
         lookupTrace({}) + "Using bufSize_1=0x400000 bufSize_2=0x100000\n" + lengths(20, 16) +
             "optionSyncBegSeq - proc\nNo different bytes found in first 16 bytes\n" + comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x14 and File2 ('b') at 0x10\n"
             "FC: a longer than b by 4 (0x4) bytes\n\n",
         1},
        {"three-byte files can't line up",
         {{"a", "xab"}, {"b", "abx"}},
         verboseArgs({}),
         lookupTrace({}) + "Using bufSize_1=0x400000 bufSize_2=0x100000\n" + lengths(3, 3) +
             "optionSyncBegSeq - proc\nDifferent bytes found in first 3 bytes\n"
             "Trying to sync beg seq...\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "00000000: 78 61\n00000001: 61 62\n00000002: 62 78\n"
             "End comparing: File1 ('a') at 0x3 and File2 ('b') at 0x3\n"
             " 3 (0x3) differences encountered\n\n",
         9},
        {"buffers of three bytes can't line up",
         {{"a", "x" + repeat("y", 19)}, {"b", repeat("y", 20)}},
         verboseArgs({"-l1=3", "-l2=3"}),
         lookupTrace({"-l1=3", "-l2=3"}) + "Using bufSize_1=0x3 bufSize_2=0x3\n" + lengths(20, 20) +
             "optionSyncBegSeq - proc\nDifferent bytes found in first 3 bytes\n"
             "Trying to sync beg seq...\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "00000000: 78 79\n"
             "End comparing: File1 ('a') at 0x14 and File2 ('b') at 0x14\n"
             " 1 (0x1) differences encountered\n\n",
         9},
        {"file 1 carries three extra bytes",
         {{"a", front}, {"b", body}},
         verboseArgs(small),
         lookupTrace(small) + "Using bufSize_1=0x20 bufSize_2=0x10\n" + lengths(43, 40) +
             searching +
             "Found equals: File2 ('b') from 0 equals File1 ('a') from 3 (0x3) equalsLength=16 "
             "(0x10) bytes\n"
             "Setting new fbegInp1=3 (0x3)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 3 (0x3)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x2B and File2 ('b') at 0x28\n"
             "In compared part:\n File1 ('a') from 3 (0x3) to EOF 43 (0x2B)\n File2 ('b') from 0 "
             "(0x0) to EOF 40 (0x28)\n"
             " no differences encountered in 40 (0x28) bytes compared part\n\n",
         3},
        // Byte 30 of the body lies in the refilled tail of the first buffer-full,
        // byte 34 in the second one.
        {"file 1 carries three extra bytes, quiet, differences after the shift",
         {{"a", "XYZ" + with(with(body, 30, '#'), 34, '#')}, {"b", body}},
         quietArgs(small),
         comparingAB + afterShift +
             "00000021: 23 7F :0000001E\n00000025: 23 83 :00000022\n"
             "In compared part:\n File1 ('a') from 3 (0x3) to EOF 43 (0x2B)\n File2 ('b') from 0 "
             "(0x0) to EOF 40 (0x28)\n"
             " 2 (0x2) differences encountered in 40 (0x28) bytes compared part\n\n",
         4},
        {"file 2 carries three extra bytes",
         {{"a", body}, {"b", front}},
         verboseArgs(small),
         lookupTrace(small) + "Using bufSize_1=0x20 bufSize_2=0x10\n" + lengths(40, 43) +
             searching +
             "Found equals: File1 ('a') from 0 equals File2 ('b') from 3 (0x3) equalsLength=13 "
             "(0xD) bytes\n"
             "Setting new fbegInp2=3 (0x3)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 3 (0x3).\n\n"
             "End comparing: File1 ('a') at 0x28 and File2 ('b') at 0x2B\n"
             "In compared part:\n File1 ('a') from 0 (0x0) to EOF 40 (0x28)\n File2 ('b') from 3 "
             "(0x3) to EOF 43 (0x2B)\n"
             " no differences encountered in 40 (0x28) bytes compared part\n\n",
         3},
        // Both tests match at shift 1; file 1 is advanced. The file fits its
        // buffer-full, so the refill has nothing to read and reads nothing.
        {"tie at one shift advances file 1",
         {{"a", repeat("AB", 10)}, {"b", repeat("BA", 10)}},
         verboseArgs({}),
         lookupTrace({}) + "Using bufSize_1=0x400000 bufSize_2=0x100000\n" + lengths(20, 20) +
             "optionSyncBegSeq - proc\nDifferent bytes found in first 20 bytes\n"
             "Trying to sync beg seq...\n"
             "Found equals: File2 ('b') from 0 equals File1 ('a') from 1 (0x1) equalsLength=19 "
             "(0x13) bytes\n"
             "Setting new fbegInp1=1 (0x1)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 1 (0x1)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x14 and File2 ('b') at 0x14\n"
             "In compared part:\n File1 ('a') from 1 (0x1) to EOF 20 (0x14)\n File2 ('b') from 0 "
             "(0x0) to 19 (0x13)\n"
             " no differences encountered in 19 (0x13) bytes compared part\n\n"
             "Note: File2 (b) has extra 1 (0x1) bytes after compared part\n",
         3},
        {"shift is added to a given start offset",
         {{"a", repeat(".", 16) + "PQ" + content(24)}, {"b", content(24)}},
         verboseArgs({"-b1=16", "-l1=16", "-l2=16"}),
         lookupTrace({"-b1=16", "-l1=16", "-l2=16"}) + "Using bufSize_1=0x10 bufSize_2=0x10\n" +
             lengths(42, 24) + searching +
             "Found equals: File2 ('b') from 0 equals File1 ('a') from 2 (0x2) equalsLength=14 "
             "(0xE) bytes\n"
             "Setting new fbegInp1=18 (0x12)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 18 (0x12)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x2A and File2 ('b') at 0x18\n"
             "In compared part:\n File1 ('a') from 18 (0x12) to EOF 42 (0x2A)\n File2 ('b') from "
             "0 (0x0) to EOF 24 (0x18)\n"
             " no differences encountered in 24 (0x18) bytes compared part\n\n",
         3},
        {"largest searched shift is found",
         {{"a", "0123456" + sixteen}, {"b", sixteen}},
         verboseArgs(tiny),
         lookupTrace(tiny) + "Using bufSize_1=0x10 bufSize_2=0x10\n" + lengths(23, 16) + searching +
             "Found equals: File2 ('b') from 0 equals File1 ('a') from 7 (0x7) equalsLength=9 "
             "(0x9) bytes\n"
             "Setting new fbegInp1=7 (0x7)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 7 (0x7)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x17 and File2 ('b') at 0x10\n"
             "In compared part:\n File1 ('a') from 7 (0x7) to EOF 23 (0x17)\n File2 ('b') from 0 "
             "(0x0) to EOF 16 (0x10)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"largest searched shift is found, quiet",
         {{"a", "0123456" + sixteen}, {"b", sixteen}},
         quietArgs(tiny),
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 7 (0x7)\n File2 ('b') from 0 (0x0).\n\n"
             "In compared part:\n File1 ('a') from 7 (0x7) to EOF 23 (0x17)\n File2 ('b') from 0 "
             "(0x0) to EOF 16 (0x10)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"shift of half the extent is not searched",
         {{"a", "01234567" + sixteen}, {"b", sixteen}},
         verboseArgs({"-l1=16", "-l2=16", "-n=1"}),
         lookupTrace({"-l1=16", "-l2=16", "-n=1"}) + "Using bufSize_1=0x10 bufSize_2=0x10\n" +
             lengths(24, 16) + searching + comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 0 (0x0).\n\n"
             "00000000: 30 61\nToo many diffrent bytes - stopping comparition, exiting.\n",
         5},
        {"shift not found, quiet",
         {{"a", "01234567" + sixteen}, {"b", sixteen}},
         quietArgs({"-l1=16", "-l2=16", "-n=1"}),
         comparingAB +
             "00000000: 30 61\nToo many diffrent bytes - stopping comparition, exiting.\n",
         5},
        // File 1 holds a single byte behind its first buffer-full: the refill
        // after a shift of 3 reads just that byte.
        {"short refill",
         {{"a", "XYZ" + content(14)}, {"b", content(14) + "!!"}},
         verboseArgs(tiny),
         lookupTrace(tiny) + "Using bufSize_1=0x10 bufSize_2=0x10\n" + lengths(17, 16) + searching +
             "Found equals: File2 ('b') from 0 equals File1 ('a') from 3 (0x3) equalsLength=13 "
             "(0xD) bytes\n"
             "Setting new fbegInp1=3 (0x3)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 3 (0x3)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x11 and File2 ('b') at 0x10\n"
             "In compared part:\n File1 ('a') from 3 (0x3) to EOF 17 (0x11)\n File2 ('b') from 0 "
             "(0x0) to 14 (0xE)\n"
             " no differences encountered in 14 (0xE) bytes compared part\n\n"
             "Note: File2 (b) has extra 2 (0x2) bytes after compared part\n",
         3},
        // The first reads take only what lies behind the start offset.
        {"start offset in a file shorter than its buffer",
         {{"a", "...." + sixteen}, {"b", sixteen}},
         quietArgs({"-b1=4"}),
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 4 (0x4)\n File2 ('b') from 0 (0x0).\n\n"
             "In compared part:\n File1 ('a') from 4 (0x4) to EOF 20 (0x14)\n File2 ('b') from 0 "
             "(0x0) to EOF 16 (0x10)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"start offset and a shift in a file shorter than its buffer",
         {{"a", "....XY" + sixteen}, {"b", sixteen}},
         verboseArgs({"-b1=4"}),
         lookupTrace({"-b1=4"}) + "Using bufSize_1=0x400000 bufSize_2=0x100000\n" +
             lengths(22, 16) + searching +
             "Found equals: File2 ('b') from 0 equals File1 ('a') from 2 (0x2) equalsLength=16 "
             "(0x10) bytes\n"
             "Setting new fbegInp1=6 (0x6)\n" +
             comparingAB +
             "\nNow comparing:\n File1 ('a') from 6 (0x6)\n File2 ('b') from 0 (0x0).\n\n"
             "End comparing: File1 ('a') at 0x16 and File2 ('b') at 0x10\n"
             "In compared part:\n File1 ('a') from 6 (0x6) to EOF 22 (0x16)\n File2 ('b') from 0 "
             "(0x0) to EOF 16 (0x10)\n"
             " no differences encountered in 16 (0x10) bytes compared part\n\n",
         3},
        {"start offset past the end of file 1",
         {{"a", sixteen}, {"b", sixteen}},
         verboseArgs({"-b1=17"}),
         lookupTrace({"-b1=17"}) + "Using bufSize_1=0x400000 bufSize_2=0x100000\n" +
             lengths(16, 16) + "optionSyncBegSeq - proc\n" + readFailsA,
         255},
        // The first test spans the whole of begLenMin: only the last byte
        // differs, and file 2 lines up one byte in.
        {"only the last byte of the first buffer-fulls differs",
         {{"a", "aaaab"}, {"b", "aaaaa"}},
         quietArgs({}),
         comparingAB +
             "\nNow comparing:\n File1 ('a') from 0 (0x0)\n File2 ('b') from 1 (0x1).\n\n"
             "In compared part:\n File1 ('a') from 0 (0x0) to 4 (0x4)\n File2 ('b') from 1 "
             "(0x1) to EOF 5 (0x5)\n"
             " no differences encountered in 4 (0x4) bytes compared part\n\n"
             "Note: File1 (a) has extra 1 (0x1) bytes after compared part\n",
         3},
        {"start offset past the end of file 2",
         {{"a", sixteen}, {"b", sixteen}},
         quietArgs({"-b2=17"}),
         readFailsB,
         255},
        {"start offset at the end of file 1",
         {{"a", sixteen}, {"b", sixteen + "!"}},
         quietArgs({"-b1=16"}),
         readFailsA,
         255},
        // Without -s this run names file 1 (its compare length is 0).
        {"start offset at the end of file 2 names file 2",
         {{"a", sixteen + "!"}, {"b", sixteen}},
         quietArgs({"-b2=16"}),
         readFailsB,
         255},
        {"start offset at the end of file 2 beside one inside file 1",
         {{"a", "...." + sixteen}, {"b", sixteen}},
         quietArgs({"-b1=4", "-b2=16"}),
         readFailsB,
         255},
    };
}
