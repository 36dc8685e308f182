// The number 271, small, left of and above the centre, tumbling about the
// horizontal axis from its first frame; from 12 s its points stream away to
// the right and never re-form.
#include "demo/N271.h"

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = -0.15f;
const double tumbleDivisor = 2.0;
// Largest step to the right per frame.
const double streamSpeed = 0.02;

} // namespace

N271::N271(int width, int height) {
    buildTextScene(*this, n271Appears, showCloses, &N271::createN271, width, height);
}

void N271::createN271() {
    text = textOf({createDigit(2, -0.2f, glyphY, glyphPlane, smallCell), createDigit(7, -0.15f, glyphY, glyphPlane, smallCell),
                   createDigit(1, -0.1f, glyphY, glyphPlane, smallCell)});
}

void N271::show(double t) {
    vq_engine::Matrix model;
    model.rotate((t - start) / tumbleDivisor, 0.0, 0.0);
    useStars(program, model, projection, t);
    if (t > n271StreamsAway) {
        text->noreborn();
        text->unify(streamSpeed, 0.0, 0.0);
        text->update(t - start);
    }
    text->draw();
}
