// The number 271, small, left of and above the centre, tumbling about the
// horizontal axis from its first frame; from 12 s its points stream away to
// the right and never re-form.
#include "demo/N271.h"

#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = -0.15f;
const float glyphZ = 0.0f;
const float cellSize = 0.009f;
const double tumbleDivisor = 2.0;
// Largest step to the right per frame.
const double streamSpeed = 0.02;

} // namespace

N271::N271(int width, int height) {
    start = 10.525;
    end = 130.0;
    createN271();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void N271::createN271() {
    vq_engine::Character* two = createDigit(2, -0.2f, glyphY, glyphZ, cellSize);
    vq_engine::Character* seven = createDigit(7, -0.15f, glyphY, glyphZ, cellSize);
    vq_engine::Character* one = createDigit(1, -0.1f, glyphY, glyphZ, cellSize);
    text = new vq_engine::PString();
    text->addChar(two);
    text->addChar(seven);
    text->addChar(one);
}

void N271::show(double t) {
    program->use();
    vq_engine::Matrix view = cameraView();
    vq_engine::Matrix model;
    model.rotate((t - start) / tumbleDivisor, 0.0, 0.0);
    program->setParam("pmatrix", (model * view) * projection);
    program->setParam("time", float(t));
    if (t > motionStart) {
        text->noreborn();
        text->unify(streamSpeed, 0.0, 0.0);
        text->update(t - start);
    }
    text->draw();
}
