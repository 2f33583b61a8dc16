// Command-line lookups: no parsing pass and no option table. Every lookup
// scans the argument vector afresh; the switches that exist are exactly the
// names the driver asks for.
#pragma once

#include <cstdint>

// Looks up one switch ("-b1") or one positional entry ("1", "2") and returns
// its flag or number, or copies its text into dest. A default of exactly "+"
// or "-" (with no dest) makes a flag lookup; a null default makes the argument
// mandatory. Does not return on a missing mandatory argument, a malformed
// number, or a text longer than a file-name field holds.
int32_t getCmdLnParam(char* dest, char** argv, const char* name, const char* deflt);

// The index in argv of the n-th entry that is not a switch, counted from 1
// (switches anywhere are passed over), or 0 when there is none.
uint32_t positionalIndex(char** argv, uint32_t n);

// Reads a decimal or hexadecimal ("0x", "$") constant modulo 2^32; does not
// return when the text is empty or malformed (status -1).
uint32_t parseConstant(const char* text);

void printBanner();

// Prints the banner and the usage text and ends the run with status 127.
[[noreturn]] void printUsage();
