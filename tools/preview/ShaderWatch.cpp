#include "tools/preview/ShaderWatch.h"

namespace preview {

bool ShaderWatch::Seen::operator==(const Seen& other) const {
    if (exists != other.exists)
        return false;
    return !exists || (modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
                       size == other.size && inode == other.inode);
}

ShaderWatch::ShaderWatch(const std::vector<std::string>& paths) : paths(paths) {
    for (const std::string& path : paths)
        seen.push_back(look(path));
}

ShaderWatch::Seen ShaderWatch::look(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return Seen{false, {0, 0}, 0, 0};
    return Seen{true, status.st_mtim, status.st_size, status.st_ino};
}

bool ShaderWatch::changed() {
    bool any = false;
    for (size_t i = 0; i < paths.size(); i++) {
        Seen now = look(paths[i]);
        if (!(now == seen[i])) {
            seen[i] = now;
            any = true;
        }
    }
    return any;
}

} // namespace preview
