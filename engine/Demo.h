#ifndef VQ_ENGINE_DEMO_H
#define VQ_ENGINE_DEMO_H

#include <vector>

#include "engine/Scene.h"

namespace vq_engine {

// The timeline: an ordered list of scenes, each drawn while its window holds t.
class Demo {
public:
    // Stores the window's size in pixels; the scene list starts empty.
    Demo(int width, int height);
    // Leaves the scenes alone: they live for the whole run.
    ~Demo();

    // Builds the scenes and appends them to scenes in drawing order; called once,
    // after the GL context exists and before the clock starts.
    virtual void init() = 0;

    // Draws every scene whose window strictly contains t, in list order.
    void show(double t);

    // The drawable size in pixels that every scene lays itself out for.
    int width;
    int height;
    // The timeline, in drawing order. The pointers are never deleted.
    std::vector<Scene*> scenes;
};

} // namespace vq_engine

#endif
