#include "tools/capture/CaptureOptions.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "tools/common/FrameTime.h"
#include "tools/common/OptionValues.h"

namespace capture {

using namespace tools;

namespace {

const int largestGrid = 16;

std::string tooLate(const std::string& option, const std::string& value) {
    return option + ": " + quoted(value) + " is past " + formatSeconds(longestSeconds) +
           " s, the longest show the capture draws";
}

// Reads a time of an option; an error message, or empty.
std::string readTime(const std::string& option, const std::string& value, double& seconds) {
    if (!parseSeconds(value, seconds))
        return badTime(option, value);
    if (seconds > longestSeconds)
        return tooLate(option, value);
    return "";
}

// Applies one option with its value; an error message, or empty.
std::string applyOption(CaptureOptions& options, const std::string& name, const std::string& value) {
    if (name == "--size") {
        if (!parsePair(value, largestSide, options.width, options.height))
            return "--size: " + quoted(value) + " is not a size such as 1920x1080 (each side 1 to " +
                   std::to_string(largestSide) + ")";
        // The show's projection takes the integer quotient width / height as
        // its aspect; a portrait frame would make it 0.
        if (options.width < options.height)
            return "--size: " + quoted(value) + " is taller than wide; the show needs a landscape frame";
    } else if (name == "--fps") {
        if (!parseInteger(value, 1, largestFps, options.fps))
            return "--fps: " + quoted(value) + " is not a whole number of frames per second from 1 to " +
                   std::to_string(largestFps);
    } else if (name == "--duration") {
        std::string error = readTime(name, value, options.duration);
        if (!error.empty())
            return error;
        if (options.duration <= 0.0)
            return "--duration: " + quoted(value) + " must be more than 0 seconds";
        options.durationGiven = true;
    } else if (name == "--from") {
        return readTime(name, value, options.from);
    } else if (name == "--to") {
        options.toGiven = true;
        return readTime(name, value, options.to);
    } else if (name == "--frames") {
        if (value.empty())
            return "--frames: the directory name is empty";
        options.framesDirectory = value;
    } else if (name == "--at") {
        options.atTimes.clear();
        size_t begin = 0;
        for (;;) {
            size_t comma = value.find(',', begin);
            std::string item = value.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
            double seconds = 0.0;
            if (!parseSeconds(item, seconds))
                return "--at: " + quoted(item) + " in " + quoted(value) +
                       " is not a time in seconds (give times such as 1,2.5,7)";
            if (seconds > longestSeconds)
                return tooLate(name, item);
            options.atTimes.push_back(seconds);
            if (comma == std::string::npos)
                break;
            begin = comma + 1;
        }
    } else if (name == "--compare") {
        if (value.empty())
            return "--compare: the directory name is empty";
        options.compareDirectory = value;
    } else if (name == "--video") {
        if (value.empty())
            return "--video: the file name is empty";
        options.videoPath = value;
    } else if (name == "--sheet") {
        if (value.empty())
            return "--sheet: the file name is empty";
        options.sheetPath = value;
    } else if (name == "--grid") {
        if (!parsePair(value, largestGrid, options.sheetColumns, options.sheetRows))
            return "--grid: " + quoted(value) + " is not a grid such as 4x4 (columns x rows, 1 to " +
                   std::to_string(largestGrid) + " each)";
    } else {
        return "unknown option " + quoted(name) + " (see --help)";
    }
    return "";
}

const std::set<std::string> valueOptions = {"--size", "--fps",     "--duration", "--from",  "--to",  "--frames",
                                            "--at",   "--compare", "--video",    "--sheet", "--grid"};

// Checks that need all options at once.
std::string crossCheck(const CaptureOptions& options) {
    if (options.toGiven && options.to <= options.from)
        return "--to " + formatSeconds(options.to) + " is not after --from " + formatSeconds(options.from);
    if (!options.videoPath.empty() && (options.width % 2 != 0 || options.height % 2 != 0))
        return "--video needs an even width and height (H.264 in yuv420p); " + std::to_string(options.width) +
               "x" + std::to_string(options.height) + " is not";
    std::set<std::string> names;
    for (double seconds : options.atTimes)
        if (!names.insert(atFrameName(seconds)).second)
            return "--at: the time " + formatSeconds(seconds) + " is given twice";
    if (!options.compareDirectory.empty() && options.atTimes.empty())
        return "--compare needs --at: it holds the frames at those times to the pictures of the same names in " +
               options.compareDirectory;
    if (options.framesDirectory.empty() && options.atTimes.empty() && options.videoPath.empty() &&
        options.sheetPath.empty())
        return "nothing to write: give --frames, --at, --video or --sheet (see --help)";
    return "";
}

} // namespace

ParsedOptions parseCaptureOptions(const std::vector<std::string>& args) {
    std::set<std::string> every = valueOptions;
    every.insert("--gl-check");
    return parseCaptureOptions(args, every);
}

ParsedOptions parseCaptureOptions(const std::vector<std::string>& args, const std::set<std::string>& accepted) {
    ParsedOptions parsed;
    CaptureOptions& options = parsed.options;
    std::map<std::string, bool*> flags;
    if (accepted.count("--gl-check"))
        flags["--gl-check"] = &options.glCheck;
    std::set<std::string> withValues;
    for (const std::string& name : valueOptions)
        if (accepted.count(name))
            withValues.insert(name);
    parsed.error = readOptions(args, options.help, flags, withValues,
                               [&](const std::string& name, const std::string& value) {
                                   return applyOption(options, name, value);
                               });
    if (parsed.ok() && !options.help)
        parsed.error = crossCheck(options);
    return parsed;
}

std::string usageText(const std::string& show, const std::string& track) {
    std::string program = show + "-capture";
    return "Usage: " + program + " [OPTION]...\n"
           "Renders the show frame by frame at a fixed frame rate, as a recording would\n"
           "show it, into PNG frames, a video or a contact sheet. Run it where data/ is\n"
           "(the build directory); it needs an X display (a private Xvfb serves).\n"
           "Frame n shows the show at n / fps seconds; every frame from the first is\n"
           "drawn, since the show's motion advances once per frame, so the same options\n"
           "give the same pictures on every run.\n"
           "\n"
           "Outputs (at least one):\n"
           "  --frames DIR      every frame of the range as DIR/frame-NNNNNN.png (by frame number)\n"
           "  --at T1,T2,...    only the frames at these times (frame round(T * fps)),\n"
           "                    as tT.TTT.png in the --frames directory, or here\n"
           "  --video FILE.mp4  the range as H.264 video (yuv420p) with the soundtrack, through ffmpeg\n"
           "  --sheet FILE.png  a contact sheet: thumbnails at evenly spaced times of the range,\n"
           "                    each with its time written under it\n"
           "\n"
           "Checking:\n"
           "  --compare DIR     hold each --at frame to the picture of the same name in DIR\n"
           "                    (tT.TTT.png), under the reference tests' rules, and print one\n"
           "                    line per frame with what differs and by how much; the frames\n"
           "                    are written only with --frames, each differing one with a\n"
           "                    picture of its differences beside it (tT.TTT-diff.png)\n"
           "\n"
           "Settings:\n"
           "  --size WxH        frame size in pixels, landscape (default 1920x1080)\n"
           "  --fps N           frames per second (default 60)\n"
           "  --duration S      seconds of show (default: the length of " + track + ")\n"
           "                    Every time (--duration, --from, --to, --at) is at most " +
           formatSeconds(longestSeconds) + " s.\n"
           "  --from S          start of the range in seconds (default 0)\n"
           "  --to S            end of the range in seconds (default: the end of the show)\n"
           "  --grid CxR        contact sheet columns and rows (default 4x4)\n"
           "  --gl-check        draw in a debug context and fail on any GL error or driver\n"
           "                    warning, naming each with the time of its frame\n"
           "  -h, --help        show this help\n"
           "\n"
           "Progress goes to standard error. Exit status: 0 when everything was written\n"
           "(and every frame agrees with its reference), 1 when capturing failed (nothing\n"
           "half-written is left under an output's name) or a frame differs from its\n"
           "reference or has none, 2 for a bad command line, an output path that cannot\n"
           "be written or a --compare directory that cannot be read.\n"
           "\n"
           "Examples:\n"
           "  " + program + " --video " + show + ".mp4\n"
           "  " + program + " --size 1280x720 --sheet sheet.png\n"
           "  " + program + " --size 480x270 --fps 30 --at 2.5,9 --frames shots\n"
           "  " + program + " --size 480x270 --fps 30 --at 2.5,9 --compare shots\n";
}

std::string atFrameName(double seconds) {
    char name[64];
    std::snprintf(name, sizeof name, "t%.3f.png", seconds);
    return name;
}

std::string numberedFrameName(long long frame) {
    char name[64];
    std::snprintf(name, sizeof name, "frame-%06lld.png", frame);
    return name;
}

PlannedFrames planFrames(const CaptureOptions& options, double showSeconds) {
    PlannedFrames planned;
    FramePlan& plan = planned.plan;
    double fps = options.fps;
    double end = options.toGiven ? options.to : showSeconds;
    std::string show = "the show's " + formatSeconds(showSeconds) + " s";
    if (options.toGiven && pastEnd(options.to, showSeconds)) {
        planned.error = "--to " + formatSeconds(options.to) + " lies past the end of " + show;
        return planned;
    }
    if (pastEnd(options.from, showSeconds)) {
        planned.error = "--from " + formatSeconds(options.from) + " lies past the end of " + show;
        return planned;
    }
    plan.firstFrame = std::max(FrameNumber(1), FrameNumber(frameAtOrAfter(options.from, fps)));
    plan.lastFrame = frameAtOrBefore(end, fps);
    bool rangeUsed = !options.videoPath.empty() || !options.sheetPath.empty() ||
                     (!options.framesDirectory.empty() && options.atTimes.empty());
    if (rangeUsed && plan.lastFrame < plan.firstFrame) {
        planned.error = "the range " + formatSeconds(options.from) + " to " + formatSeconds(end) +
                        " s holds no frame at " + std::to_string(options.fps) + " fps";
        return planned;
    }
    if (rangeUsed)
        plan.lastComputed = plan.lastFrame;

    for (double seconds : options.atTimes) {
        FrameNumber frame = std::llround(seconds * fps);
        if (frame < 1) {
            planned.error = "--at " + formatSeconds(seconds) + " comes before the first frame (1/" +
                            std::to_string(options.fps) + " s)";
            return planned;
        }
        if (pastEnd(seconds, showSeconds)) {
            planned.error = "--at " + formatSeconds(seconds) + " lies past the end of " + show;
            return planned;
        }
        plan.atFrames.push_back(frame);
        plan.lastComputed = std::max(plan.lastComputed, frame);
    }

    if (!options.sheetPath.empty()) {
        // The centres of equal stretches of the range: neither the empty
        // frame at 0 nor a frame past the end.
        int count = options.sheetColumns * options.sheetRows;
        double begin = double(plan.firstFrame) / fps;
        double span = double(plan.lastFrame) / fps - begin;
        for (int i = 0; i < count; i++) {
            FrameNumber frame = std::llround((begin + span * (i + 0.5) / count) * fps);
            plan.sheetFrames.push_back(std::min(std::max(frame, plan.firstFrame), plan.lastFrame));
        }
    }
    return planned;
}

} // namespace capture
