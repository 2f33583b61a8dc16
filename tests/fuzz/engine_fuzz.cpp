// Fuzz target: two small files and a choice of switches through the whole
// driver, with the output checked against a plain model of the comparison:
// the difference lines (offsets strictly increasing, bytes as in the files,
// all of them and no more), the count in the summary, the exit status, the
// file named by a failed read, and the shift that -s settles on.
//
// Input: byte 0 selects switches (bit 0 -s, 1 -v, 2 -n, 3 -b1, 4 -b2, 5 -l1,
// 6 -l2, 7 hexadecimal values); bytes 1-5 are the values of -l1, -l2, -b1,
// -b2 and -n; bytes 6-7 the length of file 1 (modulo what is left); the rest
// is file 1 followed by file 2.
#include "compare/compare_run.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Switches {
    bool sync, verbose, limit, beg1, beg2, len1, len2, hex;
    uint32_t l1, l2, b1, b2, n;
};

struct DiffLine {
    uint32_t off1;
    uint8_t b1, b2;
    bool longForm;
    uint32_t off2;
    bool operator==(const DiffLine& o) const {
        return off1 == o.off1 && b1 == o.b1 && b2 == o.b2 && longForm == o.longForm &&
               (!longForm || off2 == o.off2);
    }
};

// What a run must produce.
struct Expected {
    std::vector<DiffLine> lines;
    int32_t status = 0;
    char failedFile = 0;   // 'a' or 'b' when a read must fail
    bool compared = false; // the block loop ran, from these start offsets
    uint32_t beg1 = 0, beg2 = 0;
};

int captureFd;   // standard output of the runs, appended to a scratch file
int captureRead; // the same file, for reading back

// The search as its contract reads: each shift in turn, test A (file 1 starts
// later) before test B, each over the whole overlap. 0 when nothing matches.
int plainShift(const uint8_t* a, uint32_t lenA, const uint8_t* b, uint32_t lenB, uint32_t bound,
               uint32_t& shift) {
    for (uint32_t s = 0; s < bound; s++) {
        shift = s;
        if (memcmp(a + s, b, std::min(lenA - s, lenB)) == 0) return 1;
        if (memcmp(a, b + s, std::min(lenA, lenB - s)) == 0) return 2;
    }
    return 0;
}

uint32_t bufferSize1(const Switches& sw) {
    uint32_t l1 = sw.len1 ? sw.l1 : 0x400000, l2 = sw.len2 ? sw.l2 : 0x100000;
    l1 = std::min<uint32_t>(l1, 0x400000);
    l2 = std::clamp<uint32_t>(l2, 1, 0x100000);
    return std::max<uint32_t>(l1 / l2, 1) * l2;
}

uint32_t bufferSize2(const Switches& sw) {
    return std::clamp<uint32_t>(sw.len2 ? sw.l2 : 0x100000, 1, 0x100000);
}

