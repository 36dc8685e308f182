#include "demo/StartChecks.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "demo/SceneCommon.h"
#include "engine/RegularFile.h"

std::string unreadableDataReason(const char* path) {
    std::string reason;
    FILE* file = vq_engine::openRegularFile(path, reason);
    if (file) {
        std::fclose(file);
        return "";
    }
    char cwd[4096];
    std::string where = getcwd(cwd, sizeof cwd) ? cwd : "the working directory";
    return std::string("cannot read ") + path + " in " + where + ": " + reason;
}

std::string noDisplayReason(const char* videoDriver) {
    const char* driver = videoDriver ? videoDriver : "none";
    if (videoDriver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)
        return "";
    return std::string("no display found: SDL's video driver is \"") + driver +
           "\", which has no windowing system (set DISPLAY or WAYLAND_DISPLAY, or run under xvfb-run -a)";
}

std::string brokenProgramReason() {
    const std::vector<vq_engine::ShaderProgram*>& programs = starsPrograms();
    int broken = 0;
    for (vq_engine::ShaderProgram* program : programs)
        broken += program->isLinked() ? 0 : 1;
    if (broken == 0)
        return "";
    return std::string("the show cannot start with a broken particle program: ") + std::to_string(broken) +
           " of " + std::to_string(programs.size()) + " built from " + starsVertexPath + " and " +
           starsFragmentPath + " did not link (the shader errors are above)";
}
