#ifndef VELQUOR_PREVIEW_SHOWSTATE_H
#define VELQUOR_PREVIEW_SHOWSTATE_H

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

#include "engine/Particle.h"
#include "tools/common/OffscreenShow.h"

namespace preview {

// Everything one cloud carries from frame to frame.
using CloudState = vq_engine::Particle::State;
// Bytes a saved cloud takes.
size_t cloudBytes(const CloudState& cloud);

// The show between two frames: every cloud and the random stream. Clouds
// that did not change since another saved state share its copy.
struct ShowState {
    unsigned short random[3];
    std::vector<std::shared_ptr<const CloudState>> clouds;
};

using tools::restoreRandom;
using tools::saveRandom;

// Copies the clouds' arrays (sharing each one unchanged since like, when given)
// and the random stream.
ShowState saveShow(const std::vector<vq_engine::Particle*>& clouds, const ShowState* like);
// Puts the arrays back, on the CPU and into the clouds' GPU buffers, and the
// random stream; the array buffer and vertex array bindings are left as they were.
void restoreShow(const ShowState& state, const std::vector<vq_engine::Particle*>& clouds);

// States saved by frame number, with the memory their clouds take.
class StateStore {
public:
    void keep(int frame, ShowState state);
    bool has(int frame) const { return states.count(frame) != 0; }
    // The latest state at or before frame, or nullptr; its frame in found.
    const ShowState* latestUpTo(int frame, int& found) const;
    // The latest frame held, or -1.
    int lastFrame() const;
    size_t count() const { return states.size(); }
    // Bytes of cloud arrays held, each shared copy counted once.
    size_t bytes() const;

private:
    std::map<int, ShowState> states;
};

} // namespace preview

#endif
