// The last word of every comparison that runs to its end: the summary line(s)
// and the status that tells a script what was found.
#include "compare/compare_run.h"
#include "compare/output.h"

namespace {

[[noreturn]] void reportLonger(const char* longer, const char* shorter, uint32_t extra,
                               int32_t status) {
    outText("FC: %s longer than %s by %ld (0x%lX) bytes\n\n", longer, shorter, sl(extra),
            ul(extra));
    endRun(status);
}

// The form for a comparison that started at a non-zero offset in either file.
[[noreturn]] void reportComparedPart() {
    outText("In compared part:\n");
    outText(" File1 ('%s') from %ld (0x%lX) to", run.InputFname1, sl(run.fbegInp1),
            ul(run.fbegInp1));
    if (run.fposInp1 == run.flenInp1) outText(" EOF");
    outText(" %ld (0x%lX)\n", sl(run.fposInp1), ul(run.fposInp1));
    outText(" File2 ('%s') from %ld (0x%lX) to", run.InputFname2, sl(run.fbegInp2),
            ul(run.fbegInp2));
    if (run.fposInp2 == run.flenInp2) outText(" EOF");
    outText(" %ld (0x%lX)\n", sl(run.fposInp2), ul(run.fposInp2));
    if (run.diffsCount == 0)
        outText(" no");
    else
        outText(" %ld (0x%lX)", sl(run.diffsCount), ul(run.diffsCount));
    uint32_t compared = run.fposInp1 - run.fbegInp1;
    outText(" differences encountered in %ld (0x%lX) bytes compared part\n\n", sl(compared),
            ul(compared));
    if (run.fposInp1 < run.flenInp1)
        outText("Note: File1 (%s) has extra %ld (0x%lX) bytes after compared part\n",
                run.InputFname1, sl(run.flenInp1 - run.fposInp1), ul(run.flenInp1 - run.fposInp1));
    if (run.fposInp2 < run.flenInp2)
        outText("Note: File2 (%s) has extra %ld (0x%lX) bytes after compared part\n",
                run.InputFname2, sl(run.flenInp2 - run.fposInp2), ul(run.flenInp2 - run.fposInp2));
    endRun(run.diffsCount == 0 ? 3 : 4);
}

} // namespace

void reportSummary() {
    if (run.fbegInp1 != 0 || run.fbegInp2 != 0) reportComparedPart();
    if (run.diffsCount == 0) {
        if (run.flenInp1 == run.flenInp2) {
            outText("FC: no differences encountered\n\n");
            endRun(0);
        }
        if (run.flenInp1 > run.flenInp2)
            reportLonger(run.InputFname1, run.InputFname2, run.flenInp1 - run.flenInp2, 1);
        reportLonger(run.InputFname2, run.InputFname1, run.flenInp2 - run.flenInp1, 2);
    }
    // A length difference is not reported when bytes differ.
    outText(" %ld (0x%lX)", sl(run.diffsCount), ul(run.diffsCount));
    outText(" differences encountered\n\n");
    endRun(9);
}
