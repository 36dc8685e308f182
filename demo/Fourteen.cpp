// The number 14, small, right of and below the centre, drifting left while it
// swings about the horizontal axis and recedes; from 4.9 s its points drift
// and are re-emitted.
#include "demo/Fourteen.h"

#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = 0.25f;
const float glyphZ = 0.0f;
const float cellSize = 0.009f;
// Per second of the scene: radians of swing, and units of drift left and down.
const double swingDivisor = 5.0;
const double driftXDivisor = 5.0;
const double driftYDivisor = 10.0;

} // namespace

Fourteen::Fourteen(int width, int height) {
    start = 4.012;
    end = 15.342;
    createFourteen();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void Fourteen::createFourteen() {
    vq_engine::Character* one = createDigit(1, 0.3f, glyphY, glyphZ, cellSize);
    vq_engine::Character* four = createDigit(4, 0.35f, glyphY, glyphZ, cellSize);
    text = new vq_engine::PString();
    text->addChar(one);
    text->addChar(four);
}

void Fourteen::show(double t) {
    double st = t - start;
    program->use();
    vq_engine::Matrix view = cameraView();
    vq_engine::Matrix rotation;
    rotation.rotate(st / swingDivisor, 0.0, 0.0);
    vq_engine::Matrix translation;
    translation.translate(0.0 - st / driftXDivisor, st / driftYDivisor + 0.0, 0.0);
    // Translated first, then swung about the x axis through the origin.
    program->setParam("pmatrix", ((translation * rotation) * view) * projection);
    program->setParam("time", float(t));
    if (t > motionStart)
        text->update(t);
    text->draw();
}
