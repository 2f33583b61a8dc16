// What the engine needs of its platform's files beyond plain fread: opening,
// measuring and positioning with 64-bit offsets, whatever the width of long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Opens a file for binary reading, unbuffered (the engine's own buffers are
// the only copy) and marked for sequential reading. Null when it can't be
// opened or is a directory. Never waits for a writer on a FIFO. position is
// the name's place among the command line's file names (1 or 2), where a
// platform whose file names are wider than the program's texts finds the
// name as it was given.
FILE* openInput(const char* fname, uint32_t position);

// Seeks to the end and tells the position there: the file's length, or -1
// when the stream can't be positioned (a pipe, a FIFO).
int64_t measureLength(FILE* stream);

// Positions at an absolute offset; the result is deliberately not checked:
// an offset behind the end shows up as a short read later.
void seekTo(FILE* stream, uint32_t offset);

// The stream's position, taken as a 32-bit value.
uint32_t tellPosition(FILE* stream);

// Hands n bytes to standard output after whatever the C library still holds
// for it, in as few writes as the platform allows; false when a write failed.
bool writeStdout(const char* bytes, size_t n);
