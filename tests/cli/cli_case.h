// One row of the command-line table: the files a case creates, the arguments,
// the whole expected standard output and the exit status a POSIX parent sees.
#pragma once

#include <string>
#include <vector>

enum Deliverable : unsigned { Native = 1, Linux = 2, Con32 = 4, Posix32 = 8, AllDeliverables = 15 };

struct CaseFile {
    std::string name;
    std::string bytes;
    bool isDirectory = false;
    bool isFifo = false;
};

struct CliCase {
    std::string name;
    std::vector<CaseFile> files;
    std::vector<std::string> args;
    std::string out; // "@USAGE@" stands for the banner and usage text
    int status;
    unsigned on = AllDeliverables; // where the case holds as written
};

// The table, grouped by concern.
std::vector<CliCase> commandLineCases();
std::vector<CliCase> driverCases();
std::vector<CliCase> differenceCases();
std::vector<CliCase> summaryCases();
std::vector<CliCase> syncCases();
std::vector<CliCase> hostileNameCases();
std::vector<CliCase> hostileNumberCases();
std::vector<CliCase> hostileRunCases();
