// The number parser and the lookups, in-process: values, flags, defaults and
// the trace pieces; the exits as death tests.
#include "cmdline/cmdline.h"
#include "compare/compare_run.h"
#include "compare/output.h"
#include "run_program.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct ConstantCase {
    const char* text;
    uint32_t value;
};

TEST(ParseConstant, ReadsEveryForm) {
    const ConstantCase cases[] = {
        {"0", 0},
        {"4194304", 0x400000},
        {"007", 7}, // no octal
        {"4294967295", 0xFFFFFFFF},
        {"4294967296", 0}, // wraps
        {"4294967297", 1},
        {"18446744073709551617", 1},
        {"0x1F", 0x1F},
        {"$1F", 0x1F},
        {"$x1F", 0x1F},
        {"0xabcDEF", 0xABCDEF},
        {"0x", 0},
        {"$", 0},
        {"$x", 0},
        {"0xFFFFFFFF", 0xFFFFFFFF},
        {"0x123456789", 0x23456789}, // only the last eight digits count
        {"$FFFFFFFF00000001", 1},
    };
    for (const ConstantCase& c : cases)
        EXPECT_EQ(parseConstant(c.text), c.value) << c.text;
}

using ParseConstantDeath = testing::Test;

TEST(ParseConstantDeath, RefusesMalformedTexts) {
    const char* bad[] = {"",     "-1", "+1",   " 1",  "1 ", "12k",
                         "0X10", ":5", "0x1G", "$$1", "x1", "1.5"};
    for (const char* text : bad)
        EXPECT_EXIT((boundChild(), parseConstant(text)), testing::ExitedWithCode(255), "") << text;
}

struct LookupCase {
    std::vector<const char*> args; // after the program's own path
    const char* name;
    const char* deflt;
    int32_t result;
    const char* trace; // with -v on
};

class Lookup : public testing::Test {
  protected:
    void SetUp() override { run.optionVerbose = 1; }
    void TearDown() override { run.optionVerbose = 0; }

    static std::vector<char*> argvOf(const std::vector<const char*>& args) {
        std::vector<char*> argv{const_cast<char*>("zebrin")};
        for (const char* a : args)
            argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        return argv;
    }
};

TEST_F(Lookup, FlagsNumbersAndTheirTrace) {
    const LookupCase cases[] = {
        {{"-v"}, "-v", "+", 1, "accept CmdLn switch -v\n"},
        {{}, "-v", "+", 0, ""},
        {{"-q"}, "-q", "-", 0, "accept CmdLn switch -q\n"},
        {{}, "-q", "-", 1, ""},
        {{"-verbose"}, "-v", "+", 1, "accept CmdLn switch -v\n"},
        {{"--v"}, "-v", "+", 0, ""},
        {{"a", "-b1$100"},
         "-b1",
         "0",
         256,
         "accept CmdLn switch -b1: val 256 (0x100) parsed \"$100\"\n"},
        {{}, "-b2", "0", 0, "absent CmdLn switch -b2: using default: val 0 (0x0) parsed \"0\"\n"},
        {{"-b1:=7", "-b1=9"}, "-b1", "0", 7, "accept CmdLn switch -b1: val 7 (0x7) parsed \"7\"\n"},
        {{},
         "-n",
         "0xffffffff",
         -1,
         "absent CmdLn switch -n: using default: val -1 (0xFFFFFFFF) parsed \"0xffffffff\"\n"},
        {{"-", "12", "-b", "34"},
         "2",
         nullptr,
         34,
         "accept CmdLn argument 2: val 34 (0x22) parsed \"34\"\n"},
        {{"12"}, "2", "5", 5, "absent CmdLn argument 2: using default: val 5 (0x5) parsed \"5\"\n"},
    };
    for (const LookupCase& c : cases) {
        std::vector<char*> argv = argvOf(c.args);
        testing::internal::CaptureStdout();
        int32_t result = getCmdLnParam(nullptr, argv.data(), c.name, c.deflt);
        outFinish();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.trace) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}

TEST_F(Lookup, TextsGoToTheDestination) {
    char dest[fnameCapacity];
    std::vector<char*> argv = argvOf({"-l", "", "second", "-o=out"});
    testing::internal::CaptureStdout();
    getCmdLnParam(dest, argv.data(), "1", nullptr);
    EXPECT_STREQ(dest, "");
    getCmdLnParam(dest, argv.data(), "2", nullptr);
    EXPECT_STREQ(dest, "second");
    getCmdLnParam(dest, argv.data(), "-o", "x");
    EXPECT_STREQ(dest, "out");
    getCmdLnParam(dest, argv.data(), "-p", "dflt");
    EXPECT_STREQ(dest, "dflt");
    outFinish();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "accept CmdLn argument 1: str \"\"\naccept CmdLn argument 2: str \"second\"\n"
              "accept CmdLn switch -o: str \"out\"\n"
              "absent CmdLn switch -p: using default: str \"dflt\"\n");
}

TEST_F(Lookup, LongestNameThatFitsIsCopiedWhole) {
    char dest[fnameCapacity];
    std::string name(fnameCapacity - 1, 'n');
    std::vector<char*> argv = argvOf({name.c_str()});
    run.optionVerbose = 0;
    getCmdLnParam(dest, argv.data(), "1", nullptr);
    EXPECT_EQ(std::string(dest), name);
}

TEST_F(Lookup, EndsTheRunWhereTheLookupCannotAnswer) {
    char dest[fnameCapacity];
    std::string tooLong(fnameCapacity, 'n');
    std::vector<char*> longArgv = argvOf({tooLong.c_str()});
    EXPECT_EXIT((boundChild(), getCmdLnParam(dest, longArgv.data(), "1", nullptr)),
                testing::ExitedWithCode(127), "");
    std::vector<char*> none = argvOf({"-x"});
    EXPECT_EXIT((boundChild(), getCmdLnParam(dest, none.data(), "1", nullptr)),
                testing::ExitedWithCode(127), "");
    EXPECT_EXIT((boundChild(), getCmdLnParam(nullptr, none.data(), "-n", nullptr)),
                testing::ExitedWithCode(127), "");
    std::vector<char*> empty = argvOf({"-l1"});
    EXPECT_EXIT((boundChild(), getCmdLnParam(nullptr, empty.data(), "-l1", "5")),
                testing::ExitedWithCode(255), "");
}

} // namespace
