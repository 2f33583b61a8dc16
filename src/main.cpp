#include "compare/compare_run.h"

int main(int, char** argv) {
    zebrinMain(argv);
}
