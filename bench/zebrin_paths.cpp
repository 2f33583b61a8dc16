// ZEBRIN with its use of mappings fixed, so that the benchmark sets the paths
// side by side in one run: built by run.sh against the release build's engine
// as zebrin_reads (never) and zebrin_mapped (always, without the trial).
#include "compare/compare_run.h"

int main(int, char** argv) {
    mappingUse = MappingUse::ZEBRIN_MAPPING_USE;
    zebrinMain(argv);
}
