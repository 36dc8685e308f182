// NAME-capture: renders a show at a fixed frame rate, as a recording shows
// it, into PNG frames, an H.264 video with the soundtrack, or a contact sheet
// of the whole show, and holds frames to reference pictures.
#include <malloc.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <SDL.h>

#include "engine/RegularFile.h"
#include "tools/ShowTools.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/ContactSheet.h"
#include "tools/capture/FrameCompare.h"
#include "tools/capture/OutputPaths.h"
#include "tools/common/PngFile.h"
#include "tools/capture/Progress.h"
#include "tools/common/OffscreenShow.h"
#include "tools/common/TrackLength.h"
#include "tools/capture/VideoEncoder.h"

using namespace capture;
using namespace tools;

namespace {

const int badInput = 2;
const int failed = 1;
// Every frame of a sequence is written: fast.
const int framePngCompression = 3;
// Each PNG's compressor takes and gives back a few hundred kB. Handing the
// top of the heap back to the system after every frame makes the next frame
// fault it all in again, which costs more than the compression itself.
const int keptHeapTop = 256 << 20;

volatile sig_atomic_t stopSignal = 0;

void onStopSignal(int signal) {
    stopSignal = signal;
}

void handleSignals() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
    // A full disk or a file size limit, or ffmpeg gone: reported as errors
    // of the writes, so the capture can clean up behind itself.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

// "NAME-capture", the start of every message.
std::string program;

int complain(const std::string& message, int status) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    return status;
}

std::string readable(const std::string& path) {
    std::string reason = vq_engine::unreadableDataReason(path.c_str());
    return reason.empty() ? reason : reason + " (run it where data/ is, such as the build directory)";
}

// What each frame number is wanted for beyond the range.
struct Wanted {
    std::multimap<FrameNumber, size_t> atTimes; // index into CaptureOptions::atTimes
    std::multimap<FrameNumber, std::pair<int, double>> sheetCells; // cell, label time
};

Wanted wantedFrames(const CaptureOptions& options, const FramePlan& plan) {
    Wanted wanted;
    for (size_t i = 0; i < plan.atFrames.size(); i++)
        wanted.atTimes.emplace(plan.atFrames[i], i);
    for (size_t i = 0; i < plan.sheetFrames.size(); i++)
        wanted.sheetCells.emplace(plan.sheetFrames[i],
                                  std::make_pair(int(i), double(plan.sheetFrames[i]) / options.fps));
    return wanted;
}

class Capture {
public:
    Capture(const vq_tools::Show& description, const CaptureOptions& options, const FramePlan& plan)
        : options(options), plan(plan), wanted(wantedFrames(options, plan)),
          show(description, options.width, options.height) {
        show.glCheck = options.glCheck;
    }

    int run();

private:
    std::string drawAll();
    std::string keep(FrameNumber n);

    const CaptureOptions& options;
    const FramePlan& plan;
    Wanted wanted;
    OffscreenShow show;
    std::unique_ptr<VideoEncoder> video;
    std::unique_ptr<ContactSheet> sheet;
    RgbImage frame;
    FrameNumber framesWritten = 0;
    std::vector<FrameVerdict> verdicts; // one per --at time once drawn, with --compare
};

