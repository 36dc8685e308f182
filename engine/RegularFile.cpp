#include "engine/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vq_engine {

namespace {

std::string kindProblem(mode_t mode) {
    if (S_ISREG(mode))
        return "";
    if (S_ISDIR(mode))
        return "is a directory";
    if (S_ISFIFO(mode))
        return "is a named pipe";
    if (S_ISSOCK(mode))
        return "is a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "is a device";
    return "is not a regular file";
}

} // namespace

std::string regularFileProblem(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0)
        return std::strerror(errno);
    return kindProblem(status.st_mode);
}

FILE* openRegularFile(const char* path, std::string& reason) {
    int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    struct stat status;
    reason = fstat(descriptor, &status) != 0 ? std::strerror(errno) : kindProblem(status.st_mode);
    // Reads of a regular file never block; the flag only mattered for the open.
    if (reason.empty() && fcntl(descriptor, F_SETFL, 0) != 0)
        reason = std::strerror(errno);
    FILE* file = reason.empty() ? fdopen(descriptor, "rb") : nullptr;
    if (reason.empty() && !file)
        reason = std::strerror(errno);
    if (!file)
        close(descriptor);
    return file;
}

std::string unreadableDataReason(const char* path) {
    std::string reason;
    FILE* file = openRegularFile(path, reason);
    if (file) {
        std::fclose(file);
        return "";
    }
    char cwd[4096];
    std::string where = getcwd(cwd, sizeof cwd) ? cwd : "the working directory";
    return std::string("cannot read ") + path + " in " + where + ": " + reason;
}

} // namespace vq_engine
