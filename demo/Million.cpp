// Ten to the sixth in the upper left: the base 10 with a smaller 6 raised at
// its upper right. It stands, from 12.9 s blurs as its points drift apart, and
// from 15 s pours down the screen.
#include "demo/Million.h"

#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float baseY = -0.25f;
const float baseSize = 0.009f;
const float exponentY = -0.3f;
const float exponentSize = 0.004f;
const float glyphZ = 0.0f;
// Largest fall per frame.
const double fallSpeed = 0.1;

} // namespace

Million::Million(int width, int height) {
    start = 12.486;
    end = 130.0;
    createMillion();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void Million::createMillion() {
    vq_engine::Character* one = createDigit(1, -0.3f, baseY, glyphZ, baseSize);
    vq_engine::Character* zero = createDigit(0, -0.25f, baseY, glyphZ, baseSize);
    vq_engine::Character* six = createDigit(6, -0.2f, exponentY, glyphZ, exponentSize);
    text = new vq_engine::PString();
    text->addChar(one);
    text->addChar(zero);
    text->addChar(six);
}

void Million::show(double t) {
    program->use();
    vq_engine::Matrix view = cameraView();
    program->setParam("pmatrix", view * projection);
    program->setParam("time", float(t));
    if (t > motionStart) {
        if (t > fallStart)
            text->unify(0.0, fallSpeed, 0.0);
        text->noreborn();
        text->update(t - motionStart);
    }
    text->draw();
}
