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

// What a program started by a test may use: a faulty one that loops ends
// with a failing test, not a full disk or a stalled run. Far above what any
// test needs (its largest output is some 6 MB).
constexpr long long childFileBytes = 64LL << 20; // of any file it writes
constexpr long long childCpuSeconds = 60;
// Bounds the calling process, and so every process it starts, to the above
// and to no core files; for the child side of a fork.
void boundChild();

// argv[0] is the program; launcher words (may be empty) go before it. The
// program runs bounded by boundChild(); of what it prints, at most
// childFileBytes of each stream are collected, and a program that prints
// more is killed.
ProgramResult runProgram(const std::vector<std::string>& launcher,
                         const std::vector<std::string>& argv, const std::string& cwd);

// Splits a launcher setting such as "wine" or "qemu-i386 -L /x" on blanks.
std::vector<std::string> splitWords(const std::string& text);

// The launcher words that start the program under test: envCommand (empty,
// or "env" and settings "NAME=VALUE" for the program's environment) when
// emulator is empty, else the words of emulator, a user-mode emulator such as
// "qemu-aarch64 -L /usr/aarch64-linux-gnu", with each setting handed to the
// emulated program (its -E option): a preload library is the program's, and
// the emulator itself could not load it.
std::vector<std::string> throughLauncher(const std::string& emulator,
                                         const std::vector<std::string>& envCommand);

// A fresh empty folder under the system's temporary folder, removed by the
// destructor with everything in it. Its owner holds a lock on it while it
// lives; a test stopped by its time limit leaves its folder behind, so the
// first TempDir of a process removes the folders that nobody holds any more.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
    int lock;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void writeFile(const std::string& path, const std::string& bytes);

// Deterministic pseudo-random bytes.
std::string randomBytes(size_t n, uint32_t seed);
