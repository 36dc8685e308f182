#ifndef VELQUOR_TOOLS_GLWINDOW_H
#define VELQUOR_TOOLS_GLWINDOW_H

#include <SDL.h>

#include <string>

namespace tools {

// Starts SDL's video, makes sure a display is behind it, and opens a window
// with an OpenGL 4.1 core context (a debug one if asked) and GLEW loaded.
// An error message, or empty; window and context are set as far as it got.
std::string openGLWindow(const char* title, int width, int height, Uint32 flags, bool debug,
                         SDL_Window*& window, SDL_GLContext& context);

} // namespace tools

#endif
