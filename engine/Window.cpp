#include "engine/Window.h"

#include <cstring>

namespace vq_engine {

// SDL leaves sizing a full-screen-desktop window to the window manager. An X
// server with none (a kiosk or party machine started with xinit) keeps the
// window at the size it was created with, so it is created at the desktop's.
SDL_Window* openWindow(const char* title, int width, int height, Uint32 flags) {
    SDL_DisplayMode desktop;
    if (!(flags & SDL_WINDOW_FULLSCREEN) || SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    SDL_Window* window =
        SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, desktop.w, desktop.h, flags);
    // A full-screen window only records the size it returns to.
    if (window && width > 0 && height > 0)
        SDL_SetWindowSize(window, width, height);
    return window;
}

std::string noDisplayReason(const char* videoDriver) {
    const char* driver = videoDriver ? videoDriver : "none";
    if (videoDriver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)
        return "";
    return std::string("no display found: SDL's video driver is \"") + driver +
           "\", which has no windowing system (set DISPLAY or WAYLAND_DISPLAY, or run under xvfb-run -a)";
}

} // namespace vq_engine
