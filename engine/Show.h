#ifndef VQ_ENGINE_SHOW_H
#define VQ_ENGINE_SHOW_H

#include <functional>
#include <string>
#include <vector>

#include "engine/Demo.h"

namespace vq_engine {

// A mark on a show's timeline, for people: "158 flies in".
struct Cue {
    double time;
    std::string label;
};

// A show on the engine as the programs around it see it: the preview, the
// capture and the web page take the same description.
struct Show {
    std::string name; // window titles, messages, file names
    // Builds the show in the current GL context and calls init(); may be called
    // again (for a new size, or a fresh start) after the earlier show's objects are gone.
    std::function<Demo*(int width, int height)> make;
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

    // Empty when the description can be played; otherwise the mistake in it,
    // in one line: no name, no make, neither a track nor a length.
    std::string problem() const;
};

} // namespace vq_engine

#endif
