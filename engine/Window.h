#ifndef VQ_ENGINE_WINDOW_H
#define VQ_ENGINE_WINDOW_H

#include <SDL.h>

#include <string>

namespace vq_engine {

// Opens a window as SDL_CreateWindow does, at width x height unless flags ask
// for full screen (SDL_WINDOW_FULLSCREEN_DESKTOP): then it covers the desktop
// with or without a window manager, and width x height is the size it takes
// when it leaves full screen.
SDL_Window* openWindow(const char* title, int width, int height, Uint32 flags);

// With no display to talk to, SDL still starts: it falls back to a video
// driver with no windowing system behind it ("offscreen", "dummy"), and the
// first GL call fails with a reason that points nowhere. Empty when the
// driver SDL chose can show a window; otherwise the one line to print.
std::string noDisplayReason(const char* videoDriver);

} // namespace vq_engine

#endif
