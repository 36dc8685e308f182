// The number 14, small, right of and below the centre, drifting left while it
// swings about the horizontal axis and recedes; from 4.9 s its points drift
// and are re-emitted.
#include "demo/Fourteen.h"

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = 0.25f;
// Per second of the scene: radians of swing, and units of drift left and down.
const double swingDivisor = 5.0;
const double driftXDivisor = 5.0;
const double driftYDivisor = 10.0;

} // namespace

Fourteen::Fourteen(int width, int height) {
    buildTextScene(*this, fourteenAppears, fourteenCloses, &Fourteen::createFourteen, width, height);
}

void Fourteen::createFourteen() {
    text = textOf({createDigit(1, 0.3f, glyphY, glyphPlane, smallCell), createDigit(4, 0.35f, glyphY, glyphPlane, smallCell)});
}

void Fourteen::show(double t) {
    double st = t - start;
    vq_engine::Matrix rotation;
    rotation.rotate(st / swingDivisor, 0.0, 0.0);
    vq_engine::Matrix translation;
    translation.translate(0.0 - st / driftXDivisor, st / driftYDivisor + 0.0, 0.0);
    // Translated first, then swung about the x axis through the origin.
    useStars(program, translation * rotation, projection, t);
    if (t > fourteenDissolves)
        text->update(t);
    text->draw();
}
