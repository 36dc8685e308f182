#include "tools/preview/ShowState.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "engine/Particle.h"

namespace preview {

namespace {

bool sameArray(const std::vector<float>& saved, const std::vector<float>& live) {
    return saved.size() == live.size() && std::memcmp(saved.data(), live.data(), saved.size() * sizeof(float)) == 0;
}

void uploadArray(GLuint buffer, const std::vector<float>& values) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(values.size() * sizeof(float)), values.data());
}

} // namespace

bool CloudState::sameAs(const vq_engine::Particle& cloud) const {
    return reborn == cloud.reborn && emit[0] == cloud.emitX && emit[1] == cloud.emitY && emit[2] == cloud.emitZ &&
           sameArray(positions, cloud.positions) && sameArray(velocities, cloud.velocities) &&
           sameArray(birthTimes, cloud.birthTimes) && sameArray(deathTimes, cloud.deathTimes);
}

size_t CloudState::bytes() const {
    return sizeof(CloudState) +
           sizeof(float) * (positions.size() + velocities.size() + birthTimes.size() + deathTimes.size());
}

void saveRandom(unsigned short state[3]) {
    // seed48 hands back the position it replaces; putting it straight back
    // leaves the stream where it was (the show never changes its multiplier).
    unsigned short any[3] = {0, 0, 0};
    std::memcpy(state, seed48(any), sizeof(unsigned short) * 3);
    restoreRandom(state);
}

void restoreRandom(const unsigned short state[3]) {
    unsigned short copy[3] = {state[0], state[1], state[2]};
    seed48(copy);
}

ShowState saveShow(const std::vector<vq_engine::Particle*>& clouds, const ShowState* like) {
    ShowState state;
    saveRandom(state.random);
    state.clouds.reserve(clouds.size());
    for (size_t i = 0; i < clouds.size(); i++) {
        const vq_engine::Particle& cloud = *clouds[i];
        if (like && i < like->clouds.size() && like->clouds[i]->sameAs(cloud)) {
            state.clouds.push_back(like->clouds[i]);
            continue;
        }
        auto saved = std::make_shared<CloudState>();
        saved->positions = cloud.positions;
        saved->velocities = cloud.velocities;
        saved->birthTimes = cloud.birthTimes;
        saved->deathTimes = cloud.deathTimes;
        saved->emit[0] = cloud.emitX;
        saved->emit[1] = cloud.emitY;
        saved->emit[2] = cloud.emitZ;
        saved->reborn = cloud.reborn;
        state.clouds.push_back(saved);
    }
    return state;
}

void restoreShow(const ShowState& state, const std::vector<vq_engine::Particle*>& clouds) {
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    for (size_t i = 0; i < clouds.size(); i++) {
        vq_engine::Particle& cloud = *clouds[i];
        const CloudState& saved = *state.clouds.at(i);
        // A cloud unchanged since the state was saved needs neither copy nor upload.
        if (saved.sameAs(cloud))
            continue;
        cloud.positions = saved.positions;
        cloud.velocities = saved.velocities;
        cloud.birthTimes = saved.birthTimes;
        cloud.deathTimes = saved.deathTimes;
        cloud.emitX = saved.emit[0];
        cloud.emitY = saved.emit[1];
        cloud.emitZ = saved.emit[2];
        cloud.reborn = saved.reborn;
        // Between frames the buffers hold exactly the arrays: every change of
        // velocities is followed by an update, which uploads all four.
        uploadArray(cloud.vbo[0], cloud.positions);
        uploadArray(cloud.vbo[1], cloud.velocities);
        uploadArray(cloud.vbo[2], cloud.birthTimes);
        uploadArray(cloud.vbo[3], cloud.deathTimes);
    }
    glBindBuffer(GL_ARRAY_BUFFER, GLuint(previous));
    restoreRandom(state.random);
}

void StateStore::keep(int frame, ShowState state) {
    states[frame] = std::move(state);
}

const ShowState* StateStore::latestUpTo(int frame, int& found) const {
    auto after = states.upper_bound(frame);
    if (after == states.begin())
        return nullptr;
    --after;
    found = after->first;
    return &after->second;
}

int StateStore::lastFrame() const {
    return states.empty() ? -1 : states.rbegin()->first;
}

size_t StateStore::bytes() const {
    std::set<const CloudState*> counted;
    size_t total = 0;
    for (const auto& entry : states)
        for (const auto& cloud : entry.second.clouds)
            if (counted.insert(cloud.get()).second)
                total += cloud->bytes();
    return total;
}

} // namespace preview
