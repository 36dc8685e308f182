// The number 158 just left of the centre, flying straight at the viewer until
// it passes through the near plane; from 9.3 s its points drift and are
// re-emitted.
#include "demo/N158.h"

#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = -0.05f;
const float glyphZ = 0.0f;
const float cellSize = 0.009f;
// Units per second towards the eye.
const double approachSpeed = 1.4;

} // namespace

N158::N158(int width, int height) {
    start = 8.474;
    end = 9.939;
    createN158();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void N158::createN158() {
    vq_engine::Character* one = createDigit(1, -0.1f, glyphY, glyphZ, cellSize);
    vq_engine::Character* five = createDigit(5, -0.05f, glyphY, glyphZ, cellSize);
    vq_engine::Character* eight = createDigit(8, 0.0f, glyphY, glyphZ, cellSize);
    text = new vq_engine::PString();
    text->addChar(one);
    text->addChar(five);
    text->addChar(eight);
}

void N158::show(double t) {
    double st = t - start;
    program->use();
    vq_engine::Matrix view = cameraView();
    vq_engine::Matrix model;
    model.translate(0.0, 0.0, 0.0 - st * approachSpeed);
    program->setParam("pmatrix", (model * view) * projection);
    program->setParam("time", float(t));
    if (t > motionStart)
        text->update(st);
    text->draw();
}
