#ifndef VQ_ENGINE_SHOWRUNNER_H
#define VQ_ENGINE_SHOWRUNNER_H

#include <string>
#include <vector>

#include "engine/Particle.h"
#include "engine/Show.h"
#include "engine/ShaderProgram.h"

namespace vq_engine {

// A show built in the current GL context, and built again: for a new size,
// for a fresh start, or to put back a moment saved earlier. The preview, the
// capture and the web page all hold their show in one.
//
// All a show carries from frame to frame is its clouds and the random stream
// (unless Show::keepsOtherState says otherwise), so a saved State brings any
// moment back.
//
// It DOES NOT own a context, a window or a clock: the caller makes the context
// current first and decides which frames to step and draw.
class ShowRunner {
public:
    explicit ShowRunner(const Show& show);
    // The show's objects stay: they go with the context.
    ~ShowRunner() = default;
    ShowRunner(const ShowRunner&) = delete;
    ShowRunner& operator=(const ShowRunner&) = delete;

    struct State {
        std::vector<Particle::State> clouds;
        unsigned short random[3];
    };

    // Builds the show at width x height from the random stream's start, as
    // every run builds it; an error, or empty.
    std::string build(int width, int height);
    // Deletes the show's clouds and programs, in the context they were made in;
    // its scenes, which point at them, are never called again.
    void drop();
    // drop() then build(), at a new size or the same one, with the state the
    // show has now put back, or from the start when fresh. A program that does
    // not build from its files at that moment (they are being edited) takes
    // over the working one its predecessor had. An error, or empty.
    std::string rebuild(int width, int height, bool fresh = false);

    State save() const;
    // Empty, or why the state is not this show's (another number of clouds).
    std::string restore(const State& state);
    // Empty when every program the show made has linked; otherwise how many
    // did not, and from which files (the shader reports went to standard output).
    std::string brokenProgramReason() const;

    Show show;
    // The show as made by show.make; its scenes are never deleted.
    Demo* demo = nullptr;
    // What the show made as it was built, taken from the engine's lists, so
    // that another show built or dropped in the same process cannot shift them.
    std::vector<Particle*> clouds;
    std::vector<ShaderProgram*> programs;

private:
    void dropClouds();
    void keepWorkingPrograms(const std::vector<ShaderProgram*>& before);
};

} // namespace vq_engine

#endif
