#include "engine/Demo.h"

#include <GL/glew.h>

#include <cstdint>

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
    if (!nothingDrawn) {
        glGenQueries(1, &nothingDrawn);
        glBeginQuery(GL_ANY_SAMPLES_PASSED, nothingDrawn);
        glEndQuery(GL_ANY_SAMPLES_PASSED);
    }
    glEnable(GL_RASTERIZER_DISCARD);
    glBeginConditionalRender(nothingDrawn, GL_QUERY_WAIT);
    show(t);
    glEndConditionalRender();
    glDisable(GL_RASTERIZER_DISCARD);
}

} // namespace vq_engine
