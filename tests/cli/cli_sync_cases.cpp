#include "cli_case.h"

std::vector<CliCase> syncCases() {
    return {};
}