int Capture::run() {
    std::string error = show.open(program.c_str());
    if (!error.empty())
        return complain(error, failed);
    // Drivers draw points a little differently: the pictures say which one drew them.
    std::fprintf(stderr, "%s: OpenGL renderer: %s\n", program.c_str(),
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    if (!options.videoPath.empty()) {
        video.reset(new VideoEncoder(options.videoPath, options.width, options.height, options.fps));
        double seconds = double(plan.lastFrame - plan.firstFrame + 1) / options.fps;
        // Frame n shows time n / fps: the sound starts at the first frame's time.
        error = video->start(show.description.track.c_str(), double(plan.firstFrame) / options.fps, seconds);
        if (!error.empty())
            return complain(error, failed);
    }
    if (!options.sheetPath.empty())
        sheet.reset(new ContactSheet(options.sheetColumns, options.sheetRows, options.width, options.height));

    error = drawAll();
    if (stopSignal) {
        video.reset();
        std::fprintf(stderr, "%s: stopped by signal %d; no video or sheet written\n", program.c_str(),
                     int(stopSignal));
        signal(stopSignal, SIG_DFL);
        raise(stopSignal);
    }
    if (!error.empty())
        return complain(error, failed);
    if (options.glCheck) {
        for (const std::string& report : show.glReports)
            complain(report, failed);
        if (show.glProblems > 0)
            return complain(std::to_string(show.glProblems) + " GL errors or warnings in frames 1 to " +
                                std::to_string(plan.lastComputed),
                            failed);
        std::fprintf(stderr, "%s: no GL error or warning in frames 1 to %lld\n", program.c_str(), plan.lastComputed);
    }

    if (video) {
        error = video->finish();
        if (!error.empty())
            return complain(error, failed);
        std::fprintf(stderr, "%s: wrote %s (%lld frames, %.2f s)\n", program.c_str(), options.videoPath.c_str(),
                     plan.lastFrame - plan.firstFrame + 1,
                     double(plan.lastFrame - plan.firstFrame + 1) / options.fps);
    }
    if (sheet) {
        error = writePng(sheet->picture, options.sheetPath, stillPngCompression);
        if (!error.empty())
            return complain(error, failed);
        std::fprintf(stderr, "%s: wrote %s (%dx%d thumbnails)\n", program.c_str(), options.sheetPath.c_str(),
                     options.sheetColumns, options.sheetRows);
    }
    if (framesWritten > 0)
        std::fprintf(stderr, "%s: wrote %lld PNG frame%s into %s\n", program.c_str(), framesWritten,
                     framesWritten == 1 ? "" : "s", framesDirectoryOf(options).c_str());
    return options.compareDirectory.empty() ? 0 : reportVerdicts(program, verdicts, options.compareDirectory);
}

// Every frame from the first: the show's motion advances once per frame.
std::string Capture::drawAll() {
    Progress progress(program, plan.lastComputed, stderr, isatty(2));
    for (FrameNumber n = 1; n <= plan.lastComputed && !stopSignal; n++) {
        show.draw(double(n) / options.fps);
        std::string error = keep(n);
        if (!error.empty()) {
            progress.finish();
            return error;
        }
        progress.update(n);
    }
    progress.finish();
    return "";
}

std::string Capture::keep(FrameNumber n) {
    bool inRange = n >= plan.firstFrame && n <= plan.lastFrame;
    bool sequence = inRange && !options.framesDirectory.empty() && options.atTimes.empty();
    bool wantedHere = sequence || (inRange && video) || wanted.atTimes.count(n) || wanted.sheetCells.count(n);
    if (!wantedHere)
        return "";
    show.read(frame);
    if (sequence) {
        std::string error =
            writePng(frame, options.framesDirectory + "/" + numberedFrameName(n), framePngCompression);
        if (!error.empty())
            return error;
        framesWritten++;
    }
    auto times = wanted.atTimes.equal_range(n);
    for (auto at = times.first; at != times.second; ++at) {
        std::string error = keepAtFrame(frame, options, options.atTimes[at->second], verdicts, framesWritten);
        if (!error.empty())
            return error;
    }
    auto cells = wanted.sheetCells.equal_range(n);
    for (auto cell = cells.first; cell != cells.second; ++cell)
        sheet->place(cell->second.first, frame, cell->second.second);
    if (inRange && video)
        return video->writeFrame(frame);
    return "";
}

} // namespace

namespace vq_tools {

int captureMain(int argc, char** argv, const Show& show) {
    program = show.name + "-capture";
    mallopt(M_TRIM_THRESHOLD, keptHeapTop);
    // The capture handles Ctrl-C itself, to clean up behind it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ParsedOptions parsed = parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok())
        return complain(parsed.error, badInput);
    const CaptureOptions& options = parsed.options;
    if (options.help) {
        std::fputs(usageText(show.name, show.track).c_str(), stdout);
        return 0;
    }

    for (const std::string& path : show.files) {
        std::string error = readable(path);
        if (!error.empty())
            return complain(error, failed);
    }
    double showSeconds = options.duration;
    bool silent = show.track.empty();
    if (silent && !options.durationGiven && show.seconds <= 0.0)
        return complain("the show has neither a track nor a length; give --duration", failed);
    if (silent && !options.durationGiven)
        showSeconds = show.seconds;
    if (!silent && (!options.durationGiven || !options.videoPath.empty())) {
        std::string error = readable(show.track);
        if (!error.empty())
            return complain(error + (options.videoPath.empty() ? "; or give --duration" : ""), failed);
    }
    if (!silent && !options.durationGiven) {
        std::string error;
        showSeconds = trackSeconds(show.track.c_str(), error);
        if (!error.empty())
            return complain(error + "; give --duration", failed);
    }
    PlannedFrames planned = planFrames(options, showSeconds);
    if (!planned.ok())
        return complain(planned.error, badInput);
    std::string error = prepareOutputs(options);
    if (!error.empty())
        return complain(error, badInput);
    if (!options.videoPath.empty() && !programInstalled("ffmpeg"))
        return complain("--video needs ffmpeg, which is not installed (on Debian: apt-get install ffmpeg)", failed);

    handleSignals();
    const FramePlan& plan = planned.plan;
    std::fprintf(stderr, "%s: %dx%d at %d fps, drawing frames 1 to %lld (%.2f s of %.2f s)\n", program.c_str(),
                 options.width, options.height, options.fps, plan.lastComputed, double(plan.lastComputed) / options.fps,
                 showSeconds);
    Capture capture(show, options, plan);
    return capture.run();
}

} // namespace vq_tools
