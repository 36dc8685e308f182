#ifndef VQ_ENGINE_REGULARFILE_H
#define VQ_ENGINE_REGULARFILE_H

#include <cstdio>
#include <string>

namespace vq_engine {

// Every file the engine and its programs read goes through these, so that a
// directory, a named pipe or a device in place of a data file is refused with
// its true reason instead of blocking the open or a read forever.

// Empty when path names a regular file (after following links); otherwise why
// it cannot be read as one: "No such file or directory", "is a directory",
// "is a named pipe", ... Never opens the file.
std::string regularFileProblem(const char* path);

// Opens a regular file for reading ("rb"). The open itself cannot block (it
// is made non-blocking and the file's kind is checked on the open descriptor),
// so a pipe put in place between a check and the open is refused all the
// same. Null, with the reason, on failure.
FILE* openRegularFile(const char* path, std::string& reason);

// A data file a program reads, opened as the loaders open it: empty when it
// can be read; otherwise "cannot read PATH in WORKING-DIRECTORY: why".
std::string unreadableDataReason(const char* path);

} // namespace vq_engine

#endif
