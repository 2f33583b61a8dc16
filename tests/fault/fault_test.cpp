// Faults in the middle of a run. A read of file 1 or file 2 fails, or the file
// shrinks or grows after it was measured (through the preload library named
// by ZEBRIN_FAULT_LIBRARY); or standard output fails. Every difference line
// found before a failed read stays printed, in order, and the read message
// naming the right file ends the run; standard output that can't take the
// output turns any result into status 255 with one line on standard error.
#include "case_name.h"
#include "run_program.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string env(const char* name) {
    const char* v = getenv(name);
    return v != nullptr ? v : "";
}

// 64 bytes 0x20..0x5F; file b differs from it at 3, 20, 37 and 50.
std::string content() {
    std::string s;
    for (int i = 0; i < 64; i++)
        s += static_cast<char>(0x20 + i);
    return s;
}

std::string changedContent() {
    std::string s = content();
    for (size_t at : {3u, 20u, 37u, 50u})
        s[at] = '~';
    return s;
}

const std::string comparing = "Comparing files a and b\n";
const std::string diff3 = "00000003: 23 7E\n", diff20 = "00000014: 34 7E\n",
                  diff37 = "00000025: 45 7E\n", diff50 = "00000032: 52 7E\n";
const std::string allDiffs = diff3 + diff20 + diff37 + diff50;
const std::string readA = "Unexpected EOF or error reading file 'a'\n";
const std::string readB = "Unexpected EOF or error reading file 'b'\n";

// With -s, file a is three extra bytes and the content; b the content with
// one difference at 20. The search advances file 1 by 3.
const std::string syncedPreamble = comparing + "\nNow comparing:\n File1 ('a') from 3 (0x3)\n"
                                               " File2 ('b') from 0 (0x0).\n\n";
const std::string syncedDiff = "00000017: 34 7E :00000014\n";

struct FaultCase {
    std::string name;
    bool sync;
    std::string file; // whose read meets the fault
    int at;           // at the offset that read covers
    std::string action;
    std::string out;
    int status;
    std::string file2 = ""; // and a fault of the other file likewise
    int at2 = 0;
    std::string metBy = ""; // "map": the fault must be met at a mapping of the file
    // Larger files and their switches, in place of the 64-byte ones
    void (*makeFiles)(const TempDir&) = nullptr;
    std::vector<std::string> args = {};
    std::string stdoutAction = ""; // shrink:N: the file shrinks during a write
};

// Large files, compared through mappings: a span of file 2 fails after a
// difference in it, the held rest of file 1's span compared with what file 2
// delivers before its fault. Bytes cycle with a prime period, so that bytes
// taken from the wrong place differ.
constexpr uint32_t spanFaultSize = 0x280001;

uint8_t cycled(uint32_t at) {
    return static_cast<uint8_t>(at % 251);
}

void cycledFiles(const TempDir& dir, uint32_t size) {
    std::string a(size, 0);
    for (uint32_t i = 0; i < size; i++)
        a[i] = static_cast<char>(cycled(i));
    std::string b = a;
    for (uint32_t at : {0x100u, 0x180000u, 0x440000u})
        if (at < size) b[at] = '~';
    writeFile(dir.file("a"), a);
    writeFile(dir.file("b"), b);
}

void spanFaultFiles(const TempDir& dir) {
    cycledFiles(dir, spanFaultSize);
}

// Two spans of file 1: the reads go on after the held rest of the first.
void twoSpanFiles(const TempDir& dir) {
    cycledFiles(dir, 0x480001);
}

// 16 MiB, equal: long enough for the trial of mapping against reading.
void trialFiles(const TempDir& dir) {
    std::string a(0x1000000, 0);
    for (uint32_t i = 0; i < a.size(); i++)
        a[i] = static_cast<char>(cycled(i));
    writeFile(dir.file("a"), a);
    writeFile(dir.file("b"), a);
}

