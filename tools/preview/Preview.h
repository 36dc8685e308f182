#ifndef VELQUOR_PREVIEW_PREVIEW_H
#define VELQUOR_PREVIEW_PREVIEW_H

#include <SDL.h>

#include <functional>
#include <memory>
#include <string>

#include "tools/preview/Music.h"
#include "tools/preview/PlayClock.h"
#include "tools/preview/Presenter.h"
#include "tools/preview/PreviewOptions.h"
#include "tools/preview/ShaderWatch.h"
#include "tools/preview/ShowPlayer.h"
#include "tools/preview/TimelineBar.h"

namespace preview {

// Seconds from some fixed moment, on the steady clock.
double steadySeconds();

// The preview's window and its loop: each pass handles the keys, brings the
// show to the frame its clock says is due, puts that frame on screen with the
// timeline bar over it and, when paused, spends the spare time keeping the
// show's states further ahead. Between frames it sleeps: its main thread
// leaves the CPU to the driver's rasterizer threads.
class Preview {
public:
    // now reads the time the play clock follows, in seconds.
    Preview(const vq_tools::Show& description, const PreviewOptions& options, double showSeconds,
            std::function<double()> now = steadySeconds);
    ~Preview();
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // Opens the window, builds the show and opens the music; an error, or empty.
    std::string open();
    // Runs until Escape or the window is closed.
    void run();
    // One pass of the loop: the queued events, update(), then the wait for
    // the next frame, or states kept ahead meanwhile.
    void runOnce();
    // The queued events, then update(): a pass with no waiting.
    void handleEvents();
    // Rebuilds the programs when their files changed (looking a few times a
    // second), brings the show to the due frame and puts it on screen when
    // anything changed.
    void update();
    void handle(const SDL_Event& event);

    // Everything the keys do.
    void togglePause();
    void seekTo(int frame);
    void stepBy(int frames);
    void setLoopStart();
    void setLoopEnd();
    void clearLoop();
    void changeRate(double factor);
    void toggleFullscreen();
    void reloadShaders();
    // The frame on screen, as NAME-SSS.SSS.png in the working directory; its name, or empty.
    std::string writeScreenshot();

    double showSeconds;
    bool quit = false;
    // Why the preview stopped when it could not go on, or empty.
    std::string failure;
    // Frames drawn since the window opened (frames stepped unseen not counted).
    long framesDrawn = 0;
    bool barShown = true;
    ShowPlayer player;
    PlayClock clock;
    Music music;
    ShaderWatch watch;
    std::unique_ptr<TimelineBar> bar;
    SDL_Window* window = nullptr;
    // Puts the frames on screen, from a thread of its own.
    std::unique_ptr<Presenter> presenter;

    std::function<double()> now;

private:
    double seconds() const { return now(); }
    void watchShaders(double now);
    void waitForNextFrame(double now);
    void followClock();
    // Hands the frame on show to the presenter; on screen before it returns
    // when paused.
    void present();
    void updateTitle(double now);
    // Music plays while the clock runs at normal speed, from the frame on
    // show; the clock starts again from that frame.
    void restartFromFrame();
    void useSpareTime(double now);
    // "NAME-preview", the start of every message and title.
    std::string program() const;

    PreviewOptions options;
    // The window's context, current on the presenter's thread; the show's
    // own is current on this one.
    SDL_GLContext context = nullptr;
    double lastWatch = -1.0;
    double lastTitle = -1.0;
    int framesSinceTitle = 0;
    double drawnPerSecond = 0.0;
    // Whether the window shows something other than what is on screen.
    bool changed = true;
    bool scoutDone = false;
};

} // namespace preview

#endif
