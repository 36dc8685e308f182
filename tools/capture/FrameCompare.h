#ifndef VELQUOR_CAPTURE_FRAMECOMPARE_H
#define VELQUOR_CAPTURE_FRAMECOMPARE_H

#include <string>

#include "tools/common/PictureCompare.h"
#include "tools/common/PngFile.h"

namespace capture {

// Why a --compare directory cannot hold references (missing, not a
// directory, unreadable): one line naming it, or empty.
std::string compareDirectoryError(const std::string& directory);

// One --at frame held to the picture of its name in the --compare directory.
struct FrameVerdict {
    std::string name; // as the frame is written: "t2.500.png"
    double seconds = 0.0;
    std::string reference; // DIRECTORY/name
    bool hasReference = false;
    bool agrees = false;
    // The difference's summary, or why the reference cannot be read.
    std::string why;
    // Red and blue where the frame and its reference differ; empty unless
    // they are the same size and differ.
    tools::RgbImage differences;

    // The report's line for this frame: its figures, agreeing or not.
    std::string line() const;
    // For a frame that does not agree: the file and why.
    std::string failure() const;
};

FrameVerdict compareFrame(const tools::RgbImage& frame, const std::string& directory, double seconds);

} // namespace capture

#endif
