// A row of 100 random digits in large glyphs, scrolled to the left across the
// screen twice: from 18 s at 3 units a second, and again from its starting
// place at 29 s at 5 units a second. The points themselves never move.
#include "demo/RandomNums.h"

#include <cstdlib>

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float firstX = -0.3f;
const float glyphY = -0.25f;
const float cellSize = 0.05f;
// A glyph's five cells and a one-cell gap.
const double glyphPitch = 0.3;
const double firstPassSpeed = 3.0;
const double secondPassSpeed = 5.0;

} // namespace

RandomNums::RandomNums(int width, int height) {
    buildTextScene(*this, randomNumsFirstPass, showCloses, &RandomNums::createRandomNums, width, height);
}

void RandomNums::createRandomNums() {
    text = new vq_engine::PString();
    // Accumulated in float, as the row has always been laid out: glyph 99 starts at 29.399973.
    float x = firstX;
    for (int k = 0; k < digitCount; k++) {
        // Each digit is drawn just before its glyph's clouds take their own draws.
        int digit = int(drand48() * 10.0);
        text->addChar(createDigit(digit, x, glyphY, glyphPlane, cellSize));
        x = float(double(x) + glyphPitch);
    }
}

void RandomNums::show(double t) {
    double secondPass = randomNumsSecondPass;
    double dx = t < secondPass ? (t - start) * -firstPassSpeed : (t - secondPass) * -secondPassSpeed;
    vq_engine::Matrix model;
    model.translate(dx, 0.0, 0.0);
    useStars(program, model, projection, t);
    text->draw();
}
