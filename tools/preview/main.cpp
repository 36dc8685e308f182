// velquor-preview: the show in a window for the people who work on it, frame
// for frame what velquor-capture records, with pause, seek, step, loop,
// playback speed and the particle shaders rebuilt as they are edited.
#include <cstdio>
#include <string>
#include <vector>

#include <SDL.h>

#include "demo/SceneCommon.h"
#include "demo/StartChecks.h"
#include "tools/common/TrackLength.h"
#include "tools/preview/Preview.h"
#include "tools/preview/PreviewOptions.h"

using namespace preview;

namespace {

const int badInput = 2;
const int failed = 1;

int complain(const std::string& message, int status) {
    std::fprintf(stderr, "velquor-preview: %s\n", message.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    ParsedOptions parsed = parsePreviewOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok())
        return complain(parsed.error, badInput);
    const PreviewOptions& options = parsed.options;
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    for (const char* path : {starsVertexPath, starsFragmentPath, musicPath}) {
        std::string error = unreadableDataReason(path);
        if (!error.empty())
            return complain(error, failed);
    }
    std::string error;
    double showSeconds = tools::trackSeconds(musicPath, error);
    if (!error.empty())
        return complain(error, failed);
    error = checkTimes(options, showSeconds);
    if (!error.empty())
        return complain(error, badInput);

    Preview preview(options, showSeconds);
    error = preview.open();
    if (!error.empty())
        return complain(error, failed);
    preview.run();
    SDL_Quit();
    return preview.failure.empty() ? 0 : complain(preview.failure, failed);
}
