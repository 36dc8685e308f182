// The number 32, small, left of the centre and low, standing still until 9 s;
// then it is blown apart: every frame its points get fresh, ever faster
// velocities to the right and up while the number turns about the vertical axis.
#include "demo/Thirtytwo.h"

#include "demo/Cues.h"
#include "demo/Digits.h"
#include "demo/SceneCommon.h"

namespace {

const float glyphY = 0.15f;
// The blast's speed per frame grows by 1 / blastDivisor units each second.
const double blastDivisor = 10.0;
const double turnDivisor = 4.0;

} // namespace

Thirtytwo::Thirtytwo(int width, int height) {
    buildTextScene(*this, thirtytwoAppears, showCloses, &Thirtytwo::createThirtytwo, width, height);
}

void Thirtytwo::createThirtytwo() {
    text = textOf({createDigit(3, -0.3f, glyphY, glyphPlane, smallCell), createDigit(2, -0.25f, glyphY, glyphPlane, smallCell)});
}

void Thirtytwo::show(double t) {
    vq_engine::Matrix model;
    if (t > thirtytwoScatters) {
        double since = t - thirtytwoScatters;
        text->noreborn();
        text->unify(since / blastDivisor, (-since) / blastDivisor, 0.0);
        text->update(t);
        model.rotate(0.0, since / turnDivisor, 0.0);
    } else {
        model.rotate(0.0, 0.0, 0.0);
    }
    useStars(program, model, projection, t);
    text->draw();
}
