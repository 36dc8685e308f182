// NAME-preview: a show in a window for the people who work on it, frame for
// frame what NAME-capture records, with pause, seek, step, loop, playback
// speed and the shaders rebuilt as they are edited.
#include <cstdio>
#include <string>
#include <vector>

#include <SDL.h>

#include "engine/RegularFile.h"
#include "tools/ShowTools.h"
#include "tools/common/TrackLength.h"
#include "tools/preview/Preview.h"
#include "tools/preview/PreviewOptions.h"

using namespace preview;

namespace {

const int badInput = 2;
const int failed = 1;

int complain(const vq_tools::Show& show, const std::string& message, int status) {
    std::fprintf(stderr, "%s-preview: %s\n", show.name.c_str(), message.c_str());
    return status;
}

} // namespace

namespace vq_tools {

int previewMain(int argc, char** argv, const Show& show) {
    ParsedOptions parsed = parsePreviewOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok())
        return complain(show, parsed.error, badInput);
    const PreviewOptions& options = parsed.options;
    if (options.help) {
        std::fputs(usageText(show.name).c_str(), stdout);
        return 0;
    }
    std::vector<std::string> files = show.files;
    if (!show.track.empty())
        files.push_back(show.track);
    for (const std::string& path : files) {
        std::string error = vq_engine::unreadableDataReason(path.c_str());
        if (!error.empty())
            return complain(show, error, failed);
    }
    std::string error;
    double showSeconds = show.track.empty() ? show.seconds : tools::trackSeconds(show.track, error);
    if (!error.empty())
        return complain(show, error, failed);
    if (!(showSeconds > 0.0))
        return complain(show, "the show has neither a track nor a length of its own", failed);
    error = checkTimes(options, showSeconds);
    if (!error.empty())
        return complain(show, error, badInput);

    Preview preview(show, options, showSeconds);
    error = preview.open();
    if (!error.empty())
        return complain(show, error, failed);
    preview.run();
    SDL_Quit();
    return preview.failure.empty() ? 0 : complain(show, preview.failure, failed);
}

} // namespace vq_tools
