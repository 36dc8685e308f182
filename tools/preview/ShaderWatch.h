#ifndef VELQUOR_PREVIEW_SHADERWATCH_H
#define VELQUOR_PREVIEW_SHADERWATCH_H

#include <sys/stat.h>

#include <string>
#include <vector>

namespace preview {

// Notices when any of a few files is written, replaced or removed, by
// comparing what stat says of each with what it said last time; cheap enough
// to ask every frame.
class ShaderWatch {
public:
    explicit ShaderWatch(const std::vector<std::string>& paths);
    // Whether any file changed since the last call or since construction.
    bool changed();

private:
    struct Seen {
        bool exists;
        struct timespec modified;
        off_t size;
        ino_t inode;
        bool operator==(const Seen& other) const;
    };
    static Seen look(const std::string& path);

    std::vector<std::string> paths;
    std::vector<Seen> seen;
};

} // namespace preview

#endif
