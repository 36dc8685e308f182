#ifndef VELQUOR_PREVIEW_TIMELINEBAR_H
#define VELQUOR_PREVIEW_TIMELINEBAR_H

#include <vector>

#include "engine/Scene.h"
#include "tools/ShowTools.h"

namespace preview {

class PlayClock;

// A thin bar along the bottom of the window: one lane per scene marking its
// window, the show's cues as ticks, the loop and the current time. Drawn
// with scissored clears alone, so it needs no program of its own.
class TimelineBar {
public:
    static const int laneHeight = 2;

    TimelineBar(const std::vector<vq_engine::Scene*>& scenes, const std::vector<vq_tools::Cue>& cues,
                double showSeconds);

    // Along the bottom of the bound framebuffer, of the given width; GL
    // state is left as found.
    void draw(int width, double now, const PlayClock& clock) const;
    int height() const;

private:
    struct Window {
        double start;
        double end;
    };
    std::vector<Window> windows;
    std::vector<double> cueTimes;
    double showSeconds;
};

} // namespace preview

#endif
