#include "compare/compare_run.h"

// The whole run state, about 5 MiB, reserved when the program is loaded.
CompareRun run;
