#include "tools/common/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace soundtrack {

namespace {

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void fail(const std::string& path, const std::string& temporary, int error) {
    if (!temporary.empty())
        unlink(temporary.c_str());
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(error));
}

} // namespace

void writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::string pattern = directoryOf(path) + "/." + baseNameOf(path) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        fail(path, "", errno);
    std::string temporary(name.data());

    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            int error = written < 0 ? errno : EIO;
            close(fd);
            fail(path, temporary, error);
        }
        done += size_t(written);
    }
    // mkstemp makes the file private; the track is ordinary data.
    if (fchmod(fd, 0644) != 0 || fsync(fd) != 0) {
        int error = errno;
        close(fd);
        fail(path, temporary, error);
    }
    if (close(fd) != 0)
        fail(path, temporary, errno);
    if (rename(temporary.c_str(), path.c_str()) != 0)
        fail(path, temporary, errno);
}

} // namespace soundtrack
