// The number 158 just left of the centre, flying straight at the viewer until
// it passes through the near plane; from 9.3 s its points drift and are
// re-emitted.
#include "demo/N158.h"

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = -0.05f;
// Units per second towards the eye.
const double approachSpeed = 1.4;

} // namespace

N158::N158(int width, int height) {
    buildTextScene(*this, n158Appears, n158Closes, &N158::createN158, width, height);
}

void N158::createN158() {
    text = textOf({createDigit(1, -0.1f, glyphY, glyphPlane, smallCell), createDigit(5, -0.05f, glyphY, glyphPlane, smallCell),
                   createDigit(8, 0.0f, glyphY, glyphPlane, smallCell)});
}

void N158::show(double t) {
    double st = t - start;
    vq_engine::Matrix model;
    model.translate(0.0, 0.0, 0.0 - st * approachSpeed);
    useStars(program, model, projection, t);
    if (t > n158Dissolves)
        text->update(st);
    text->draw();
}
