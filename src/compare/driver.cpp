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

// Up to n bytes from where the stream stands; fewer only at the end of the
// file or at a read error, and then all the bytes before that point.
uint32_t readUpTo(uint8_t* buf, uint32_t n, FILE* stream) {
    return static_cast<uint32_t>(fread(buf, 1, n, stream));
}

// The contract is a block loop: file 1 in buffer-fulls of bufSize_1 bytes,
// each followed by its blocks of bufSize_2 bytes of file 2, every read as long
// as still needed; the first read that delivers less than asked ends the run,
// after the block pairs before it. A read and a pass per block would cost a
// system call per block, so both files go in spans as long as the buffers
// take, and the block sizes only decide where a short file stops the run: a
// span counts up to the start of the unit (buffer-full or block) in which its
// file came up short. File 1's span is read before the spans of file 2 within
// it, as a buffer-full before its blocks, so a short file 2 there stops the
// run only where its failing block came before file 1's failing buffer-full.
// Never a byte behind the compare length. Where both files can be mapped,
// the same spans are compared in place first, as far as that goes, and the
// reads take the rest.
void compareBlocks() {
    run.fposInp1 = run.fbegInp1;
    run.fposInp2 = run.fbegInp2;
    uint32_t cmpLeft = std::min(run.flenInp1 - run.fbegInp1, run.flenInp2 - run.fbegInp2);
    uint32_t span1 = spanOf(run.bufSize_1, bufInp1Capacity);
    uint32_t span2 = spanOf(run.bufSize_2, bufInp2Capacity);
    // -s left file 1's first buffer-full and file 2's first block in the buffers.
    bool preloaded = run.buffersPreloaded;
    run.buffersPreloaded = 0;
    bool askMapped = true;
    if (cmpLeft == 0 && !preloaded) readFailed(run.InputFname1); // an empty read delivers nothing
    while (cmpLeft != 0) {
        if (askMapped && !preloaded) {
            askMapped = false;
            cmpLeft -= compareMapped(cmpLeft);
            if (cmpLeft == 0) break;
        }
        // The rest of file 1's span that the mapped comparison left, or -s's
        // first buffer-full, is in the buffer already.
        uint32_t held = preloaded ? std::min(cmpLeft, run.bufSize_1) : run.heldInp1;
        run.heldInp1 = 0;
        uint8_t* data1 = held != 0 ? run.bufInp1 : run.bufInp1 + run.fposInp1 % readAlign;
        uint32_t want1 = held != 0 ? held : std::min(cmpLeft, span1);
        uint32_t got1 = held != 0 ? held : readUpTo(data1, want1, run.fInp1);
        uint32_t whole1 = got1 == want1 ? got1 : got1 - got1 % run.bufSize_1;
        for (uint32_t at = 0; at < whole1;) {
            uint8_t* data2 = preloaded ? run.bufInp2 : run.bufInp2 + run.fposInp2 % readAlign;
            uint32_t want2 = std::min(whole1 - at, preloaded ? run.bufSize_2 : span2);
            uint32_t got2 = preloaded ? want2 : readUpTo(data2, want2, run.fInp2);
            preloaded = false;
            uint32_t whole2 = got2 == want2 ? got2 : got2 - got2 % run.bufSize_2;
            reportBlockDiffs(data1 + at, data2, whole2, whole2, run.fposInp1, run.fposInp2);
            run.fposInp1 += whole2;
            run.fposInp2 += whole2;
            at += whole2;
            if (got2 != want2) readFailed(run.InputFname2);
        }
        if (got1 != want1) readFailed(run.InputFname1);
        cmpLeft -= whole1;
    }
}

} // namespace

void readFailed(const char* fname) {
    outText("Unexpected EOF or error reading file '%s'\n", fname);
    endRun(255);
}

void readChecked(void* buf, uint32_t n, FILE* stream, const char* fname) {
    if (fread(buf, n, 1, stream) != 1) readFailed(fname);
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
