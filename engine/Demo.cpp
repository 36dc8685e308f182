#include "engine/Demo.h"

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

} // namespace vq_engine
