#ifndef VELQUOR_PREVIEW_TIMELINEBAR_H
#define VELQUOR_PREVIEW_TIMELINEBAR_H

#include <vector>

#include "demo/SceneContents.h"

namespace preview {

class PlayClock;

// A thin bar along the bottom of the window: one lane per scene marking its
// window, the music's cues as ticks, the loop and the current time. Drawn
// with scissored clears alone, so it needs no program of its own.
class TimelineBar {
public:
    static const int laneHeight = 2;

    TimelineBar(const std::vector<SceneContent>& scenes, double showSeconds);

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
    double showSeconds;
};

} // namespace preview

#endif