// Every byte differs: more lines than one hand-over to standard output takes.
void allDifferFiles(const TempDir& dir) {
    writeFile(dir.file("a"), std::string(8000, 'A'));
    writeFile(dir.file("b"), std::string(8000, 'B'));
}

const std::string spanFaultOut = comparing + "\nNow comparing:\n File1 ('a') from 1 (0x1)\n"
                                             " File2 ('b') from 1 (0x1).\n\n"
                                             "00000100: 05 7E\n00180000: 62 7E\n";

// The lines of the all-differ files compared from 2000 on, up to the first
// hand-over of the line buffer (4095 lines).
std::string firstHandOver() {
    std::string out = comparing + "\nNow comparing:\n File1 ('a') from 2000 (0x7D0)\n"
                                  " File2 ('b') from 2000 (0x7D0).\n\n";
    char line[32];
    for (uint32_t at = 2000; at < 2000 + 4095; at++) {
        snprintf(line, sizeof line, "%08X: 41 42\n", at);
        out += line;
    }
    return out;
}

// A case on large files, with their own switches.
FaultCase onLarge(FaultCase c, void (*makeFiles)(const TempDir&), std::vector<std::string> args,
                  std::string stdoutAction = "") {
    c.makeFiles = makeFiles;
    c.args = std::move(args);
    c.stdoutAction = std::move(stdoutAction);
    return c;
}

