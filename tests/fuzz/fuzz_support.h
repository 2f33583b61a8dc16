// What the fuzz targets share: a whole run of the program that ends back in
// the harness instead of ending the process, with a fresh run state each time.
#pragma once

#include <cstdint>
#include <string>

// Runs the program's main path over argv (null-terminated, argv[0] the
// program's name) and returns the status with which the run ended.
int32_t runZebrin(char** argv);

// Whether parseConstant accepts text, and its value then; the run's output
// (the error message) goes wherever standard output points.
bool parseConstantInHarness(const char* text, uint32_t& value);

// Makes a fresh empty folder under the temporary folder and makes it the
// current one, so that the targets' relative file names stay inside it.
void enterScratchFolder();

void writeScratchFile(const char* name, const uint8_t* bytes, size_t n);

// Points standard output at fd for good (the target's own sink).
void redirectStandardOutput(int fd);

// Ends the fuzzer with a finding: libFuzzer records the input that caused it.
[[noreturn]] void propertyBroken(const std::string& what);
