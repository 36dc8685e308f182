#ifndef VQ_TESTS_TESTTRACK_H
#define VQ_TESTS_TESTTRACK_H

#include <string>

// Writes an MP3 of a quiet two-tone chord lasting the given seconds, encoded
// with the lame command-line encoder. Returns false when encoding failed.
bool makeTestTrack(const std::string& path, double seconds);

// A working directory for the demo: data/ with the shader pair from the build
// and a test track of the given length. Returns the directory's data path.
std::string prepareShowDirectory(const std::string& directory, double trackSeconds);

#endif
