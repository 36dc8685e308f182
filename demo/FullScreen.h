#ifndef VELQUOR_FULLSCREEN_H
#define VELQUOR_FULLSCREEN_H

#include <SDL.h>

// Opens a window as SDL_CreateWindow does, at width x height unless flags ask
// for full screen (SDL_WINDOW_FULLSCREEN_DESKTOP): then it covers the desktop
// with or without a window manager, and width x height is the size it takes
// when it leaves full screen.
SDL_Window* openWindow(const char* title, int width, int height, Uint32 flags);

#endif
