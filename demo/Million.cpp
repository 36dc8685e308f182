// Ten to the sixth in the upper left: the base 10 with a smaller 6 raised at
// its upper right. It stands, from 12.9 s blurs as its points drift apart, and
// from 15 s pours down the screen.
#include "demo/Million.h"

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float baseY = -0.25f;
const float exponentY = -0.3f;
const float exponentSize = 0.004f;
// Largest fall per frame.
const double fallSpeed = 0.1;

} // namespace

Million::Million(int width, int height) {
    buildTextScene(*this, millionAppears, showCloses, &Million::createMillion, width, height);
}

void Million::createMillion() {
    text = textOf({createDigit(1, -0.3f, baseY, glyphPlane, smallCell), createDigit(0, -0.25f, baseY, glyphPlane, smallCell),
                   createDigit(6, -0.2f, exponentY, glyphPlane, exponentSize)});
}

void Million::show(double t) {
    useStars(program, projection, t);
    if (t > millionDrifts) {
        if (t > millionFalls)
            text->unify(0.0, fallSpeed, 0.0);
        text->noreborn();
        // The particles' clock is counted from the moment they start to drift.
        text->update(t - millionDrifts);
    }
    text->draw();
}
