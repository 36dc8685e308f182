#ifndef VQ_TESTS_GLDRIVER_H
#define VQ_TESTS_GLDRIVER_H

#include <ostream>
#include <string>

#include "tests/support/CaptureRun.h"

// The OpenGL drivers velquor-capture is run on: Mesa's default under Xvfb
// (llvmpipe), and zink, Mesa's OpenGL on Vulkan, over the lavapipe Vulkan
// driver. Mesa 22.3 only honours the override with software rendering asked
// for; without Vulkan it falls back to llvmpipe without a word, so each run
// is held to the renderer it names.
struct GLDriver {
    const char* name;
    Environment environment;
    const char* renderer; // GL_RENDERER starts with this
};

const GLDriver defaultDriver = {"llvmpipe", {}, "llvmpipe"};
const GLDriver zinkDriver = {"zink", {{"LIBGL_ALWAYS_SOFTWARE", "1"}, {"MESA_LOADER_DRIVER_OVERRIDE", "zink"}}, "zink"};

// The renderer velquor-capture's output names; empty when it names none.
std::string captureRenderer(const std::string& output);

// Empty when the output shows the run drew on the driver; otherwise why not.
std::string wrongRenderer(const GLDriver& driver, const std::string& output);

inline void PrintTo(const GLDriver& driver, std::ostream* out) {
    *out << driver.name;
}

#endif
