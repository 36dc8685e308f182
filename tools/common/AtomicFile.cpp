#include "tools/common/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tools {

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

std::string baseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

AtomicFile::AtomicFile(const std::string& path) : path(path) {}

AtomicFile::~AtomicFile() {
    if (file)
        std::fclose(file);
    if (!temporary.empty())
        unlink(temporary.c_str());
}

std::string AtomicFile::open() {
    std::string name = directoryOf(path) + "/." + baseNameOf(path) + ".XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0)
        return "cannot write " + path + ": " + std::strerror(errno);
    temporary = name;
    // mkstemp makes the file private; what the tools write is ordinary data.
    file = fchmod(fd, 0644) == 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        int error = errno;
        close(fd);
        return failed(error);
    }
    return "";
}

std::string AtomicFile::commit(bool durable) {
    int error = std::fflush(file) != 0 || std::ferror(file) ? (errno ? errno : EIO) : 0;
    if (error == 0 && durable && fsync(fileno(file)) != 0)
        error = errno;
    if (std::fclose(file) != 0 && error == 0)
        error = errno ? errno : EIO;
    file = nullptr;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        return failed(error);
    temporary.clear();
    return "";
}

std::string AtomicFile::failed(int error) {
    unlink(temporary.c_str());
    temporary.clear();
    return "cannot write " + path + ": " + std::strerror(error);
}

std::string writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
    AtomicFile out(path);
    std::string error = out.open();
    if (!error.empty())
        return error;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.file) != bytes.size())
        return "cannot write " + path + ": " + std::strerror(errno ? errno : EIO);
    return out.commit(true);
}

} // namespace tools
