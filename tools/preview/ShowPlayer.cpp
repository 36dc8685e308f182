#include "tools/preview/ShowPlayer.h"

#include <algorithm>
#include <chrono>


namespace preview {

ShowPlayer::ShowPlayer(const vq_tools::Show& description, int fps, int lastFrame)
    : fps(fps), lastFrame(lastFrame), show(description, 0, 0) {}

ShowPlayer::~ShowPlayer() {
    close();
}

void ShowPlayer::close() {
    show.close();
}

std::string ShowPlayer::open(int width, int height) {
    show.width = width;
    show.height = height;
    // One frame on its way to the screen, one waiting for it, and one being drawn.
    show.buffers = 3;
    show.shareWithCurrent = true;
    std::string error = show.open((show.description.name + "-preview-show").c_str());
    if (!error.empty())
        return error;
    clouds = show.clouds();
    states.keep(0, saveShow(clouds, nullptr));
    redraw();
    return "";
}

std::string ShowPlayer::resize(int width, int height) {
    std::string error = show.rebuild(width, height, !keepsStates());
    if (!error.empty())
        return error;
    clouds = show.clouds();
    if (keepsStates()) {
        redraw();
        return "";
    }
    // Built afresh: the show stands before its first frame.
    int n = frame;
    frame = 0;
    restore(n);
    draw(n);
    frame = n;
    return "";
}

unsigned int ShowPlayer::framebuffer() const {
    return show.framebuffer();
}

void ShowPlayer::step(int n) {
    show.step(timeOf(n));
    keepIfDue(n);
}

void ShowPlayer::draw(int n) {
    show.draw(timeOf(n));
    keepIfDue(n);
}

void ShowPlayer::keepIfDue(int n) {
    if (!keepsStates() || n % keepEvery != 0 || states.has(n))
        return;
    int found = 0;
    states.keep(n, saveShow(clouds, states.latestUpTo(n - 1, found)));
}

// Brings the show to the state after frame n - 1, by stepping on from the
// current frame or from the nearest state kept, whichever is nearer.
int ShowPlayer::startFor(int n) const {
    int kept = 0;
    states.latestUpTo(std::max(n - 1, 0), kept);
    return frame > n - 1 || kept > frame ? kept : frame;
}

int ShowPlayer::framesToStep(int n) const {
    n = std::max(0, std::min(n, lastFrame));
    return std::max(0, n - 1 - startFor(n));
}

void ShowPlayer::restore(int n) {
    int from = startFor(n);
    if (from != frame && keepsStates()) {
        int kept = 0;
        restoreShow(*states.latestUpTo(from, kept), clouds);
    } else if (from != frame) {
        show.rebuild(show.width, show.height, true);
        clouds = show.clouds();
    }
    for (int k = from + 1; k < n; k++)
        step(k);
}

void ShowPlayer::showFrame(int n) {
    n = std::max(0, std::min(n, lastFrame));
    if (n == frame)
        return;
    restore(n);
    draw(n);
    frame = n;
}

void ShowPlayer::redraw() {
    int n = frame;
    frame = lastFrame + 1; // nothing after n is usable
    restore(n);
    draw(n);
    frame = n;
}

bool ShowPlayer::keepAhead(double seconds) {
    if (!keepsStates())
        return false;
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    int found = 0;
    // Playing or seeking may have kept states beyond the scout.
    const ShowState* from = &scout;
    if (states.lastFrame() >= scoutFrame) {
        scoutFrame = states.lastFrame();
        from = states.latestUpTo(scoutFrame, found);
    }
    if (scoutFrame >= lastFrame)
        return false;
    ShowState here = saveShow(clouds, states.latestUpTo(frame, found));
    restoreShow(*from, clouds);
    do
        step(++scoutFrame);
    while (scoutFrame < lastFrame && Clock::now() < deadline);
    scout = saveShow(clouds, states.latestUpTo(scoutFrame, found));
    restoreShow(here, clouds);
    return scoutFrame < lastFrame;
}

std::vector<std::string> ShowPlayer::scenesAt(int n) const {
    double t = timeOf(n);
    std::vector<std::string> names;
    for (vq_engine::Scene* scene : show.demo->scenes)
        if (scene->showsAt(t))
            names.push_back(tools::OffscreenShow::sceneName(scene));
    return names;
}

} // namespace preview