// Plain runs use -l1=32 -l2=16: the program's reads are file a as 32 + 32
// bytes and file b as four times 16, in the order a[0,32) b[0,16) b[16,32)
// a[32,64) b[32,48) b[48,64); the first that comes up short ends the run.
// Synchronised runs use -l1=16 -l2=16: a[0,16) and b[0,16) load the first
// buffer-fulls, a[16,19) tops up after the shift, then a[19,35) b[16,32)
// a[35,51) b[32,48) a[51,67) b[48,64).
std::vector<FaultCase> faultCases() {
    return {
        {"first read of file 1 fails", false, "a", 10, "eio", comparing + readA, 255},
        {"first read of file 2 fails", false, "b", 5, "eio", comparing + readB, 255},
        {"second read of file 2 fails", false, "b", 25, "eio", comparing + diff3 + readB, 255},
        {"second read of file 1 fails", false, "a", 40, "eio", comparing + diff3 + diff20 + readA,
         255},
        {"last read of file 2 fails", false, "b", 55, "eio",
         comparing + diff3 + diff20 + diff37 + readB, 255},
        // A read that came up short ends the run even when the next one would
        // deliver again: reading on would put file 2's bytes out of place.
        {"file 2's read comes up short once", false, "b", 25, "once", comparing + diff3 + readB,
         255},
        // Both files short: the read that comes first in that order names its
        // file, whichever of the two a reader finds short first.
        {"both fail and file 1's second read comes first", false, "a", 60, "eio",
         comparing + diff3 + diff20 + readA, 255, "b", 40},
        {"both fail and file 2's second read comes first", false, "a", 40, "eio",
         comparing + diff3 + readB, 255, "b", 20},
        {"file 1 shrinks before its second read", false, "a", 32, "truncate:40",
         comparing + diff3 + diff20 + readA, 255},
        {"file 2 shrinks before its last read", false, "b", 48, "truncate:50",
         comparing + diff3 + diff20 + diff37 + readB, 255},
        {"file 2 empties before its first read", false, "b", 0, "truncate:0", comparing + readB,
         255},
        // Where the files are mapped, the shrink comes between measuring and
        // the first touch of a page, which faults: the run goes on by reads.
        {"file 1 empties before it is mapped", false, "a", 40, "truncate:0", comparing + readA, 255,
         "", 0, "map"},
        // Growth after measuring: the measured lengths are compared, and
        // nothing past them is read.
        {"file 1 grows before its first read", false, "a", 0, "extend:100",
         comparing + allDiffs + " 4 (0x4) differences encountered\n\n", 9},
        {"file 2 grows before its last read", false, "b", 48, "extend:5",
         comparing + allDiffs + " 4 (0x4) differences encountered\n\n", 9},
        {"-s first buffer-full of file 1 fails", true, "a", 8, "eio", readA, 255},
        {"-s first buffer-full of file 2 fails", true, "b", 8, "eio", readB, 255},
        {"-s top-up after the shift fails", true, "a", 17, "eio", readA, 255},
        {"-s file 1 shrinks before its first buffer-full", true, "a", 0, "truncate:10", readA, 255},
        {"-s block loop read of file 2 fails", true, "b", 40, "eio",
         syncedPreamble + syncedDiff + readB, 255},
        {"-s file 1 shrinks in the block loop", true, "a", 35, "truncate:40",
         syncedPreamble + syncedDiff + readA, 255},
        // A span of file 2 fails, or shrinks, past a difference in it.
        onLarge({"file 2's second span fails after a difference", false, "b", 0x200000, "eio",
                 spanFaultOut + readB, 255},
                spanFaultFiles, {"-b1=1", "-b2=1", "-l2=0x10000"}),
        onLarge({"file 2 shrinks in its second span after a difference", false, "b", 0x1A0000,
                 "truncate:1703936", spanFaultOut + readB, 255},
                spanFaultFiles, {"-b1=1", "-b2=1", "-l2=0x10000"}),
        // File 2's span can't be mapped where file 1's was: the reads
        // compare the rest of file 1's span and go on from behind it.
        onLarge({"file 2's second span can't be mapped", false, "b", 0x1A0000, "nomap",
                 comparing + "00000100: 05 7E\n00180000: 62 7E\n00440000: C2 7E\n" +
                     " 3 (0x3) differences encountered\n\n",
                 9, "", 0, "map"},
                twoSpanFiles, {"-l2=0x10000"}),
        // The trial maps the first pages of a long file 1 under the handler
        // too: a page that fails there leaves the run to the reads.
        onLarge({"a page fails in the trial", false, "a", 0x20001, "eio", comparing + readA, 255},
                trialFiles, {}),
        // The program waits on a full pipe while a file is cut: the lines
        // found after that reach no one. File 1 keeps the page that was the
        // compare's last (read as zeros behind its new end); file 2 loses
        // it (a fault while comparing).
        onLarge({"file 1 shrinks while lines are written", false, "a", 1 << 30, "truncate:7000",
                 firstHandOver() + readA, 255},
                allDifferFiles, {"-b1=2000", "-b2=2000"}, "shrink:1"),
        onLarge({"file 2 shrinks while lines are written", false, "b", 1 << 30, "truncate:4000",
                 firstHandOver() + readB, 255},
                allDifferFiles, {"-b1=2000", "-b2=2000"}, "shrink:1"),
        // No file named: the fault is on standard output, a reader that
        // takes a few bytes at a time.
        {"standard output takes 5 bytes a write", false, "", 0, "most:5",
         comparing + allDiffs + " 4 (0x4) differences encountered\n\n", 9},
    };
}

class FaultTable : public testing::TestWithParam<FaultCase> {};

// The two files of a case: plain runs compare content() with changedContent(),
// synchronised ones "xyz" + content() with content() changed at 20.
void writeCaseFiles(const TempDir& dir, bool sync) {
    if (sync) {
        writeFile(dir.file("a"), "xyz" + content());
        std::string b = content();
        b[20] = '~';
        writeFile(dir.file("b"), b);
    } else {
        writeFile(dir.file("a"), content());
        writeFile(dir.file("b"), changedContent());
    }
}

