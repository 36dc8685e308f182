#include "engine/Demo.h"

#include <GL/glew.h>

#include <cstdint>

#include "engine/GLCheck.h"
#include "engine/Particle.h"

namespace vq_engine {

Demo::Demo(int width, int height) : width(width), height(height) {}

Demo::~Demo() {}

void Demo::show(double t) {
    for (uint32_t i = 0; i < scenes.size(); i++) {
        Scene* scene = scenes.at(i);
        if (scene->showsAt(t))
            scene->show(t);
    }
}

void Demo::step(double t) {
#ifdef __EMSCRIPTEN__
    // WebGL has no conditional rendering: the clouds send no draws, and the
    // next frame shown clears over anything else.
    (void)nothingDrawn;
    Particle::skipDraws = true;
    show(t);
    Particle::skipDraws = false;
#else
    if (!nothingDrawn) {
        VQ_GL(glGenQueries(1, &nothingDrawn));
        VQ_GL(glBeginQuery(GL_ANY_SAMPLES_PASSED, nothingDrawn));
        VQ_GL(glEndQuery(GL_ANY_SAMPLES_PASSED));
    }
    VQ_GL(glEnable(GL_RASTERIZER_DISCARD));
    VQ_GL(glBeginConditionalRender(nothingDrawn, GL_QUERY_WAIT));
    show(t);
    VQ_GL(glEndConditionalRender());
    VQ_GL(glDisable(GL_RASTERIZER_DISCARD));
#endif
}

} // namespace vq_engine
