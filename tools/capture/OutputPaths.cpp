#include "tools/capture/OutputPaths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/capture/FrameCompare.h"
#include "tools/common/AtomicFile.h"

namespace capture {

namespace {

// Write permission bits say little (root passes them all, a read-only file
// system does not): make a file and remove it again.
std::string tryWritingIn(const std::string& directory, const std::string& what) {
    tools::AtomicFile probe(directory + "/.vq-capture-probe");
    std::string error = probe.open();
    return error.empty() ? "" : "cannot write " + what + error.substr(error.find(':'));
}

std::string checkFileOutput(const std::string& option, const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return option + ": " + path + " is a directory, not a file name";
    std::string directory = tools::directoryOf(path);
    if (stat(directory.c_str(), &status) != 0)
        return option + ": cannot write " + path + ": " + directory + ": " + std::strerror(errno);
    if (!S_ISDIR(status.st_mode))
        return option + ": cannot write " + path + ": " + directory + " is not a directory";
    std::string error = tryWritingIn(directory, path);
    return error.empty() ? "" : option + ": " + error;
}

// mkdir -p.
std::string makeDirectory(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        struct stat status;
        if (stat(part.c_str(), &status) != 0) {
            if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
                return "cannot make the directory " + part + ": " + std::strerror(errno);
        } else if (!S_ISDIR(status.st_mode)) {
            return part + " is not a directory";
        }
        if (slash == std::string::npos)
            return "";
    }
}

} // namespace

std::string framesDirectoryOf(const CaptureOptions& options) {
    if (!options.framesDirectory.empty())
        return options.framesDirectory;
    return options.atTimes.empty() || !options.compareDirectory.empty() ? "" : ".";
}

std::string prepareOutputs(const CaptureOptions& options) {
    if (!options.compareDirectory.empty()) {
        std::string error = compareDirectoryError(options.compareDirectory);
        if (!error.empty())
            return error;
    }
    if (!options.videoPath.empty()) {
        std::string error = checkFileOutput("--video", options.videoPath);
        if (!error.empty())
            return error;
    }
    if (!options.sheetPath.empty()) {
        std::string error = checkFileOutput("--sheet", options.sheetPath);
        if (!error.empty())
            return error;
    }
    std::string frames = framesDirectoryOf(options);
    if (frames.empty())
        return "";
    std::string error = makeDirectory(frames);
    if (error.empty())
        error = tryWritingIn(frames, "into " + frames);
    std::string option = options.framesDirectory.empty() ? "--at" : "--frames";
    return error.empty() ? "" : option + ": " + error;
}

} // namespace capture