// Runs the program on the case's files under the preload library; an empty
// file name runs it without a fault.
ProgramResult runWithFault(const TempDir& dir, bool sync, const std::string& file, int at,
                           const std::string& action, const std::string& file2 = "", int at2 = 0,
                           const std::vector<std::string>* ownSwitches = nullptr,
                           const std::string& stdoutAction = "") {
    std::vector<std::string> launcher{"env", "LD_PRELOAD=" + env("ZEBRIN_FAULT_LIBRARY"),
                                      // A sanitizer build must accept a preload ahead of it.
                                      "ASAN_OPTIONS=verify_asan_link_order=0"};
    if (!file.empty())
        launcher.insert(launcher.end(),
                        {"ZEBRIN_FAULT_FILE=" + file, "ZEBRIN_FAULT_AT=" + std::to_string(at),
                         "ZEBRIN_FAULT_ACTION=" + action, "ZEBRIN_FAULT_MARK=fault-met"});
    else if (!action.empty())
        launcher.push_back("ZEBRIN_FAULT_STDOUT=" + action);
    if (!stdoutAction.empty()) launcher.push_back("ZEBRIN_FAULT_STDOUT=" + stdoutAction);
    if (!file2.empty())
        launcher.insert(launcher.end(),
                        {"ZEBRIN_FAULT_FILE2=" + file2, "ZEBRIN_FAULT_AT2=" + std::to_string(at2)});
    std::vector<std::string> argv{env("ZEBRIN_PROGRAM")};
    if (ownSwitches != nullptr)
        argv.insert(argv.end(), ownSwitches->begin(), ownSwitches->end());
    else if (sync)
        argv.insert(argv.end(), {"-s", "-l1=16", "-l2=16"});
    else
        argv.insert(argv.end(), {"-l1=32", "-l2=16"});
    argv.insert(argv.end(), {"a", "b"});
    return runProgram(throughLauncher(env("ZEBRIN_LAUNCHER"), launcher), argv, dir.path);
}

// Whether the program maps files in the temporary folder: it maps only on
// local file systems it knows (a build machine's folder may be on an overlay
// or a network file system), and reads elsewhere. Asked of the program itself,
// once: a mapping refused at the first byte of file 1 leaves a mark.
bool programMapsHere() {
    static const bool maps = [] {
        TempDir dir;
        writeCaseFiles(dir, false);
        runWithFault(dir, false, "a", 0, "nomap");
        return access(dir.file("fault-met").c_str(), F_OK) == 0;
    }();
    return maps;
}

TEST_P(FaultTable, LinesBeforeTheReadMessageAndStatus) {
    const FaultCase& c = GetParam();
    // These rows hold the mapped walk to the reads' result; where it doesn't
    // run, the reads' own rows cover the rest.
    if ((c.metBy == "map" || !c.stdoutAction.empty()) && !programMapsHere())
        GTEST_SKIP() << "the temporary folder's file system is read, not mapped";
    TempDir dir;
    if (c.makeFiles != nullptr)
        c.makeFiles(dir);
    else
        writeCaseFiles(dir, c.sync);
    ProgramResult r = runWithFault(dir, c.sync, c.file, c.at, c.action, c.file2, c.at2,
                                   c.makeFiles != nullptr ? &c.args : nullptr, c.stdoutAction);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "");
    if (!c.metBy.empty()) {
        std::ifstream mark(dir.file("fault-met"));
        std::string firstMet;
        std::getline(mark, firstMet);
        EXPECT_EQ(firstMet, c.metBy);
    }
}

