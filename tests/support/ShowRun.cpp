#include "tests/support/ShowRun.h"

#include "tests/support/Process.h"
#include "tests/support/ShowCamera.h"
#include "tests/support/XServer.h"

const char* const velquorPath = VQ_BUILD_DIR "/velquor";

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int litInBackgroundBox(const Image& shot, double x0, double x1, double y0, double y1, int margin) {
    PixelRect r = screenBounds(x0, x1, y0, y1, 20.0, 22.0, shot.width, shot.height, margin);
    return shot.litPixels(r.x0, r.y0, r.x1, r.y1, 8);
}

bool faceIsOn(const Image& shot) {
    return shot.width > 0 && litInBackgroundBox(shot, -3, -2, -3, -2, 4) > 100 &&
           litInBackgroundBox(shot, 2, 3, -3, -2, 4) > 100;
}

std::string FaceWatch::summary() const {
    std::string how = seen()        ? "the face appeared"
                      : status >= 0 ? "the demo ended with status " + std::to_string(status)
                                    : "the demo still ran without the face";
    return how + " after " + std::to_string(seconds) + " s and " + std::to_string(screenshots) + " screenshots";
}

FaceWatch watchForFace(const XServer& x, pid_t demo, double allowance) {
    FaceWatch watch;
    Clock::time_point begin = Clock::now();
    while (secondsSince(begin) < allowance) {
        // Once reaped here the demo's status exists nowhere else.
        watch.status = waitProcess(demo, 0.0);
        if (watch.status >= 0)
            break;
        Image shot = x.screenshot();
        watch.screenshots++;
        if (faceIsOn(shot)) {
            watch.shot = shot;
            break;
        }
    }
    watch.seconds = secondsSince(begin);
    return watch;
}
