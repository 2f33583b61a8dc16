// expectSameText(actual, expected): what EXPECT_EQ says of two texts, for
// texts of any size. gtest's line diff costs the product of the two line
// counts in time and memory, which for a faulty program's megabytes of lines
// is more than the machine has: beyond a few thousand lines a failure shows
// where the texts part instead.
#pragma once

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

inline void expectSameText(const std::string& actual, const std::string& expected) {
    auto lines = [](const std::string& s) {
        return static_cast<double>(std::count(s.begin(), s.end(), '\n') + 1);
    };
    if (lines(actual) * lines(expected) <= 4e6) {
        EXPECT_EQ(actual, expected);
        return;
    }
    if (actual == expected) return;
    size_t common = std::min(actual.size(), expected.size());
    size_t at = static_cast<size_t>(std::mismatch(actual.begin(),
                                                  actual.begin() + static_cast<ptrdiff_t>(common),
                                                  expected.begin())
                                        .first -
                                    actual.begin());
    size_t line = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1; // npos + 1 is 0
    ADD_FAILURE() << "actual (" << actual.size() << " bytes) and expected (" << expected.size()
                  << " bytes) part at byte " << at << ", in the line from byte " << line
                  << ":\n  actual:   " << testing::PrintToString(actual.substr(line, 200))
                  << "\n  expected: " << testing::PrintToString(expected.substr(line, 200));
}
