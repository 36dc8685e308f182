#ifndef VELQUOR_CAPTURE_FRAMECOMPARE_H
#define VELQUOR_CAPTURE_FRAMECOMPARE_H

#include <string>
#include <vector>

#include "tools/capture/CaptureOptions.h"
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

// Single pictures are kept: small.
const int stillPngCompression = 9;

// The frame of an --at time, drawn by the capture or by a page: with
// --compare held to its reference first (--frames may name the --compare
// directory), its verdict added to verdicts; then written where
// framesDirectoryOf says, a differing one with its differences beside it
// (tT.TTT-diff.png), and counted in framesWritten. An error naming the file,
// or empty.
std::string keepAtFrame(const tools::RgbImage& frame, const CaptureOptions& options, double seconds,
                        std::vector<FrameVerdict>& verdicts, long long& framesWritten);

// One line per verdict on standard output, in the order given; one line
// for each that does not agree, and the tally, on standard error, each after
// "program: ". The exit status: 0 when all agree, 1 otherwise.
int reportVerdicts(const std::string& program, const std::vector<FrameVerdict>& verdicts,
                   const std::string& compareDirectory);

} // namespace capture

#endif
