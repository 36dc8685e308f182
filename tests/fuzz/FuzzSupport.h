#ifndef VQ_FUZZ_FUZZSUPPORT_H
#define VQ_FUZZ_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>

// What every loader target shares: the loader's input handed over as a
// regular file in memory, and its one-line reports silenced. No target needs
// a display or a GL context.

// Silences the loaders' one-line reports on standard output.
void startFuzzing();

// A path that reads as a regular file holding exactly data.
const char* inputFile(const uint8_t* data, size_t size);

#endif
