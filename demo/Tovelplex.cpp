// Ten to the power 12431 below and left of the centre: a large base 10 with
// the exponent in a row of small glyphs at its upper right. The one text that
// never moves; only the shader makes it shimmer.
#include "demo/Tovelplex.h"

#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float baseY = 0.25f;
const float baseSize = 0.02f;
const float exponentY = 0.2f;
const float exponentSize = 0.008f;
const float glyphZ = 0.0f;

} // namespace

Tovelplex::Tovelplex(int width, int height) {
    start = 14.289;
    end = 17.551;
    createTovelplex();
    program = createStarsProgram();
    projection.perspective(fieldOfView, aspect(width, height), nearPlane, farPlane);
}

void Tovelplex::createTovelplex() {
    vq_engine::Character* glyphs[] = {
        createDigit(1, -0.35f, baseY, glyphZ, baseSize),
        createDigit(0, -0.25f, baseY, glyphZ, baseSize),
        createDigit(1, -0.17f, exponentY, glyphZ, exponentSize),
        createDigit(2, -0.13f, exponentY, glyphZ, exponentSize),
        createDigit(4, -0.09f, exponentY, glyphZ, exponentSize),
        createDigit(3, -0.05f, exponentY, glyphZ, exponentSize),
        createDigit(1, -0.01f, exponentY, glyphZ, exponentSize),
    };
    text = new vq_engine::PString();
    for (vq_engine::Character* glyph : glyphs)
        text->addChar(glyph);
}

void Tovelplex::show(double t) {
    program->use();
    vq_engine::Matrix view = cameraView();
    program->setParam("pmatrix", view * projection);
    program->setParam("time", float(t));
    text->draw();
}
