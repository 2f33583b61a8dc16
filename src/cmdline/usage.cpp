#include "cmdline/cmdline.h"

#include "compare/compare_run.h"
#include "compare/output.h"

void printBanner() {
    // The release date is each deliverable's own build setting.
    outText("\n"
            "  ZEBRIN: byte-by-byte file comparer\n"
            "  Version 1.0  by the ZEBRIN developers, " ZEBRIN_RELEASE_DATE "\n"
            "  https://zebrin.example.org/\n"
            "  https://mirror.example.org/zebrin/\n");
}

void printUsage() {
    printBanner();
    outText("\n  Usage: ZEBRIN [switches] InputFname1 InputFname2\n  switches:\n"
            "    -l1$XXXXXXXX - buffer1len: 1...0x%lX bytes (default 0x%lX)\n"
            "    -l2$XXXXXXXX - buffer2len: 1...0x%lX bytes (default 0x%lX)\n"
            "    -b1$XXXXXXXX - file 1 beg (default 0)\n"
            "    -b2$XXXXXXXX - file 2 beg (default 0)\n"
            "    -n$XXXXXXXX  - stop after n numer of diffs (default 0xffffffff)\n"
            "    -v           - Verbose output\n"
            "    -s           - Sync beginning search in first [buffer2len] bytes\n"
            "    -?, -h       - this help message\n  ",
            ul(bufInp1Capacity), ul(bufInp1Capacity), ul(bufInp2Capacity), ul(bufInp2Capacity));
    endRun(127);
}
