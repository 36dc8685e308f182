// Ten to the power 12431 below and left of the centre: a large base 10 with
// the exponent in a row of small glyphs at its upper right. The one text that
// never moves; only the shader makes it shimmer.
#include "demo/Tovelplex.h"

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float baseY = 0.25f;
const float baseSize = 0.02f;
const float exponentY = 0.2f;
const float exponentSize = 0.008f;

} // namespace

Tovelplex::Tovelplex(int width, int height) {
    buildTextScene(*this, tovelplexAppears, tovelplexCloses, &Tovelplex::createTovelplex, width, height);
}

void Tovelplex::createTovelplex() {
    text = textOf({
        createDigit(1, -0.35f, baseY, glyphPlane, baseSize),
        createDigit(0, -0.25f, baseY, glyphPlane, baseSize),
        createDigit(1, -0.17f, exponentY, glyphPlane, exponentSize),
        createDigit(2, -0.13f, exponentY, glyphPlane, exponentSize),
        createDigit(4, -0.09f, exponentY, glyphPlane, exponentSize),
        createDigit(3, -0.05f, exponentY, glyphPlane, exponentSize),
        createDigit(1, -0.01f, exponentY, glyphPlane, exponentSize),
    });
}

void Tovelplex::show(double t) {
    useStars(program, projection, t);
    text->draw();
}
