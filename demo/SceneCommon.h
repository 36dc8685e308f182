#ifndef VELQUOR_SCENECOMMON_H
#define VELQUOR_SCENECOMMON_H

#include <vector>

#include "engine/Matrix.h"
#include "engine/ShaderProgram.h"

// What every scene of the show shares: the projection's constants, the camera
// and the particle program.
const double fieldOfView = 35.0;
const double nearPlane = 0.1;
const double farPlane = 1500.0;

extern const char* const starsVertexPath;
extern const char* const starsFragmentPath;

// The camera two units behind the origin, looking along +z with world +y down
// the screen, so glyph rows read top to bottom.
vq_engine::Matrix cameraView();

// A new particle program from the stars shader pair.
vq_engine::ShaderProgram* createStarsProgram();

// Every program createStarsProgram has made, in order: the scenes keep theirs
// for the whole run, so tools can check or rebuild them all at once.
std::vector<vq_engine::ShaderProgram*>& starsPrograms();

#endif
