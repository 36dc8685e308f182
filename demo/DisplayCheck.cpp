#include "demo/DisplayCheck.h"

#include <cstring>

std::string noDisplayReason(const char* videoDriver) {
    const char* driver = videoDriver ? videoDriver : "none";
    if (videoDriver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)
        return "";
    return std::string("no display found: SDL's video driver is \"") + driver +
           "\", which has no windowing system (set DISPLAY or WAYLAND_DISPLAY, or run under xvfb-run -a)";
}
