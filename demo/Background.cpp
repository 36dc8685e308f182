// A face far behind everything else, for the whole show: two square eyes, a
// half-ring mouth and a full ring outline, 122 clouds that shimmer as their
// points are re-emitted. The only scene that clears the frame.
#include "demo/Background.h"

#include <GL/glew.h>

#include <cmath>

#include "demo/Cues.h"
#include "demo/SceneCommon.h"

namespace {

const float nearZ = 22.0f;
const float farZ = 20.0f;

const double mouthStep = 0.16534698176788384; // pi / 19
const double mouthEnd = 3.141592653589793;    // pi: a half ring
const double mouthCloudHalf = 0.1;
const int mouthPoints = 20;

const double outlineStep = 0.06283185307179587; // 2 pi / 100
const double outlineEnd = 6.283185307179586;    // 2 pi: the accumulated steps fall just short, so 101 clouds
const double outlineCloudHalf = 0.2;
const int outlinePoints = 100;

const int eyePoints = 100;

} // namespace

Background::Background(int width, int height) {
    start = showStart;
    end = showCloses;
    setUpStars(program, projection, width, height);

    int n = 0;
    clouds[n++] = new vq_engine::Particle(eyePoints, -3, -2, -3, -2, nearZ, farZ);
    clouds[n++] = new vq_engine::Particle(eyePoints, 3, 2, -3, -2, nearZ, farZ);
    for (double a = 0.0; a < mouthEnd && n < cloudCount; a += mouthStep) {
        double x = std::cos(a) + std::cos(a);
        double y = std::sin(a) + std::sin(a);
        clouds[n++] = new vq_engine::Particle(mouthPoints, float(x - mouthCloudHalf), float(x + mouthCloudHalf),
                                              float(y - mouthCloudHalf), float(y + mouthCloudHalf), nearZ, farZ);
    }
    for (double a = 0.0; a < outlineEnd && n < cloudCount; a += outlineStep) {
        double x = std::cos(a) * 5.0;
        double y = std::sin(a) * 5.0;
        clouds[n++] = new vq_engine::Particle(outlinePoints, float(x - outlineCloudHalf),
                                              float(x + outlineCloudHalf), float(y - outlineCloudHalf),
                                              float(y + outlineCloudHalf), nearZ, farZ);
    }
}

void Background::show(double t) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    useStars(program, projection, t);
    for (vq_engine::Particle* cloud : clouds) {
        cloud->update(t);
        cloud->draw();
    }
}
