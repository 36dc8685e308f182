#include "tools/preview/PreviewOptions.h"

#include <set>

#include "tools/common/FrameTime.h"
#include "tools/common/OptionValues.h"

namespace preview {

using tools::badTime;
using tools::formatSeconds;
using tools::quoted;

namespace {


std::string applyOption(PreviewOptions& options, const std::string& name, const std::string& value) {
    if (name == "--size") {
        if (!tools::parsePair(value, tools::largestSide, options.width, options.height))
            return "--size: " + quoted(value) + " is not a size such as 1280x720 (each side 1 to " +
                   std::to_string(tools::largestSide) + ")";
        // The show's projection takes the integer quotient width / height as its aspect.
        if (options.width < options.height)
            return "--size: " + quoted(value) + " is taller than wide; the show needs a landscape window";
    } else if (name == "--fps") {
        if (!tools::parseInteger(value, 1, tools::largestFps, options.fps))
            return "--fps: " + quoted(value) + " is not a whole number of frames per second from 1 to " +
                   std::to_string(tools::largestFps);
    } else if (name == "--start") {
        if (!tools::parseSeconds(value, options.start))
            return badTime(name, value);
        options.startGiven = true;
    } else if (name == "--loop") {
        size_t comma = value.find(',');
        if (comma == std::string::npos || !tools::parseSeconds(value.substr(0, comma), options.loopStart) ||
            !tools::parseSeconds(value.substr(comma + 1), options.loopEnd))
            return "--loop: " + quoted(value) + " is not a range of seconds such as 12.5,16";
        if (options.loopEnd <= options.loopStart)
            return "--loop: the end " + formatSeconds(options.loopEnd) + " is not after the start " +
                   formatSeconds(options.loopStart);
        options.loopGiven = true;
    } else {
        return "unknown option " + quoted(name) + " (see --help)";
    }
    return "";
}

const std::set<std::string> valueOptions = {"--size", "--fps", "--start", "--loop"};

} // namespace

ParsedOptions parsePreviewOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    PreviewOptions& options = parsed.options;
    parsed.error = tools::readOptions(args, options.help,
                                      {{"--fullscreen", &options.fullscreen}, {"--paused", &options.paused}},
                                      valueOptions, [&](const std::string& name, const std::string& value) {
                                          return applyOption(options, name, value);
                                      });
    return parsed;
}

std::string checkTimes(const PreviewOptions& options, double showSeconds) {
    std::string show = "the show's " + formatSeconds(showSeconds) + " s";
    if (tools::pastEnd(options.start, showSeconds))
        return "--start " + formatSeconds(options.start) + " lies past the end of " + show;
    if (options.loopGiven && tools::pastEnd(options.loopEnd, showSeconds))
        return "--loop " + formatSeconds(options.loopStart) + "," + formatSeconds(options.loopEnd) +
               " reaches past the end of " + show;
    return "";
}

std::string controlsText() {
    return "  Space        pause or resume picture and music\n"
           "  Left, Right  seek 1 s back or forward (with Shift: 10 s)\n"
           "  , and .      step one frame back or forward (pauses)\n"
           "  Home         go to the start\n"
           "  [ and ]      set the loop's start or end at the current time\n"
           "  Backspace    clear the loop\n"
           "  - and =      halve or double the playback speed (music only at 1x)\n"
           "  R            rebuild the particle programs from their shader files\n"
           "               (done by itself whenever one of those files changes)\n"
           "  H            hide or show the timeline bar\n"
           "  F11          full screen on or off\n"
           "  F12          write the frame on screen, without the bar, as NAME-SSS.SSS.png\n"
           "               (the show's name and its time) in the working directory\n"
           "  F1           print these keys\n"
           "  Escape       quit\n";
}

std::string usageText(const std::string& show) {
    return "Usage: " + show + "-preview [OPTION]...\n"
           "Plays the show in a window with its soundtrack, for working on it: pause,\n"
           "seek, step, loop and change the speed, and see edits of the particle shaders\n"
           "at once. Run it where data/ is (the build directory).\n"
           "Frame n is the show at n / fps seconds, exactly as " + show + "-capture renders\n"
           "it: the show's motion advances once per frame, so frames the machine cannot\n"
           "draw in time are still stepped, and a seek anywhere shows the very frame a\n"
           "run from the start shows there.\n"
           "\n"
           "Options:\n"
           "  --size WxH    window size in pixels, landscape (default 1280x720)\n"
           "  --fullscreen  start full screen\n"
           "  --fps N       frames per second of show time (default 60)\n"
           "  --start S     start at S seconds\n"
           "  --loop A,B    play the stretch from A to B seconds over and over\n"
           "  --paused      start paused\n"
           "  -h, --help    show this help\n"
           "\n"
           "Keys:\n" +
           controlsText() +
           "\n"
           "Exit status: 0 after Escape or closing the window, 1 when the show cannot\n"
           "start (a missing data file, no display), 2 for a bad command line.\n";
}

} // namespace preview
