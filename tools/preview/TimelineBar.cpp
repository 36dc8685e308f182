#include "tools/preview/TimelineBar.h"

#include <GL/glew.h>

#include <algorithm>

#include "tools/preview/PlayClock.h"

namespace preview {

namespace {

const int margin = 2;

struct Colour {
    float r, g, b;
};

const Colour backdrop = {0.08f, 0.08f, 0.1f};
const Colour cueTick = {0.45f, 0.45f, 0.5f};
const Colour loopMark = {0.95f, 0.8f, 0.2f};
const Colour playhead = {1.0f, 0.25f, 0.2f};
// One per lane, repeated when there are more scenes.
const Colour laneColours[] = {{0.3f, 0.5f, 0.9f}, {0.3f, 0.8f, 0.6f}, {0.75f, 0.45f, 0.9f},
                              {0.9f, 0.6f, 0.3f}, {0.5f, 0.85f, 0.3f}, {0.9f, 0.4f, 0.6f}};

// A rectangle in window pixels, y up from the bottom edge.
void fill(int x, int y, int width, int height, const Colour& colour) {
    if (width <= 0 || height <= 0)
        return;
    glScissor(x, y, width, height);
    glClearColor(colour.r, colour.g, colour.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

TimelineBar::TimelineBar(const std::vector<vq_engine::Scene*>& scenes, const std::vector<vq_tools::Cue>& cues,
                         double showSeconds)
    : showSeconds(showSeconds) {
    for (const vq_engine::Scene* scene : scenes)
        windows.push_back({scene->start, scene->end});
    for (const vq_tools::Cue& cue : cues)
        cueTimes.push_back(cue.time);
}

int TimelineBar::height() const {
    return int(windows.size()) * laneHeight + 2 * margin;
}

void TimelineBar::draw(int width, double now, const PlayClock& clock) const {
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    GLboolean scissored = glIsEnabled(GL_SCISSOR_TEST);
    GLint scissorBox[4];
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    glEnable(GL_SCISSOR_TEST);

    auto x = [&](double seconds) { return int(std::max(0.0, std::min(seconds / showSeconds, 1.0)) * width); };
    fill(0, 0, width, this->height(), backdrop);
    for (double cue : cueTimes)
        fill(x(cue), 0, 1, this->height(), cueTick);
    // The first scene's lane on top, as they are listed.
    for (size_t i = 0; i < windows.size(); i++) {
        int y = margin + int(windows.size() - 1 - i) * laneHeight;
        int left = x(windows[i].start);
        const Colour& colour = laneColours[i % (sizeof laneColours / sizeof laneColours[0])];
        fill(left, y, x(windows[i].end) - left, laneHeight, colour);
    }
    double fps = clock.fps;
    if (clock.looping) {
        int left = x(clock.loopStart / fps);
        fill(left, this->height() - 1, std::max(1, x(clock.loopEnd / fps) - left), 1, loopMark);
        fill(left, 0, 1, this->height(), loopMark);
        fill(x(clock.loopEnd / fps), 0, 1, this->height(), loopMark);
    }
    fill(x(now) - 1, 0, 2, this->height(), playhead);

    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (!scissored)
        glDisable(GL_SCISSOR_TEST);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
}

} // namespace preview
