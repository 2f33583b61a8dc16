// One row of the command-line table: the files a case creates, the arguments,
// the whole expected standard output and the exit status a POSIX parent sees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum Deliverable : unsigned { Native = 1, Linux = 2, Con32 = 4, Posix32 = 8, AllDeliverables = 15 };

struct CaseFile {
    std::string name;
    std::string bytes;
    bool isDirectory = false;
    bool isFifo = false;
    // Non-zero: the file is this long and sparse, a hole of zeros followed
    // by bytes (sizes of 2 GiB and more cost no disk space).
    uint64_t sparseLength = 0;
};

// A sparse file of the given length that ends with bytes.
inline CaseFile sparseFile(const std::string& name, uint64_t length,
                           const std::string& bytes = "") {
    return {name, bytes, false, false, length};
}

struct CliCase {
    std::string name;
    std::vector<CaseFile> files;
    std::vector<std::string> args; // "@DIR@", here and in out, is the case's folder
    std::string out;               // "@USAGE@" stands for the banner and usage text
    int status;
    unsigned on = AllDeliverables; // where the case holds as written
};

// The table, grouped by concern.
std::vector<CliCase> commandLineCases();
std::vector<CliCase> driverCases();
std::vector<CliCase> differenceCases();
std::vector<CliCase> summaryCases();
std::vector<CliCase> syncCases();
std::vector<CliCase> flushCases();
std::vector<CliCase> hostileNameCases();
std::vector<CliCase> hostileNumberCases();
std::vector<CliCase> hostileRunCases();
