#ifndef VELQUOR_PREVIEW_PRESENTER_H
#define VELQUOR_PREVIEW_PRESENTER_H

#include <GL/glew.h>
#include <SDL.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "tools/preview/PlayClock.h"
#include "tools/preview/TimelineBar.h"

namespace preview {

// Puts the preview's frames on screen from a thread of its own, in the
// window's context, while the show draws the next frame in a context of its
// own that shares its textures.
//
// Why a thread: a swap waits until the driver has drawn everything sent
// before it. On the drawing thread that wait would include the next frame's
// drawing, so with a software driver the thread could never send a frame
// while the last one is rasterized. On a thread of its own the swap still
// waits, but the drawing goes on meanwhile.
//
// STEP BY STEP, for each frame: the drawing thread draws into one of three
// textures, fences it and hands it over with show(); the presenter waits for
// the fence, copies the texture to the window's back buffer, draws the
// timeline bar over it and swaps.
//
// It DOES NOT keep a copy of a frame it has been handed: it reads the
// caller's texture, so the caller must not draw into that texture until the
// frame is on screen. Three textures in turn see to it, since show() waits
// until the frame handed over before has been taken up.
class Presenter {
public:
    struct Frame {
        GLuint texture = 0;
        int width = 0;
        int height = 0;
        // Signalled when the texture holds the frame; the presenter deletes it.
        GLsync drawn = nullptr;
        bool barShown = true;
        double time = 0.0;
        PlayClock clock{1, 0};
    };

    // The context must not be current on any thread; the bar must outlive
    // the presenter. Returns once the thread has taken up the context, or
    // failed to (see error).
    Presenter(SDL_Window* window, SDL_GLContext context, const TimelineBar& bar);
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Hands the frame over, once the one before has been taken up.
    void show(const Frame& frame);
    // Waits until every frame handed over is on screen and the presenter
    // reads no texture.
    void finish();

    // Why the thread could not take up the window's context, or empty; a
    // presenter that failed puts nothing on screen.
    std::string error;
    long framesShown = 0;

private:
    void run();
    void put(const Frame& frame);

    SDL_Window* window;
    SDL_GLContext context;
    const TimelineBar& bar;

    std::mutex mutex;
    std::condition_variable changed;
    Frame next;
    bool started = false;
    bool pending = false;
    bool busy = false;
    bool stopping = false;
    std::thread thread;
};

} // namespace preview

#endif
