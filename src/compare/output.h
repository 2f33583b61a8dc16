// The one place that writes standard output.
//
// Difference lines are formatted by table into a buffer of our own; every
// other text goes through printf after that buffer has been handed on, so the
// order of everything printed is the order in which it was produced.
#pragma once

#include <cstdarg>
#include <cstdint>

// "%ld" and "%lX" in the program's texts mean a 32-bit value on every build:
// these widen it to the host's long the way a 32-bit long would read it.
inline long sl(uint32_t v) {
    return static_cast<long>(static_cast<int32_t>(v));
}
inline unsigned long ul(uint32_t v) {
    return static_cast<unsigned long>(v);
}

void outText(const char* format, ...) __attribute__((format(printf, 1, 2)));
void outTextV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// "%08lX: %02X %02X\n"
void outDiffShort(uint32_t off1, uint8_t b1, uint8_t b2);
// "%08lX: %02X %02X :%08lX\n"
void outDiffLong(uint32_t off1, uint8_t b1, uint8_t b2, uint32_t off2);

// Hands everything on to the C library and flushes it; false when any write
// to standard output has failed during the run.
bool outFinish();

// The exit seam: every end of a run passes here. Flushes the output and ends
// the process with status, or with 255 when standard output lost anything.
[[noreturn]] void endRun(int32_t status);

// Ends the process as the deliverable's platform does (the last step of endRun).
[[noreturn]] void platformExit(int32_t status);
