#ifndef VELQUOR_TOOLS_TEMPDIR_H
#define VELQUOR_TOOLS_TEMPDIR_H

#include <string>

namespace tools {

// A fresh directory /tmp/PREFIX-XXXXXX, removed with all it holds by the
// destructor. When none can be made, path is /tmp itself, which is kept.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "velquor-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;

private:
    bool made = false;
};

// The whole file, or empty when it cannot be read.
std::string readTextFile(const std::string& path);

} // namespace tools

#endif
