#ifndef VQ_ENGINE_DEMO_H
#define VQ_ENGINE_DEMO_H

#include <vector>

#include "engine/Scene.h"

namespace vq_engine {

// The timeline: an ordered list of scenes, each drawn while its window holds t.
class Demo {
public:
    Demo(int width, int height);
    ~Demo();

    virtual void init() = 0;

    // Draws every scene whose window strictly contains t, in list order.
    void show(double t);

    int width;
    int height;
    std::vector<Scene*> scenes;
};

} // namespace vq_engine

#endif
