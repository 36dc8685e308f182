#ifndef VELQUOR_SOUNDTRACK_ATOMICFILE_H
#define VELQUOR_SOUNDTRACK_ATOMICFILE_H

#include <string>
#include <vector>

namespace soundtrack {

// Writes bytes to path through a temporary file in the same directory and a
// rename, so path holds either its old content or the whole new file, never
// a part. Throws std::runtime_error naming the file and the reason.
void writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace soundtrack

#endif
