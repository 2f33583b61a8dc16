// Runs a program (optionally through a launcher such as wine) in a folder and
// collects what it printed and how it ended, as a POSIX parent sees it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ProgramResult {
    std::string out;
    std::string err;
    int status = -1000; // exit status 0..255, or -signal when killed by one
};

// argv[0] is the program; launcher words (may be empty) go before it.
ProgramResult runProgram(const std::vector<std::string>& launcher,
                         const std::vector<std::string>& argv, const std::string& cwd);

// Splits a launcher setting such as "wine" or "qemu-i386 -L /x" on blanks.
std::vector<std::string> splitWords(const std::string& text);

// A fresh empty folder under the system's temporary folder, removed by the
// destructor with everything in it.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void writeFile(const std::string& path, const std::string& bytes);

// Deterministic pseudo-random bytes.
std::string randomBytes(size_t n, uint32_t seed);
