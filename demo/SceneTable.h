#ifndef VELQUOR_SCENETABLE_H
#define VELQUOR_SCENETABLE_H

#include <vector>

#include "engine/Matrix.h"
#include "engine/Particle.h"
#include "engine/Scene.h"

// Each scene is built by its constructor for a window of width x height: its
// window in show time from demo/Cues.h, its content, its own particle program
// and its projection. The glyph scenes build their string in create followed
// by the class name.

// One row of the show's table of scenes: how to build the scene, what to call
// it, and how tools reach its clouds (all the state it carries from frame to
// frame) and its projection (for a window that changes shape).
struct SceneKind {
    const char* name;
    vq_engine::Scene* (*build)(int width, int height);
    std::vector<vq_engine::Particle*> (*clouds)(vq_engine::Scene* scene);
    vq_engine::Matrix* (*projection)(vq_engine::Scene* scene);
};

// The nine scenes in drawing order. Background clears the frame, so it is
// first; RandomNums is last, since its digits come from the random stream
// after every cloud built before it.
extern const SceneKind showScenes[];
extern const int showSceneCount;

#endif
