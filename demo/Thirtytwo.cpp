// The number 32, small, left of the centre and low, standing still until 9 s;
// then it is blown apart: every frame its points get fresh, ever faster
// velocities to the right and up while the number turns about the vertical axis.
#include "demo/Thirtytwo.h"

#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = 0.15f;
const float glyphZ = 0.0f;
const float cellSize = 0.009f;
// The blast's speed per frame grows by 1 / blastDivisor units each second.
const double blastDivisor = 10.0;
const double turnDivisor = 4.0;

} // namespace

Thirtytwo::Thirtytwo(int width, int height) {
    start = 6.018;
    end = 130.0;
    createThirtytwo();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void Thirtytwo::createThirtytwo() {
    vq_engine::Character* three = createDigit(3, -0.3f, glyphY, glyphZ, cellSize);
    vq_engine::Character* two = createDigit(2, -0.25f, glyphY, glyphZ, cellSize);
    text = new vq_engine::PString();
    text->addChar(three);
    text->addChar(two);
}

void Thirtytwo::show(double t) {
    program->use();
    vq_engine::Matrix view = cameraView();
    vq_engine::Matrix model;
    if (t > motionStart) {
        double since = t - motionStart;
        text->noreborn();
        text->unify(since / blastDivisor, (-since) / blastDivisor, 0.0);
        text->update(t);
        model.rotate(0.0, since / turnDivisor, 0.0);
    } else {
        model.rotate(0.0, 0.0, 0.0);
    }
    program->setParam("pmatrix", (model * view) * projection);
    program->setParam("time", float(t));
    text->draw();
}
