#include "engine/ShowRunner.h"

#include <algorithm>
#include <utility>

#include "engine/RandomStream.h"

namespace vq_engine {

namespace {

// The entries of one of the engine's lists from first on: what was made since it held first.
template <typename T>
std::vector<T*> madeSince(const std::vector<T*>& live, size_t first) {
    return {live.begin() + std::ptrdiff_t(std::min(first, live.size())), live.end()};
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

} // namespace

ShowRunner::ShowRunner(const Show& show) : show(show) {}

std::string ShowRunner::build(int width, int height) {
    // Every build of the show is the same show, as every run of it is.
    restartRandom();
    size_t firstCloud = Particle::live.size();
    size_t firstProgram = ShaderProgram::live.size();
    demo = show.make(width, height);
    clouds = madeSince(Particle::live, firstCloud);
    programs = madeSince(ShaderProgram::live, firstProgram);
    return demo ? "" : "the show's make gave no show";
}

void ShowRunner::dropClouds() {
    for (Particle* cloud : clouds)
        delete cloud;
    clouds.clear();
    demo = nullptr;
}

void ShowRunner::drop() {
    dropClouds();
    for (ShaderProgram* program : programs)
        delete program;
    programs.clear();
}

// The same show makes the same programs in the same order.
void ShowRunner::keepWorkingPrograms(const std::vector<ShaderProgram*>& before) {
    for (size_t i = 0; i < programs.size() && i < before.size(); i++) {
        ShaderProgram* now = programs[i];
        if (!now->isLinked() && before[i]->isLinked() && now->sourceFiles() == before[i]->sourceFiles()) {
            std::swap(now->id, before[i]->id);
            std::swap(now->shaders, before[i]->shaders);
        }
    }
}

std::string ShowRunner::rebuild(int width, int height, bool fresh) {
    State held = save();
    dropClouds();
    std::vector<ShaderProgram*> before = std::move(programs);
    programs.clear();
    std::string error = build(width, height);
    keepWorkingPrograms(before);
    for (ShaderProgram* program : before)
        delete program;
    if (!error.empty() || fresh)
        return error;
    error = restore(held);
    return error.empty() ? "" : "the show built again at " + sizeText(width, height) + " " + error;
}

ShowRunner::State ShowRunner::save() const {
    State state;
    for (Particle* cloud : clouds)
        state.clouds.push_back(cloud->save());
    saveRandom(state.random);
    return state;
}

std::string ShowRunner::restore(const State& state) {
    if (state.clouds.size() != clouds.size())
        return "made " + std::to_string(clouds.size()) + " clouds, not the " + std::to_string(state.clouds.size()) +
               " it had";
    for (size_t i = 0; i < clouds.size(); i++)
        clouds[i]->restore(state.clouds[i]);
    restoreRandom(state.random);
    return "";
}

std::string ShowRunner::brokenProgramReason() const {
    int broken = 0;
    std::string files;
    for (ShaderProgram* program : programs) {
        if (program->isLinked())
            continue;
        broken++;
        std::string these = program->sourceFiles();
        if (files.find(these) == std::string::npos)
            files += (files.empty() ? "" : "; ") + these;
    }
    if (broken == 0)
        return "";
    return "the show cannot start with a broken particle program: " + std::to_string(broken) + " of " +
           std::to_string(programs.size()) + " built from " + files + " did not link";
}

} // namespace vq_engine
