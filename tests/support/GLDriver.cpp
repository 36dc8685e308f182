#include "tests/support/GLDriver.h"

std::string captureRenderer(const std::string& output) {
    const std::string label = "velquor-capture: OpenGL renderer: ";
    size_t at = output.find(label);
    if (at == std::string::npos)
        return "";
    at += label.size();
    return output.substr(at, output.find('\n', at) - at);
}

std::string wrongRenderer(const GLDriver& driver, const std::string& output) {
    std::string renderer = captureRenderer(output);
    if (renderer.rfind(driver.renderer, 0) == 0)
        return "";
    return std::string("asked for ") + driver.name + ", drew with " +
           (renderer.empty() ? "no renderer named" : renderer);
}
