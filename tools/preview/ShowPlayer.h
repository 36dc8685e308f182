#ifndef VELQUOR_PREVIEW_SHOWPLAYER_H
#define VELQUOR_PREVIEW_SHOWPLAYER_H

#include <string>
#include <vector>

#include "tools/common/OffscreenShow.h"
#include "tools/preview/ShowState.h"

namespace preview {

// The show at fixed frames: frame n is the show at n / fps seconds after
// every earlier frame has moved its points. It draws the frame it is asked
// for into an offscreen buffer of the window's size, steps the frames before
// it without drawing them, and keeps the show's state every few frames so
// that going back, or far ahead, starts from the nearest one kept.
class ShowPlayer {
public:
    // States are kept every keepEvery frames.
    static const int keepEvery = 15;

    ShowPlayer(const vq_tools::Show& description, int fps, int lastFrame);
    ~ShowPlayer();
    ShowPlayer(const ShowPlayer&) = delete;
    ShowPlayer& operator=(const ShowPlayer&) = delete;

    // Builds the demo and its buffers in a hidden window and context of its
    // own, which share their textures with the GL context current before and
    // are current after; an error, or empty.
    std::string open(int width, int height);
    // Gives back the buffer while the context is still there.
    void close();
    // Makes frame n (clamped to the show) the one on show: its state, and its picture in the buffer.
    void showFrame(int n);
    // Draws the current frame again, from the state before it (after a new
    // buffer size or a new program).
    void redraw();
    // How many frames showFrame(n) would step unseen before drawing n.
    int framesToStep(int n) const;
    // The show built again at the window's size, with the current frame
    // drawn into its new buffer; an error, or empty.
    std::string resize(int width, int height);
    // Steps a scout ahead of the kept states for about the given seconds (at
    // least one frame), keeping states as it goes and leaving the current
    // frame as it is; whether the scout has more of the show to go.
    bool keepAhead(double seconds);

    double timeOf(int n) const { return double(n) / fps; }
    unsigned int framebuffer() const;
    // The names of the scenes drawn at frame n, in drawing order.
    std::vector<std::string> scenesAt(int n) const;

    int fps;
    int lastFrame;
    // The frame whose state the show holds and whose picture the buffer holds.
    int frame = 0;
    StateStore states;
    // The demo and the buffer the frames are drawn into.
    tools::OffscreenShow show;

private:
    void step(int n);
    void draw(int n);
    void keepIfDue(int n);
    // The frame to step on from towards n: the current one, or a state kept nearer.
    int startFor(int n) const;
    void restore(int n);
    // Whether kept states bring the show back: not for a show with state
    // of its own beyond its clouds, which is stepped from a fresh start.
    bool keepsStates() const { return !show.description.keepsOtherState; }

    // Where keepAhead got to: the state after frame scoutFrame.
    ShowState scout;
    int scoutFrame = 0;
    std::vector<vq_engine::Particle*> clouds;
};

} // namespace preview

#endif
