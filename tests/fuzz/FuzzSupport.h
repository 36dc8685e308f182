#ifndef VQ_FUZZ_FUZZSUPPORT_H
#define VQ_FUZZ_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>

// What every loader target shares. The loaders read files and upload what
// they read, so each target runs against one hidden 4.1 core context made
// once per process, and hands the loader its input as a regular file in
// memory.

// Makes the context current (DISPLAY must name an X server: xvfb-run serves)
// and silences the loaders' one-line reports on standard output.
void startFuzzing();

// A path that reads as a regular file holding exactly data.
const char* inputFile(const uint8_t* data, size_t size);

#endif
