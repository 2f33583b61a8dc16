// ZEBRIN against GNU cmp -l, an independent implementation: on generated file
// pairs and with buffer sizes that cross many blocks and buffer-fulls, the
// differing bytes ZEBRIN lists must be exactly the ones cmp lists, and the
// summary's count must be the number of lines.
#include "run_program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// (offset within the compared part, counted from 1 as cmp does; byte 1; byte 2)
using Diff = std::tuple<uint64_t, unsigned, unsigned>;

struct FilePair {
    std::string name;
    std::string a, b;
};

void PrintTo(const FilePair& p, std::ostream* os) {
    *os << p.name;
}

struct RunOptions {
    std::vector<std::string> args;
    uint32_t skip1 = 0, skip2 = 0;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

std::vector<Diff> cmpDiffs(const std::string& dir, const RunOptions& o) {
    std::vector<std::string> argv{"cmp", "-l"};
    if (o.skip1 != 0 || o.skip2 != 0)
        argv.push_back("--ignore-initial=" + std::to_string(o.skip1) + ":" +
                       std::to_string(o.skip2));
    argv.insert(argv.end(), {"a", "b"});
    ProgramResult r = runProgram({}, argv, dir);
    EXPECT_TRUE(r.status == 0 || r.status == 1) << "cmp failed: " << r.err;
    std::vector<Diff> diffs;
    for (const std::string& l : lines(r.out)) {
        unsigned long long offset = 0;
        unsigned b1 = 0, b2 = 0;
        EXPECT_EQ(sscanf(l.c_str(), "%llu %o %o", &offset, &b1, &b2), 3) << l;
        diffs.emplace_back(offset, b1, b2);
    }
    return diffs;
}

struct ZebrinResult {
    std::vector<Diff> diffs;
    int64_t summaryCount = -1; // -1: no count in the summary
    int status = 0;
};

// Takes apart ZEBRIN's output: every difference line must have the exact
// form for the run (short when both start offsets are equal, long
// otherwise), and the summary line carries the count.
ZebrinResult zebrinDiffs(const std::string& dir, const RunOptions& o) {
    std::vector<std::string> argv{getenv("ZEBRIN_PROGRAM")};
    argv.insert(argv.end(), o.args.begin(), o.args.end());
    argv.insert(argv.end(), {"a", "b"});
    const char* launcher = getenv("ZEBRIN_LAUNCHER");
    ProgramResult r = runProgram(splitWords(launcher != nullptr ? launcher : ""), argv, dir);
    EXPECT_EQ(r.err, "");
    ZebrinResult z;
    z.status = r.status;
    for (const std::string& l : lines(r.out)) {
        unsigned off1 = 0, b1 = 0, b2 = 0, off2 = 0;
        unsigned count = 0, countHex = 0;
        if (sscanf(l.c_str(), "%8X: %2X %2X :%8X", &off1, &b1, &b2, &off2) >= 3) {
            char expected[64];
            if (o.skip1 == o.skip2)
                snprintf(expected, sizeof expected, "%08X: %02X %02X", off1, b1, b2);
            else
                snprintf(expected, sizeof expected, "%08X: %02X %02X :%08X", off1, b1, b2,
                         off1 - o.skip1 + o.skip2);
            EXPECT_EQ(l, expected);
            z.diffs.emplace_back(uint64_t{off1} - o.skip1 + 1, b1, b2);
        } else if (sscanf(l.c_str(), " %u (0x%X) differences encountered", &count, &countHex) ==
                   2) {
            EXPECT_EQ(count, countHex) << l;
            z.summaryCount = count;
        } else if (l.rfind(" no differences encountered", 0) == 0) {
            z.summaryCount = 0;
        }
    }
    return z;
}

// Another value for the byte, never the same one.
char flipped(char c, std::mt19937& rng) {
    auto mask = static_cast<uint8_t>(1 + rng() % 255);
    return static_cast<char>(static_cast<uint8_t>(c) ^ mask);
}

std::string flipSome(std::string s, std::mt19937& rng, unsigned every) {
    for (auto& c : s)
        if (rng() % every == 0) c = flipped(c, rng);
    return s;
}

std::string flipAt(std::string s, std::mt19937& rng, unsigned count) {
    for (unsigned i = 0; i < count && !s.empty(); i++) {
        size_t at = rng() % s.size();
        s[at] = flipped(s[at], rng);
    }
    return s;
}

// Sizes around the buffer sizes used below and well past them; differences
// from none to every byte; and one file a prefix of the other.
std::vector<FilePair> filePairs() {
    std::mt19937 rng(20260);
    std::vector<FilePair> pairs;
    uint32_t seed = 1;
    for (size_t size : {1u, 64u, 961u, 4096u, 12289u, 70001u}) {
        std::string a = randomBytes(size, seed++);
        std::string n = std::to_string(size);
        pairs.push_back({"equal_" + n, a, a});
        pairs.push_back({"sparse_" + n, a, flipAt(a, rng, 3)});
        pairs.push_back({"dense_" + n, a, flipSome(a, rng, 4)});
        if (size <= 12289) pairs.push_back({"every_byte_" + n, a, flipSome(a, rng, 1)});
        if (size >= 2) {
            std::string longer = a + randomBytes(1 + size / 3, seed++);
            pairs.push_back({"file2_longer_" + n, a, flipAt(longer, rng, 2)});
            pairs.push_back({"file1_longer_" + n, longer, a});
        }
    }
    // Runs of one value, where a comparison that skips ahead in words or
    // chunks has its edges.
    std::string zeros(20000, '\0');
    std::string marked = zeros;
    marked[7] = marked[8] = marked[4095] = marked[4096] = marked[19999] = 1;
    pairs.push_back({"zero_runs", zeros, marked});
    return pairs;
}

// Buffer sizes that put block and buffer-full edges everywhere: -l1 not a
// multiple of -l2, -l2 of 1, the defaults; and start offsets, equal (short
// lines) and unequal (long lines), compared with cmp's skips.
std::vector<RunOptions> runOptions(size_t len1, size_t len2) {
    std::vector<RunOptions> runs{
        {{}},
        {{"-l1=7", "-l2=3"}},
        {{"-l1=5", "-l2=1"}},
        {{"-l1=1000", "-l2=64"}},
    };
    // Files compared from different offsets differ nearly everywhere: keep
    // those runs to the smaller files.
    if (std::min(len1, len2) > 8 && std::max(len1, len2) < 20000) {
        runs.push_back({{"-b1=5", "-b2=5", "-l1=100", "-l2=30"}, 5, 5});
        runs.push_back({{"-b1=3", "-l1=64", "-l2=16"}, 3, 0});
        runs.push_back({{"-b2=8", "-l2=1"}, 0, 8});
    }
    return runs;
}

std::string describe(const RunOptions& o) {
    std::string s;
    for (const std::string& a : o.args)
        s += a + " ";
    return s.empty() ? "(defaults)" : s;
}

int expectedStatus(const FilePair& p, const RunOptions& o, size_t diffCount) {
    if (o.skip1 != 0 || o.skip2 != 0) return diffCount == 0 ? 3 : 4;
    if (diffCount != 0) return 9;
    if (p.a.size() == p.b.size()) return 0;
    return p.a.size() > p.b.size() ? 1 : 2;
}

class AgainstCmp : public testing::TestWithParam<FilePair> {};

TEST_P(AgainstCmp, SameDifferingBytes) {
    ASSERT_NE(getenv("ZEBRIN_PROGRAM"), nullptr) << "ZEBRIN_PROGRAM is not set";
    const FilePair& p = GetParam();
    TempDir dir;
    writeFile(dir.file("a"), p.a);
    writeFile(dir.file("b"), p.b);
    // cmp's answer depends only on the skips; ask it once per pair of them.
    std::vector<Diff> reference;
    uint32_t referenceSkips[2] = {1, 1};
    for (const RunOptions& o : runOptions(p.a.size(), p.b.size())) {
        SCOPED_TRACE(describe(o));
        if (referenceSkips[0] != o.skip1 || referenceSkips[1] != o.skip2) {
            reference = cmpDiffs(dir.path, o);
            referenceSkips[0] = o.skip1;
            referenceSkips[1] = o.skip2;
        }
        ZebrinResult z = zebrinDiffs(dir.path, o);
        EXPECT_TRUE(z.diffs == reference)
            << z.diffs.size() << " lines from zebrin, " << reference.size() << " from cmp";
        if (!z.diffs.empty()) {
            EXPECT_GE(z.summaryCount, 0) << "no count in the summary";
        }
        if (z.summaryCount >= 0) {
            EXPECT_EQ(static_cast<size_t>(z.summaryCount), z.diffs.size());
        }
        EXPECT_EQ(z.status, expectedStatus(p, o, reference.size()));
    }
}

std::string pairName(const testing::TestParamInfo<FilePair>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Generated, AgainstCmp, testing::ValuesIn(filePairs()), pairName);

} // namespace
