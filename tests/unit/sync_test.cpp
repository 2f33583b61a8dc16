// The linear shift search against the search written the plain way, on many
// generated buffer pairs: same shift, same test, same equalsLength.
#include "compare/compare_run.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Found {
    int advancedFile;
    uint32_t shift;
    uint32_t equalsLength;
    bool operator==(const Found& o) const {
        return advancedFile == o.advancedFile && shift == o.shift && equalsLength == o.equalsLength;
    }
};

// The search as the program's behaviour is defined, with nothing of the engine's:
// each shift below half the shorter buffer, test A (file 1 advances) before B.
Found plainSearch(const Bytes& b1, const Bytes& b2) {
    for (uint32_t s = 0; 2 * s + 2 <= std::min(b1.size(), b2.size()); s++)
        for (int advanced : {1, 2}) {
            const Bytes &shifted = advanced == 1 ? b1 : b2, &other = advanced == 1 ? b2 : b1;
            uint32_t k = 0; // equal bytes so far; on a match, the whole overlap
            while (s + k < shifted.size() && k < other.size() && shifted[s + k] == other[k])
                k++;
            if (s + k == shifted.size() || k == other.size()) return {advanced, s, k};
        }
    return {0, 0, 0};
}

Found linearSearch(const Bytes& b1, const Bytes& b2) {
    uint32_t len1 = static_cast<uint32_t>(b1.size()), len2 = static_cast<uint32_t>(b2.size());
    SyncShift s = findSyncShift(b1.data(), len1, b2.data(), len2, std::min(len1, len2) >> 1);
    if (s.advancedFile == 1) return {1, s.shift, std::min(len1 - s.shift, len2)};
    if (s.advancedFile == 2) return {2, s.shift, std::min(len2 - s.shift, len1)};
    return {0, 0, 0};
}

std::string show(const Found& f) {
    return "file " + std::to_string(f.advancedFile) + " shift " + std::to_string(f.shift) +
           " equalsLength " + std::to_string(f.equalsLength);
}

// Pairs of the kinds that break shift searches: shifted copies either way,
// small alphabets and periods (many partial matches), uniform runs with a
// late difference, ties, and tiny lengths.
struct PairMaker {
    std::mt19937 rng;
    explicit PairMaker(uint32_t seed) : rng(seed) {}

    uint32_t below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng() % n); }

    Bytes randomBytes(uint32_t n, uint32_t alphabet) {
        Bytes b(n);
        for (auto& c : b)
            c = static_cast<uint8_t>(below(alphabet));
        return b;
    }

    Bytes periodic(uint32_t n, uint32_t period, uint32_t alphabet) {
        Bytes unit = randomBytes(std::max(period, 1u), alphabet);
        Bytes b(n);
        for (uint32_t i = 0; i < n; i++)
            b[i] = unit[i % unit.size()];
        return b;
    }

    void maybeFlip(Bytes& b) {
        if (!b.empty() && below(3) == 0) b[below(static_cast<uint32_t>(b.size()))] ^= 1;
    }

    std::pair<Bytes, Bytes> make(uint32_t kind) {
        uint32_t len1 = 1 + below(kind % 5 == 4 ? 9 : 300);
        uint32_t len2 = 1 + below(kind % 5 == 4 ? 9 : 300);
        uint32_t alphabet = 1 + below(4);
        switch (kind % 5) {
        case 0: { // file 1 carries extra leading bytes
            Bytes tail = periodic(len2 + below(40), 1 + below(6), alphabet);
            Bytes b1 = randomBytes(below(len2 / 2 + 2), alphabet);
            b1.insert(b1.end(), tail.begin(), tail.end());
            Bytes b2 = tail;
            b2.resize(len2);
            maybeFlip(b1);
            return {b1, b2};
        }
        case 1: { // file 2 carries them
            Bytes tail = periodic(len1 + below(40), 1 + below(6), alphabet);
            Bytes b2 = randomBytes(below(len1 / 2 + 2), alphabet);
            b2.insert(b2.end(), tail.begin(), tail.end());
            Bytes b1 = tail;
            b1.resize(len1);
            maybeFlip(b2);
            return {b1, b2};
        }
        case 2: { // uniform runs with one late difference
            Bytes b1(len1, 0), b2(len2, 0);
            Bytes& marked = below(2) ? b1 : b2;
            marked[marked.size() - 1 - below(4) % marked.size()] = 1;
            return {b1, b2};
        }
        case 3: // alternating values, shifted: both tests can match at one shift
            return {periodic(len1, 2, 2), periodic(len2, 2, 2)};
        default: // tiny and random
            return {randomBytes(len1, alphabet), randomBytes(len2, alphabet)};
        }
    }
};

TEST(SyncSearch, LinearSearchFindsThePlainSearchResult) {
    PairMaker maker(20261208);
    int matches = 0;
    for (uint32_t i = 0; i < 20000; i++) {
        auto [b1, b2] = maker.make(i);
        Found plain = plainSearch(b1, b2);
        Found linear = linearSearch(b1, b2);
        ASSERT_EQ(linear, plain) << "pair " << i << ": plain " << show(plain) << ", linear "
                                 << show(linear);
        matches += plain.advancedFile != 0;
    }
    EXPECT_GT(matches, 5000) << "the generator must produce many real shifts";
}

TEST(SyncSearch, ExactCases) {
    struct Case {
        std::string b1, b2;
        Found expected;
    };
    const Case cases[] = {
        {"xyzABCDEFGH", "ABCDEFGH", {1, 3, 8}},
        {"ABCDEFGH", "xyzABCDEFGH", {2, 3, 8}},
        {"ababababab", "babababab", {1, 1, 9}}, // ties at shift 1: file 1 advances
        {"abc", "abd", {0, 0, 0}},              // begLenMin below 4: no shift can match
        {"aaaaaaab", "aaaaaaac", {0, 0, 0}},    // uniform run, late difference
        {"aaaaaaba", "aaaaaaab", {2, 1, 7}},    // file 1 lines up one byte into file 2
        {"qABCDEFG", "ABCDEFGH", {1, 1, 7}},    // overlap, not the whole of file 2
        {"xxxxABCD", "ABCDEFGH", {0, 0, 0}},    // only at shift 4 = begLenMin / 2
    };
    for (const Case& c : cases) {
        Bytes b1(c.b1.begin(), c.b1.end()), b2(c.b2.begin(), c.b2.end());
        EXPECT_EQ(plainSearch(b1, b2), c.expected) << c.b1 << " / " << c.b2;
        EXPECT_EQ(linearSearch(b1, b2), c.expected) << c.b1 << " / " << c.b2;
    }
}

TEST(SyncSearch, FullSizeUniformBuffersAreLinear) {
    // The case that makes the plain search quadratic: it must not here.
    static uint8_t b1[bufInp1Capacity], b2[bufInp2Capacity];
    b1[bufInp1Capacity - 1] = 1;
    b2[bufInp2Capacity - 7] = 1;
    SyncShift s = findSyncShift(b1, bufInp1Capacity, b2, bufInp2Capacity, bufInp2Capacity / 2);
    EXPECT_EQ(s.advancedFile, 0);
}

} // namespace
