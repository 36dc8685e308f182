#ifndef VELQUOR_CAPTURE_CAPTUREOPTIONS_H
#define VELQUOR_CAPTURE_CAPTUREOPTIONS_H

#include <set>
#include <string>
#include <vector>

#include "tools/common/OptionValues.h"

namespace capture {

// What one run of a show's capture is asked to do, as given on the command line.
struct CaptureOptions {
    int width = 1920;
    int height = 1080;
    int fps = 60;
    // Seconds of show; when not given, the length of the soundtrack.
    double duration = 0.0;
    bool durationGiven = false;
    double from = 0.0;
    double to = 0.0;
    bool toGiven = false;
    // --frames: where PNG frames go (every frame, or only the --at ones).
    std::string framesDirectory;
    std::vector<double> atTimes;
    // --compare: where the reference pictures of the --at frames are, each
    // under the name the frame is written as. The frames are written only
    // when --frames is given too.
    std::string compareDirectory;
    std::string videoPath;
    std::string sheetPath;
    int sheetColumns = 4;
    int sheetRows = 4;
    // --gl-check: a debug context whose every GL error or driver warning
    // fails the run, each named with the show time of its frame.
    bool glCheck = false;
    bool help = false;
};

using ParsedOptions = tools::Parsed<CaptureOptions>;

// args excludes the program name.
ParsedOptions parseCaptureOptions(const std::vector<std::string>& args);
// The same for a tool that takes only the options in accepted (and --help),
// with the same meanings and checks; any other is refused as unknown.
ParsedOptions parseCaptureOptions(const std::vector<std::string>& args, const std::set<std::string>& accepted);

// The help of NAME-capture, for the show named show with its track.
std::string usageText(const std::string& show, const std::string& track);

// Where the PNG of an --at time goes: named by the time as asked, in
// milliseconds precision ("t2.500.png").
std::string atFrameName(double seconds);
// Where frame n of --frames goes ("frame-000061.png").
std::string numberedFrameName(long long frame);

// Frame numbers are 64-bit: a long show at a high rate passes 2^31 frames.
typedef long long FrameNumber;

// The longest --duration and the latest --from, --to and --at accepted, in
// seconds: a day, which keeps every frame number and time exact.
const double longestSeconds = 86400.0;

// Which frames a run computes and which it keeps, for a show of the given
// length. Frame n shows time n / fps; frame 0 (time 0) draws nothing and is
// never computed.
struct FramePlan {
    FrameNumber firstFrame = 1; // the --from/--to range, inclusive, for --frames, --video and --sheet
    FrameNumber lastFrame = 0;
    std::vector<FrameNumber> atFrames;    // one per --at time, in the order given
    std::vector<FrameNumber> sheetFrames; // one per thumbnail, row by row
    FrameNumber lastComputed = 0;         // every frame from 1 to this one is drawn
};

struct PlannedFrames {
    FramePlan plan;
    std::string error;
    bool ok() const { return error.empty(); }
};

PlannedFrames planFrames(const CaptureOptions& options, double showSeconds);

} // namespace capture

#endif
