#ifndef VELQUOR_SCENECOMMON_H
#define VELQUOR_SCENECOMMON_H

#include <initializer_list>
#include <vector>

#include "engine/Character.h"
#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/ShaderProgram.h"

// What every scene of the show shares: the projection's constants, the camera
// and the particle program.
const double fieldOfView = 35.0;
const double nearPlane = 0.1;
const double farPlane = 1500.0;
// Every glyph of the show stands in this plane, two units in front of the eye.
const float glyphPlane = 0.0f;
// The cell size of the show's small glyphs: BEGIN and the numbers that
// follow it (the larger ones, and 10^6's exponent, have their own).
const float smallCell = 0.009f;

extern const char* const starsVertexPath;
extern const char* const starsFragmentPath;

// The camera two units behind the origin, looking along +z with world +y down
// the screen, so glyph rows read top to bottom.
vq_engine::Matrix cameraView();

// A new particle program from the stars shader pair.
vq_engine::ShaderProgram* createStarsProgram();

// Every program createStarsProgram has made since the show was last built
// (MyDemo::init starts the list afresh), in order: the scenes keep theirs for
// the whole run, so tools can check or rebuild them all at once.
std::vector<vq_engine::ShaderProgram*>& starsPrograms();

// A scene's projection for a window of width x height (an all-zero matrix
// before, as a scene's is when it is built).
void layOut(vq_engine::Matrix& projection, int width, int height);

// How every scene's constructor ends, once its content exists: its own
// particle program, then its projection.
void setUpStars(vq_engine::ShaderProgram*& program, vq_engine::Matrix& projection, int width, int height);

// How every glyph scene's constructor runs: its window, then its string
// (the scene's create function), then setUpStars.
template <typename S>
void buildTextScene(S& scene, double start, double end, void (S::*create)(), int width, int height) {
    scene.start = start;
    scene.end = end;
    (scene.*create)();
    setUpStars(scene.program, scene.projection, width, height);
}

// How every scene's frame starts: binds the program and sets "pmatrix" to
// model * view * projection (view * projection without a model), "time"
// to the show time t and "drawableHeight" to the viewport's height.
void useStars(vq_engine::ShaderProgram* program, const vq_engine::Matrix& projection, double t);
void useStars(vq_engine::ShaderProgram* program, const vq_engine::Matrix& model, const vq_engine::Matrix& projection,
              double t);

// A new string of the glyphs, in order. The glyphs are made, and draw from
// the random stream, in the order they are listed.
vq_engine::PString* textOf(std::initializer_list<vq_engine::Character*> glyphs);

#endif
