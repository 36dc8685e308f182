// The word BEGIN, small, upper left of the centre, turning slowly about the
// vertical axis; in its last quarter second its points start to drift and to
// be re-emitted.
#include "demo/Begin.h"

#include "demo/Cues.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = -0.25f;
// Radians per second are 1 / turnDivisor.
const double turnDivisor = 4.0;

const int cellsB[] = {0, 1, 2, 3, 5, 9, 10, 14, 15, 16, 17, 18, 20, 24, 25, 29, 30, 31, 32, 33};
const int cellsE[] = {0, 1, 2, 3, 4, 5, 10, 15, 16, 17, 18, 19, 20, 25, 30, 31, 32, 33, 34};
const int cellsG[] = {1, 2, 3, 5, 9, 10, 15, 18, 19, 20, 24, 25, 29, 31, 32, 33};
const int cellsI[] = {1, 2, 3, 7, 12, 17, 22, 27, 31, 32, 33};
const int cellsN[] = {0, 4, 5, 6, 9, 10, 12, 14, 15, 17, 19, 20, 22, 24, 25, 28, 29, 30, 34};

template <int N>
vq_engine::Character* letter(float x, const int (&cells)[N]) {
    return new vq_engine::Character(x, glyphY, glyphPlane, smallCell, cells, N);
}

} // namespace

Begin::Begin(int width, int height) {
    buildTextScene(*this, beginAppears, beginCloses, &Begin::createBegin, width, height);
}

void Begin::createBegin() {
    text = textOf({letter(-0.3f, cellsB), letter(-0.25f, cellsE), letter(-0.2f, cellsG), letter(-0.15f, cellsI),
                   letter(-0.1f, cellsN)});
}

void Begin::show(double t) {
    vq_engine::Matrix model;
    model.rotate(0.0, (t - start) / turnDivisor, 0.0);
    useStars(program, model, projection, t);
    // The particles' clock is counted from the moment they start to move.
    if (t > beginDissolves)
        text->update(t - beginDissolves);
    text->draw();
}
