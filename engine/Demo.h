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
    // Moves the show on to t exactly as show(t) does (every motion step,
    // random draw and buffer upload) with GL told to skip every draw and
    // clear: how tools that rewind the show reach a frame without drawing
    // the ones before it. Needs the current GL context.
    void step(double t);

    // The drawable size in pixels that every scene lays itself out for.
    int width;
    int height;
    // The timeline, in drawing order. The pointers are never deleted.
    std::vector<Scene*> scenes;

private:
    // A query around no drawing at all, made on the first step: rendering on
    // its condition is skipped.
    unsigned int nothingDrawn = 0;
};

} // namespace vq_engine

#endif
