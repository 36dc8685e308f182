#ifndef VQ_FUZZ_FUZZSUPPORT_H
#define VQ_FUZZ_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>

// What every loader target shares: the loader's input handed over as a
// regular file in memory, and its one-line reports silenced.

// Silences the loaders' one-line reports on standard output.
void startFuzzing();

// Makes one hidden 4.1 core context current for the whole process, for a
// loader that uploads what it reads (DISPLAY must name an X server: xvfb-run
// serves).
void openFuzzContext();

// A path that reads as a regular file holding exactly data.
const char* inputFile(const uint8_t* data, size_t size);

#endif
