// The spine of one run: options, buffer geometry, opening and measuring, the
// optional synchronisation, the block loop and the hand-off to the summary.
#include "cmdline/cmdline.h"
#include "compare/compare_run.h"
#include "compare/output.h"
#include "compare/platform.h"

#include <algorithm>
#include <cstdio>

namespace {

// Holds the default text of -l1 and then of -l2 while each is looked up.
char sizeDefault[16];

const char* sizeDefaultText(uint32_t size) {
    snprintf(sizeDefault, sizeof sizeDefault, "%ld", sl(size));
    return sizeDefault;
}

void lookUpOptions(char** argv) {
    run.optionVerbose |= static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-v", "+"));
    run.optionVerbose |= static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-V", "+"));
    if (getCmdLnParam(nullptr, argv, "-?", "+")) printUsage();
    if (getCmdLnParam(nullptr, argv, "-h", "+")) printUsage();
    if (getCmdLnParam(nullptr, argv, "-H", "+")) printUsage();
    getCmdLnParam(run.InputFname1, argv, "1", nullptr);
    getCmdLnParam(run.InputFname2, argv, "2", nullptr);
    run.fbegInp1 = static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-b1", "0"));
    run.fbegInp2 = static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-b2", "0"));
    run.bufSize_1 =
        static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-l1", sizeDefaultText(0x400000)));
    run.bufSize_2 =
        static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-l2", sizeDefaultText(0x100000)));
    run.diffsLeft = static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-n", "0xffffffff"));
    run.optionSyncBegSeq |= static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-s", "+"));
    run.optionSyncBegSeq |= static_cast<uint32_t>(getCmdLnParam(nullptr, argv, "-S", "+"));
}

// bufSize_1 becomes a whole number (at least one) of bufSize_2 blocks.
void sizeBuffers() {
    if (run.bufSize_1 > bufInp1Capacity) run.bufSize_1 = bufInp1Capacity;
    if (run.bufSize_2 > bufInp2Capacity) run.bufSize_2 = bufInp2Capacity;
    if (run.bufSize_2 == 0) run.bufSize_2 = 1; // the bottom of the documented range, not a /0
    run.blocksInBuf1 = run.bufSize_1 / run.bufSize_2;
    if (run.blocksInBuf1 == 0) run.blocksInBuf1 = 1;
    run.bufSize_1 = run.blocksInBuf1 * run.bufSize_2;
    if (run.optionVerbose)
        outText("Using bufSize_1=0x%lX bufSize_2=0x%lX\n", ul(run.bufSize_1), ul(run.bufSize_2));
}

FILE* openOrEnd(const char* fname, uint32_t position) {
    FILE* stream = openInput(fname, position);
    if (stream == nullptr) {
        outText("Can't open for read file: '%s'\n", fname);
        endRun(255);
    }
    return stream;
}

// Measures a file and positions it at its start offset. A length that can't
// be told or doesn't fit the 32-bit model ends the run rather than being
// truncated into a wrong comparison.
uint32_t measureAndPosition(FILE* stream, const char* label, const char* fname, uint32_t fbeg) {
    int64_t length = measureLength(stream);
    if (length < 0) {
        outText("%s ('%s') is not a seekable file - can't measure its length\n", label, fname);
        endRun(255);
    }
    if (length >= INT64_C(0x80000000)) {
        outText("%s ('%s') is too large - only files below 2 GiB can be compared\n", label, fname);
        endRun(255);
    }
    seekTo(stream, fbeg);
    return static_cast<uint32_t>(length);
}

void openAndMeasure() {
    run.fInp1 = openOrEnd(run.InputFname1, 1);
    run.fInp2 = openOrEnd(run.InputFname2, 2);
    run.flenInp1 = measureAndPosition(run.fInp1, "File1", run.InputFname1, run.fbegInp1);
    run.flenInp2 = measureAndPosition(run.fInp2, "File2", run.InputFname2, run.fbegInp2);
    if (run.optionVerbose) {
        outText("File1 ('%s') length = %ld (0x%lX) bytes\n", run.InputFname1, sl(run.flenInp1),
                ul(run.flenInp1));
        outText("File2 ('%s') length = %ld (0x%lX) bytes\n", run.InputFname2, sl(run.flenInp2),
                ul(run.flenInp2));
    }
    if (run.flenInp1 == 0) {
        outText("File1 ('%s') has length 0 - not enought bytes to compare :(\n", run.InputFname1);
        endRun(7);
    }
    if (run.flenInp2 == 0) {
        outText("File2 ('%s') has length 0 - not enought bytes to compare :(\n", run.InputFname2);
        endRun(8);
    }
}

// The first buffer-fulls that -s reads: what each buffer takes of what lies
// behind its start offset, so that a short file with a start offset still
// fits (wrapping past the end keeps the failing read of such an offset).
void computeFirstExtents() {
    run.begLenInp1 = std::min(run.bufSize_1, run.flenInp1 - run.fbegInp1);
    run.begLenInp2 = std::min(run.bufSize_2, run.flenInp2 - run.fbegInp2);
    run.begLenMin = std::min(run.begLenInp1, run.begLenInp2);
}

void announceCompare() {
    outText("Comparing files %s and %s\n", run.InputFname1, run.InputFname2);
    if (run.optionVerbose || run.fbegInp1 != 0 || run.fbegInp2 != 0)
        outText("\nNow comparing:\n File1 ('%s') from %ld (0x%lX)\n File2 ('%s') from %ld "
                "(0x%lX).\n\n",
                run.InputFname1, sl(run.fbegInp1), ul(run.fbegInp1), run.InputFname2,
                sl(run.fbegInp2), ul(run.fbegInp2));
}

// File 1 in reads of up to bufSize_1 bytes, each compared as blocksInBuf1
// blocks against reads of up to bufSize_2 bytes of file 2; never a byte
// behind the compare length.
void compareBlocks() {
    run.fposInp1 = run.fbegInp1;
    run.fposInp2 = run.fbegInp2;
    uint32_t cmpLeft = std::min(run.flenInp1 - run.fbegInp1, run.flenInp2 - run.fbegInp2);
    for (;;) {
        uint32_t blockLen = std::min(cmpLeft, run.bufSize_1);
        if (!run.buffersPreloaded) readChecked(run.bufInp1, blockLen, run.fInp1, run.InputFname1);
        for (uint32_t i = 0; i < run.blocksInBuf1; i++) {
            blockLen = std::min(cmpLeft, run.bufSize_2);
            if (!run.buffersPreloaded)
                readChecked(run.bufInp2, blockLen, run.fInp2, run.InputFname2);
            run.buffersPreloaded = 0;
            reportBlockDiffs(run.bufInp1 + i * run.bufSize_2, run.bufInp2, blockLen, cmpLeft,
                             run.fposInp1, run.fposInp2);
            cmpLeft -= blockLen;
            run.fposInp1 += blockLen;
            run.fposInp2 += blockLen;
            if (cmpLeft == 0) return;
        }
    }
}

} // namespace

void readChecked(void* buf, uint32_t n, FILE* stream, const char* fname) {
    if (fread(buf, n, 1, stream) != 1) {
        outText("Unexpected EOF or error reading file '%s'\n", fname);
        endRun(255);
    }
}

void zebrinMain(char** argv) {
    lookUpOptions(argv);
    sizeBuffers();
    openAndMeasure();
    computeFirstExtents();
    if (run.optionSyncBegSeq) syncBegSeq();
    announceCompare();
    compareBlocks();
    if (run.optionVerbose)
        outText("End comparing: File1 ('%s') at 0x%lX and File2 ('%s') at 0x%lX\n", run.InputFname1,
                ul(tellPosition(run.fInp1)), run.InputFname2, ul(tellPosition(run.fInp2)));
    reportSummary();
}
