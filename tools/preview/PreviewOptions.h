#ifndef VELQUOR_PREVIEW_PREVIEWOPTIONS_H
#define VELQUOR_PREVIEW_PREVIEWOPTIONS_H

#include <string>
#include <vector>

#include "tools/common/OptionValues.h"

namespace preview {

// What one run of a show's preview is asked to do, as given on the command line.
struct PreviewOptions {
    int width = 1280;
    int height = 720;
    bool fullscreen = false;
    int fps = 60;
    double start = 0.0;
    bool startGiven = false;
    bool loopGiven = false;
    double loopStart = 0.0;
    double loopEnd = 0.0;
    bool paused = false;
    bool help = false;
};

using ParsedOptions = tools::Parsed<PreviewOptions>;

// args excludes the program name.
ParsedOptions parsePreviewOptions(const std::vector<std::string>& args);

// The times checked against the show's length in seconds; an error, or empty.
std::string checkTimes(const PreviewOptions& options, double showSeconds);

// The help of NAME-preview, for the show named show.
std::string usageText(const std::string& show);
// The keys, one a line, as --help and the F1 key list them.
std::string controlsText();

} // namespace preview

#endif
