// Names table-driven tests after their rows: gtest takes only letters, digits
// and underscores, so every other character of a row's name becomes "_".
#pragma once

#include <cctype>
#include <gtest/gtest.h>
#include <string>

template <typename Case> std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string n;
    for (char ch : info.param.name)
        n += isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return n;
}