// A read of either file fails at offsets all through it, or the file shrinks
// before it: the run ends with the read message naming that file, after the
// beginning of what the undisturbed run prints and without its summary. A fault that is
// never met (a read that doesn't come) leaves the run as it was.
TEST(FaultSweep, EveryReadOfEitherFile) {
    int met = 0;
    for (bool sync : {false, true}) {
        TempDir clean;
        writeCaseFiles(clean, sync);
        ProgramResult undisturbed = runWithFault(clean, sync, "", 0, "");
        for (std::string file : {"a", "b"}) {
            for (std::string action : {"eio", "truncate:0", "truncate:20", "truncate:40"}) {
                for (int at : {0, 13, 26, 39, 52, 65}) {
                    SCOPED_TRACE((sync ? "-s, " : "") + action + " at offset " +
                                 std::to_string(at) + " of " + file);
                    TempDir dir;
                    writeCaseFiles(dir, sync);
                    ProgramResult r = runWithFault(dir, sync, file, at, action);
                    EXPECT_EQ(r.err, "");
                    if (access(dir.file("fault-met").c_str(), F_OK) != 0) {
                        EXPECT_EQ(r.out, undisturbed.out);
                        EXPECT_EQ(r.status, undisturbed.status);
                        continue;
                    }
                    met++;
                    EXPECT_EQ(r.status, 255);
                    std::string message = "Unexpected EOF or error reading file '" + file + "'\n";
                    ASSERT_GE(r.out.size(), message.size());
                    size_t cut = r.out.size() - message.size();
                    EXPECT_EQ(r.out.substr(cut), message);
                    EXPECT_EQ(undisturbed.out.compare(0, cut, r.out, 0, cut), 0)
                        << "not the beginning of the undisturbed output:\n"
                        << r.out;
                    EXPECT_EQ(r.out.find("differences encountered"), std::string::npos);
                }
            }
        }
    }
    // Every offset is read but 65, which only file a of the synchronised runs
    // has (67 bytes): each of the 4 kinds of fault met at 5 + 5 + 6 + 5 places.
    EXPECT_EQ(met, 4 * (5 + 5 + 6 + 5));
}

TEST(FaultLibrary, WithoutAFaultTheRunIsUntouched) {
    TempDir dir;
    writeCaseFiles(dir, false);
    ProgramResult r = runWithFault(dir, false, "", 0, "");
    EXPECT_EQ(r.out, comparing + allDiffs + " 4 (0x4) differences encountered\n\n");
    EXPECT_EQ(r.status, 9);
}

INSTANTIATE_TEST_SUITE_P(Reads, FaultTable, testing::ValuesIn(faultCases()), caseName<FaultCase>);

// Standard output that can't take the output.
// WriteFailsOnce: the second write of the lines fails with EAGAIN, as a
// non-blocking descriptor's does when its reader lags, and the rest succeed.
enum class Sink {
    DevFull,
    ReadOnly,
    PipeWithoutReader,
    PipeWithoutReaderSigpipeIgnored,
    WriteFailsOnce
};

struct Ended {
    int status; // exit status, or -signal
    std::string err;
};