// The run as documented, byte by byte: empty files first, then start offsets
// at or past an end (a failed read), then -s with first buffer-fulls cut to
// what lies behind the start offsets, then the compare over the common length
// with the -n limit, then the summary's status.
Expected model(const Bytes& f1, const Bytes& f2, const Switches& sw) {
    Expected e;
    uint32_t len1 = static_cast<uint32_t>(f1.size()), len2 = static_cast<uint32_t>(f2.size());
    if (len1 == 0 || len2 == 0) {
        e.status = len1 == 0 ? 7 : 8;
        return e;
    }
    uint32_t beg1 = sw.beg1 ? sw.b1 : 0, beg2 = sw.beg2 ? sw.b2 : 0;
    if (beg1 >= len1 || beg2 >= len2) {
        // Without -s a compare length of 0 fails at the empty read of file 1,
        // and file 2 is read only after file 1 succeeded.
        e.failedFile = beg1 < len1 && (sw.sync || beg2 > len2) ? 'b' : 'a';
        e.status = 255;
        return e;
    }
    if (sw.sync) {
        uint32_t begLen1 = std::min(bufferSize1(sw), len1 - beg1);
        uint32_t begLen2 = std::min(bufferSize2(sw), len2 - beg2);
        uint32_t begLenMin = std::min(begLen1, begLen2);
        if (memcmp(&f1[beg1], &f2[beg2], begLenMin) != 0) {
            uint32_t shift = 0;
            int file = plainShift(&f1[beg1], begLen1, &f2[beg2], begLen2, begLenMin >> 1, shift);
            if (file == 1) beg1 += shift;
            if (file == 2) beg2 += shift;
        }
    }
    e.compared = true;
    e.beg1 = beg1;
    e.beg2 = beg2;
    uint32_t cmpLen = std::min(len1 - beg1, len2 - beg2);
    uint32_t left = sw.limit ? sw.n : 0xFFFFFFFF;
    for (uint32_t k = 0; k < cmpLen; k++) {
        if (f1[beg1 + k] == f2[beg2 + k]) continue;
        e.lines.push_back({beg1 + k, f1[beg1 + k], f2[beg2 + k], beg1 != beg2, beg2 + k});
        if (--left == 0) {
            e.status = 5;
            return e;
        }
    }
    if (beg1 != 0 || beg2 != 0)
        e.status = e.lines.empty() ? 3 : 4;
    else if (!e.lines.empty())
        e.status = 9;
    else
        e.status = len1 == len2 ? 0 : len1 > len2 ? 1 : 2;
    return e;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool hexField(const std::string& s, size_t at, size_t digits, uint32_t& v) {
    v = 0;
    for (size_t i = 0; i < digits; i++) {
        int d = hexDigit(s[at + i]);
        if (d < 0) return false;
        v = v << 4 | static_cast<uint32_t>(d);
    }
    return true;
}

// "XXXXXXXX: XX XX" or "XXXXXXXX: XX XX :XXXXXXXX" (the line without its end).
bool parseDiffLine(const std::string& s, DiffLine& d) {
    if (s.size() != 15 && s.size() != 25) return false;
    uint32_t b1, b2;
    if (!hexField(s, 0, 8, d.off1) || s.compare(8, 2, ": ") != 0 || !hexField(s, 10, 2, b1) ||
        s[12] != ' ' || !hexField(s, 13, 2, b2))
        return false;
    d.b1 = static_cast<uint8_t>(b1);
    d.b2 = static_cast<uint8_t>(b2);
    d.longForm = s.size() == 25;
    d.off2 = 0;
    return !d.longForm || (s.compare(15, 2, " :") == 0 && hexField(s, 17, 8, d.off2));
}

std::vector<std::string> splitLines(const std::string& out) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl = out.find('\n'); nl != std::string::npos; nl = out.find('\n', start)) {
        lines.push_back(out.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

std::string capturedOutput() {
    std::string out;
    char buf[65536];
    off_t at = 0;
    for (ssize_t n; (n = pread(captureRead, buf, sizeof buf, at)) > 0; at += n)
        out.append(buf, static_cast<size_t>(n));
    return out;
}

void checkRun(const std::string& out, int32_t status, const Expected& e) {
    if (status != e.status)
        propertyBroken("status " + std::to_string(status) + ", expected " +
                       std::to_string(e.status) + "\n" + out);
    std::vector<DiffLine> lines;
    long summaryCount = -1;
    for (const std::string& line : splitLines(out)) {
        DiffLine d;
        if (parseDiffLine(line, d)) {
            if (!lines.empty() && d.off1 <= lines.back().off1)
                propertyBroken("difference lines out of order\n" + out);
            lines.push_back(d);
        }
        long n;
        unsigned long x;
        if (line.find(" differences encountered") != std::string::npos &&
            sscanf(line.c_str(), " %ld (0x%lX)", &n, &x) == 2) {
            if (static_cast<unsigned long>(n) != x) propertyBroken("summary count forms differ");
            summaryCount = n;
        }
    }
    if (!(lines == e.lines)) propertyBroken("difference lines differ from the model\n" + out);
    if (run.diffsCount != lines.size()) propertyBroken("diffsCount differs from the lines");
    if ((status == 4 || status == 9) && summaryCount != static_cast<long>(lines.size()))
        propertyBroken("summary count differs from the number of lines\n" + out);
    if (e.failedFile != 0) {
        std::string message =
            std::string("Unexpected EOF or error reading file '") + e.failedFile + "'\n";
        if (out.size() < message.size() ||
            out.compare(out.size() - message.size(), message.size(), message) != 0)
            propertyBroken("a failed read must end the output naming its file\n" + out);
    }
    if (e.compared && (run.fbegInp1 != e.beg1 || run.fbegInp2 != e.beg2)) {
        propertyBroken("start offsets after -s differ from the plain search");
    }
}

// The fast shift search against the plain one, directly over the two files.
void checkShiftSearch(const Bytes& f1, const Bytes& f2) {
    uint32_t len1 = static_cast<uint32_t>(f1.size()), len2 = static_cast<uint32_t>(f2.size());
    if (len1 == 0 || len2 == 0) return;
    uint32_t bound = std::min(len1, len2) >> 1, shift = 0;
    int file = plainShift(f1.data(), len1, f2.data(), len2, bound, shift);
    SyncShift fast = findSyncShift(f1.data(), len1, f2.data(), len2, bound);
    if (fast.advancedFile != file || (file != 0 && fast.shift != shift))
        propertyBroken("findSyncShift differs from the plain search");
}

char argText[8][32];
char fileA[] = "a", fileB[] = "b", programName[] = "zebrin";

void addNumber(std::vector<char*>& argv, const char* name, uint32_t v, bool hex) {
    char* slot = argText[argv.size() % 8];
    if (hex)
        snprintf(slot, sizeof argText[0], "%s$%" PRIX32, name, v);
    else
        snprintf(slot, sizeof argText[0], "%s=%" PRIu32, name, v);
    argv.push_back(slot);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enterScratchFolder();
    captureFd = open("out", O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    captureRead = open("out", O_RDONLY);
    redirectStandardOutput(captureFd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8 || size > 0x10000) return -1;
    Switches sw{};
    sw.sync = data[0] & 1;
    sw.verbose = data[0] & 2;
    sw.limit = data[0] & 4;
    sw.beg1 = data[0] & 8;
    sw.beg2 = data[0] & 16;
    sw.len1 = data[0] & 32;
    sw.len2 = data[0] & 64;
    sw.hex = data[0] & 128;
    sw.l1 = data[1];
    sw.l2 = data[2];
    sw.b1 = data[3];
    sw.b2 = data[4];
    sw.n = data[5];
    size_t rest = size - 8;
    size_t split = static_cast<size_t>(data[6] << 8 | data[7]) % (rest + 1);
    Bytes f1(data + 8, data + 8 + split), f2(data + 8 + split, data + size);
    writeScratchFile("a", f1.data(), f1.size());
    writeScratchFile("b", f2.data(), f2.size());

    std::vector<char*> argv{programName};
    if (sw.sync) argv.push_back(const_cast<char*>("-s"));
    if (sw.verbose) argv.push_back(const_cast<char*>("-v"));
    if (sw.limit) addNumber(argv, "-n", sw.n, sw.hex);
    if (sw.beg1) addNumber(argv, "-b1", sw.b1, sw.hex);
    if (sw.beg2) addNumber(argv, "-b2", sw.b2, sw.hex);
    if (sw.len1) addNumber(argv, "-l1", sw.l1, sw.hex);
    if (sw.len2) addNumber(argv, "-l2", sw.l2, sw.hex);
    argv.push_back(fileA);
    argv.push_back(fileB);
    argv.push_back(nullptr);

    Expected expected = model(f1, f2, sw);
    std::string printed[2];
    for (bool readsOnly : {false, true}) {
        mappingUse = readsOnly ? MappingUse::never : MappingUse::always;
        if (ftruncate(captureFd, 0) != 0) propertyBroken("can't empty the capture file");
        int32_t status = runZebrin(argv.data());
        printed[readsOnly] = capturedOutput();
        checkRun(printed[readsOnly], status, expected);
    }
    if (printed[0] != printed[1])
        propertyBroken("mapped and read runs print differently\n" + printed[0] + "----\n" +
                       printed[1]);
    checkShiftSearch(f1, f2);
    return 0;
}
