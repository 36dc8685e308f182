#ifndef VELQUOR_SCENECONTENTS_H
#define VELQUOR_SCENECONTENTS_H

#include <vector>

#include "demo/MyDemo.h"
#include "engine/Matrix.h"
#include "engine/Particle.h"

// What tools that rewind the show need to know about each scene: a name to
// show people, every cloud it draws or moves, and its projection, for a
// window that changes shape. The clouds and the random stream are all the
// show's state between frames.
struct SceneContent {
    const char* name; // nullptr (and no clouds or projection) for a scene this list does not know
    vq_engine::Scene* scene;
    std::vector<vq_engine::Particle*> clouds;
    vq_engine::Matrix* projection;
};

// One entry per scene of the show, in drawing order.
std::vector<SceneContent> sceneContents(const MyDemo& demo);

#endif
