#include "tools/capture/FrameCompare.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/capture/OutputPaths.h"
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

std::string keepAtFrame(const tools::RgbImage& frame, const CaptureOptions& options, double seconds,
                        std::vector<FrameVerdict>& verdicts, long long& framesWritten) {
    std::string directory = framesDirectoryOf(options);
    if (!options.compareDirectory.empty())
        verdicts.push_back(compareFrame(frame, options.compareDirectory, seconds));
    if (directory.empty())
        return "";
    std::string name = atFrameName(seconds);
    std::string error = tools::writePng(frame, directory + "/" + name, stillPngCompression);
    if (!error.empty())
        return error;
    framesWritten++;
    if (!options.compareDirectory.empty() && !verdicts.back().differences.rgb.empty()) {
        error = tools::writePng(verdicts.back().differences,
                                directory + "/" + name.substr(0, name.size() - 4) + "-diff.png", stillPngCompression);
        verdicts.back().differences = tools::RgbImage();
    }
    return error;
}

int reportVerdicts(const std::string& program, const std::vector<FrameVerdict>& verdicts,
                   const std::string& compareDirectory) {
    int agreeing = 0;
    for (const FrameVerdict& verdict : verdicts) {
        std::printf("%s\n", verdict.line().c_str());
        agreeing += verdict.agrees;
    }
    std::fflush(stdout);
    for (const FrameVerdict& verdict : verdicts)
        if (!verdict.agrees)
            std::fprintf(stderr, "%s: %s\n", program.c_str(), verdict.failure().c_str());
    int count = int(verdicts.size());
    if (agreeing == count) {
        if (count == 1)
            std::fprintf(stderr, "%s: the frame agrees with %s\n", program.c_str(), compareDirectory.c_str());
        else
            std::fprintf(stderr, "%s: all %d frames agree with %s\n", program.c_str(), count,
                         compareDirectory.c_str());
        return 0;
    }
    int failing = count - agreeing;
    std::fprintf(stderr, "%s: %d of %d frames %s not agree with %s\n", program.c_str(), failing, count,
                 failing == 1 ? "does" : "do", compareDirectory.c_str());
    return 1;
}

} // namespace capture
