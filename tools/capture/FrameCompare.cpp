#include "tools/capture/FrameCompare.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "tools/capture/CaptureOptions.h"
#include "tools/common/OptionValues.h"

namespace capture {

namespace {

std::string moment(const FrameVerdict& verdict) {
    return verdict.name + " at " + tools::formatSeconds(verdict.seconds) + " s";
}

} // namespace

std::string compareDirectoryError(const std::string& directory) {
    struct stat status;
    if (stat(directory.c_str(), &status) != 0)
        return "--compare: " + directory + ": " + std::strerror(errno);
    if (!S_ISDIR(status.st_mode))
        return "--compare: " + directory + " is not a directory";
    DIR* listing = opendir(directory.c_str());
    if (!listing)
        return "--compare: cannot read the directory " + directory + ": " + std::strerror(errno);
    closedir(listing);
    return "";
}

FrameVerdict compareFrame(const tools::RgbImage& frame, const std::string& directory, double seconds) {
    FrameVerdict verdict;
    verdict.name = atFrameName(seconds);
    verdict.seconds = seconds;
    verdict.reference = directory + "/" + verdict.name;
    tools::RgbImage reference;
    verdict.why = tools::readPng(verdict.reference, reference);
    if (!verdict.why.empty())
        return verdict;
    verdict.hasReference = true;
    tools::PictureDifference difference = tools::comparePictures(frame, reference);
    verdict.agrees = !difference.differs;
    verdict.why = difference.summary();
    if (difference.differs && difference.sameSize)
        verdict.differences = std::move(difference.picture);
    return verdict;
}

std::string FrameVerdict::line() const {
    if (!hasReference)
        return moment(*this) + ": no reference: " + why;
    return moment(*this) + (agrees ? ": agrees with " : ": DIFFERS from ") + reference + ": " + why;
}

std::string FrameVerdict::failure() const {
    if (!hasReference)
        return "--compare: " + moment(*this) + " has no reference: " + why;
    return "--compare: " + moment(*this) + " differs from " + reference + ": " + why;
}

} // namespace capture
