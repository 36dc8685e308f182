#ifndef VQ_TOOLS_SHOWTOOLS_H
#define VQ_TOOLS_SHOWTOOLS_H

#include <functional>
#include <string>
#include <vector>

#include "engine/Demo.h"

// The preview and the capture for any show on the engine. A show describes
// itself in a Show; a program of a few lines hands it to previewMain or
// captureMain, which read the command line and run the tool.
namespace vq_tools {

struct Cue {
    double time;
    std::string label;
};

struct Show {
    std::string name; // window titles, messages, file names
    // Builds the show in the current GL 4.1 context and calls init(); may be called
    // again (for a new size, or a fresh start) after the earlier show's context is gone.
    std::function<vq_engine::Demo*(int width, int height)> make;
    std::string track;     // the music, relative to the working directory
    std::vector<Cue> cues; // optional: marks on the preview's timeline

    // For a silent show, whose track is empty: how long it lasts, in seconds.
    double seconds = 0.0;
    // Optional: files the show reads as it is built, each checked before
    // anything starts, so that a missing one is named in one line.
    std::vector<std::string> files;
    // Set for a show that carries state from frame to frame beyond its clouds
    // and the random stream (its own counters, say): its saved clouds would
    // not bring it back, so the preview seeks by stepping from a fresh start.
    bool keepsOtherState = false;
};

int previewMain(int argc, char** argv, const Show& show);
int captureMain(int argc, char** argv, const Show& show);

} // namespace vq_tools

#endif
