#include "tools/preview/ShowState.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>
#include <set>

namespace preview {

size_t cloudBytes(const CloudState& cloud) {
    return sizeof(CloudState) + sizeof(float) * (cloud.positions.size() + cloud.velocities.size() +
                                                 cloud.birthTimes.size() + cloud.deathTimes.size());
}

ShowState saveShow(const std::vector<vq_engine::Particle*>& clouds, const ShowState* like) {
    ShowState state;
    saveRandom(state.random);
    state.clouds.reserve(clouds.size());
    for (size_t i = 0; i < clouds.size(); i++) {
        const vq_engine::Particle& cloud = *clouds[i];
        if (like && i < like->clouds.size() && cloud.holds(*like->clouds[i])) {
            state.clouds.push_back(like->clouds[i]);
            continue;
        }
        state.clouds.push_back(std::make_shared<CloudState>(cloud.save()));
    }
    return state;
}

void restoreShow(const ShowState& state, const std::vector<vq_engine::Particle*>& clouds) {
    GLint previous = 0;
    GLint previousArray = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previousArray);
    for (size_t i = 0; i < clouds.size(); i++) {
        vq_engine::Particle& cloud = *clouds[i];
        const CloudState& saved = *state.clouds.at(i);
        // A cloud unchanged since the state was saved needs neither copy nor upload.
        if (cloud.holds(saved))
            continue;
        cloud.restore(saved);
    }
    glBindVertexArray(GLuint(previousArray));
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
                total += cloudBytes(*cloud);
    return total;
}

} // namespace preview
