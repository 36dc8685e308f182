// The word BEGIN, small, upper left of the centre, turning slowly about the
// vertical axis; in its last quarter second its points start to drift and to
// be re-emitted.
#include "demo/Begin.h"

#include "demo/SceneCommon.h"

namespace {

const float glyphY = -0.25f;
const float glyphZ = 0.0f;
const float cellSize = 0.009f;
// Radians per second are 1 / turnDivisor.
const double turnDivisor = 4.0;

const int cellsB[] = {0, 1, 2, 3, 5, 9, 10, 14, 15, 16, 17, 18, 20, 24, 25, 29, 30, 31, 32, 33};
const int cellsE[] = {0, 1, 2, 3, 4, 5, 10, 15, 16, 17, 18, 19, 20, 25, 30, 31, 32, 33, 34};
const int cellsG[] = {1, 2, 3, 5, 9, 10, 15, 18, 19, 20, 24, 25, 29, 31, 32, 33};
const int cellsI[] = {1, 2, 3, 7, 12, 17, 22, 27, 31, 32, 33};
const int cellsN[] = {0, 4, 5, 6, 9, 10, 12, 14, 15, 17, 19, 20, 22, 24, 25, 28, 29, 30, 34};

template <int N>
vq_engine::Character* letter(float x, const int (&cells)[N]) {
    return new vq_engine::Character(x, glyphY, glyphZ, cellSize, cells, N);
}

} // namespace

Begin::Begin(int width, int height) {
    start = 1.983;
    end = 3.268;
    createBegin();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void Begin::createBegin() {
    vq_engine::Character* b = letter(-0.3f, cellsB);
    vq_engine::Character* e = letter(-0.25f, cellsE);
    vq_engine::Character* g = letter(-0.2f, cellsG);
    vq_engine::Character* i = letter(-0.15f, cellsI);
    vq_engine::Character* n = letter(-0.1f, cellsN);
    text = new vq_engine::PString();
    text->addChar(b);
    text->addChar(e);
    text->addChar(g);
    text->addChar(i);
    text->addChar(n);
}

void Begin::show(double t) {
    program->use();
    vq_engine::Matrix view = cameraView();
    vq_engine::Matrix model;
    model.rotate(0.0, (t - start) / turnDivisor, 0.0);
    program->setParam("pmatrix", (model * view) * projection);
    program->setParam("time", float(t));
    if (t > motionStart)
        text->update(t - motionStart);
    text->draw();
}
