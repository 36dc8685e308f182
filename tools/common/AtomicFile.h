#ifndef VELQUOR_TOOLS_ATOMICFILE_H
#define VELQUOR_TOOLS_ATOMICFILE_H

#include <cstdio>
#include <string>
#include <vector>

namespace tools {

// A file written under a temporary name in its directory and renamed to its
// path only once whole, so the path holds either its old content or the
// whole new file, never a part. The temporary goes with the object unless
// commit() renamed it.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Makes the temporary file and opens file on it; an error naming the
    // path and the reason, or empty.
    std::string open();
    // Closes the file (first writing it to the disk, when durable) and
    // renames it to the path; an error naming the path, or empty.
    std::string commit(bool durable);

    const std::string path;
    FILE* file = nullptr;

private:
    std::string failed(int error);

    std::string temporary;
};

// The directory a path names a file in: "." for a bare name.
std::string directoryOf(const std::string& path);

// The bytes as the whole content of path, on the disk; an error naming the
// file and the reason, or empty.
std::string writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace tools

#endif
