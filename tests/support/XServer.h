#ifndef VQ_TESTS_XSERVER_H
#define VQ_TESTS_XSERVER_H

#include <sys/types.h>

#include <string>

#include "tests/support/Image.h"

struct SDL_Window;

// A private Xvfb display, optionally with a window manager, as a desktop has
// one and a kiosk started with xinit has none.
class XServer {
public:
    XServer(int width, int height);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool running() const { return !display.empty(); }
    bool startWindowManager();
    // The whole screen; empty when it could not be read.
    Image screenshot() const;
    // Runs an X client command (xdotool, xwininfo ...) against this display.
    std::string client(const std::string& command) const;

    std::string display;
    pid_t server = -1;
    pid_t windowManager = -1;
};

// An SDL window of this process as the X server of its display has it; empty
// when it could not be read.
Image windowScreenshot(SDL_Window* window);

#endif
