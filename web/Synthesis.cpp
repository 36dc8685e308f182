#include "web/Synthesis.h"

#include <emscripten/emscripten.h>

#include <utility>

extern "C" {
// Tells the page how much of the music is made, from 0 to 1.
__attribute__((import_module("env"), import_name("vq_synth_progress"))) void vq_synth_progress(double done);
}

namespace {

vq_web::Synthesis renderer;
std::vector<unsigned char> made;

} // namespace

namespace vq_web {

int synthesisMain(Synthesis render) {
    renderer = std::move(render);
    return 0;
}

} // namespace vq_web

extern "C" {

// Renders the music; where its WAV file lies in the module's memory, which
// vq_synth_size measures.
EMSCRIPTEN_KEEPALIVE const unsigned char* vq_synth_render() {
    made = renderer([](double done) { vq_synth_progress(done); });
    return made.data();
}

EMSCRIPTEN_KEEPALIVE int vq_synth_size() {
    return int(made.size());
}

} // extern "C"
