#include "demo/StartChecks.h"

#include "demo/SceneCommon.h"

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