Ended runWithSink(const std::vector<std::string>& args, const std::string& cwd, Sink sink) {
    std::vector<std::string> launcher;
    if (sink == Sink::WriteFailsOnce)
        launcher = {"env", "LD_PRELOAD=" + env("ZEBRIN_FAULT_LIBRARY"),
                    "ASAN_OPTIONS=verify_asan_link_order=0", "ZEBRIN_FAULT_STDOUT=eagain:2"};
    std::vector<std::string> words = throughLauncher(env("ZEBRIN_LAUNCHER"), launcher);
    words.push_back(env("ZEBRIN_PROGRAM"));
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int errPipe[2], outPipe[2];
    if (pipe(errPipe) != 0 || pipe(outPipe) != 0) throw std::runtime_error("pipe failed");
    close(outPipe[0]); // a pipe that nobody reads any more
    pid_t pid = fork();
    if (pid == 0) {
        boundChild();
        dup2(errPipe[1], 2);
        close(errPipe[0]);
        if (sink == Sink::DevFull) dup2(open("/dev/full", O_WRONLY), 1);
        // As a closed descriptor does, whatever else the program finds open.
        if (sink == Sink::ReadOnly) dup2(open("/dev/null", O_RDONLY), 1);
        if (sink == Sink::PipeWithoutReader || sink == Sink::PipeWithoutReaderSigpipeIgnored)
            dup2(outPipe[1], 1);
        if (sink == Sink::WriteFailsOnce) dup2(open("/dev/null", O_WRONLY), 1);
        signal(SIGPIPE, sink == Sink::PipeWithoutReaderSigpipeIgnored ? SIG_IGN : SIG_DFL);
        if (chdir(cwd.c_str()) != 0) _exit(126);
        execvp(argv[0], argv.data());
        _exit(126);
    }
    close(errPipe[1]);
    close(outPipe[1]);
    Ended e;
    char buf[4096];
    for (ssize_t n; (n = read(errPipe[0], buf, sizeof buf)) > 0;)
        e.err.append(buf, static_cast<size_t>(n));
    close(errPipe[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    e.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -WTERMSIG(wstatus);
    return e;
}

struct SinkCase {
    std::string name;
    std::vector<std::string> args;
    Sink sink;
};

const std::string writeError = "zebrin: error writing standard output\n";

class FailingOutput : public testing::TestWithParam<SinkCase> {};

TEST_P(FailingOutput, EndsWithStatus255AndOneLineOnStandardError) {
    const SinkCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("a"), content());
    writeFile(dir.file("b"), changedContent());
    // 100,000 differing bytes: more lines than the program's own line buffer.
    writeFile(dir.file("big1"), std::string(100000, 'x'));
    writeFile(dir.file("big2"), std::string(100000, 'y'));
    // 400,000: hand-overs of the line buffer fail for long after the first.
    writeFile(dir.file("huge1"), std::string(400000, 'x'));
    writeFile(dir.file("huge2"), std::string(400000, 'y'));
    Ended e = runWithSink(c.args, dir.path, c.sink);
    EXPECT_EQ(e.status, 255);
    EXPECT_EQ(e.err, writeError);
}

INSTANTIATE_TEST_SUITE_P(
    Sinks, FailingOutput,
    testing::ValuesIn(std::vector<SinkCase>{
        {"equal files to dev full", {"a", "a"}, Sink::DevFull},
        {"differences to dev full", {"a", "b"}, Sink::DevFull},
        {"many lines to dev full", {"big1", "big2"}, Sink::DevFull},
        {"6.4 MB of lines to dev full", {"huge1", "huge2"}, Sink::DevFull},
        {"usage to dev full", {"-?"}, Sink::DevFull},
        {"read error to dev full", {"a", "missing"}, Sink::DevFull},
        {"limit stop to dev full", {"-n1", "a", "b"}, Sink::DevFull},
        {"verbose to dev full", {"-v", "-s", "a", "b"}, Sink::DevFull},
        // The last line, a note naming file 1 by a 4094-character path, is
        // longer than the stream's buffer: its failed write leaves nothing
        // for the final flush to fail on.
        {"long last text line to dev full",
         {"-b2=1", "./" + std::string(4088, '/') + "big1", "big1"},
         Sink::DevFull},
        {"one write of many lines fails once", {"big1", "big2"}, Sink::WriteFailsOnce},
        {"equal files to a read-only descriptor", {"a", "a"}, Sink::ReadOnly},
        {"many lines to a read-only descriptor", {"big1", "big2"}, Sink::ReadOnly},
        {"bad number to a read-only descriptor", {"-n=x", "a", "b"}, Sink::ReadOnly},
        {"pipe without reader when the caller ignores SIGPIPE",
         {"a", "b"},
         Sink::PipeWithoutReaderSigpipeIgnored},
    }),
    caseName<SinkCase>);

TEST(FailingOutput, PipeWithoutReaderEndsBySigpipe) {
    TempDir dir;
    writeFile(dir.file("a"), content());
    writeFile(dir.file("b"), changedContent());
    Ended e = runWithSink({"a", "b"}, dir.path, Sink::PipeWithoutReader);
    EXPECT_EQ(e.status, -SIGPIPE);
    EXPECT_EQ(e.err, "");
}

} // namespace
