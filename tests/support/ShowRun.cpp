#include "tests/support/ShowRun.h"

#include "tests/support/ShowCamera.h"

const char* const velquorPath = VQ_BUILD_DIR "/velquor";

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int litInBackgroundBox(const Image& shot, double x0, double x1, double y0, double y1, int margin) {
    PixelRect r = screenBounds(x0, x1, y0, y1, 20.0, 22.0, showScreenWidth, showScreenHeight, margin);
    return shot.litPixels(r.x0, r.y0, r.x1, r.y1, 8);
}

bool faceIsOn(const Image& shot) {
    return shot.width == showScreenWidth && litInBackgroundBox(shot, -3, -2, -3, -2, 4) > 100 &&
           litInBackgroundBox(shot, 2, 3, -3, -2, 4) > 100;
}
