#ifndef VQ_TESTS_SHOWRUN_H
#define VQ_TESTS_SHOWRUN_H

#include <sys/types.h>

#include <chrono>
#include <string>

#include "tests/support/Image.h"

// What tests that start the real velquor binary share: it runs on a full-HD
// Xvfb screen and is recognised on screen by the background's face.
const int showScreenWidth = 1920;
const int showScreenHeight = 1080;
extern const char* const velquorPath;

// Start-up builds every scene before the music starts; under a software
// renderer that takes a few seconds, and far longer on a loaded machine.
// Only a hung start reaches this.
const double startupAllowance = 90.0;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start);

// Lit pixels of a whole-screen screenshot inside the screen box of a
// background region (its points lie in 20 <= z <= 22), grown by margin pixels.
int litInBackgroundBox(const Image& shot, double x0, double x1, double y0, double y1, int margin);

// Both eyes of the face are on screen: the show has started drawing. (A
// window manager may show the window framed for a moment first.)
bool faceIsOn(const Image& shot);

class XServer;

// What the screen showed of a demo until its face appeared.
struct FaceWatch {
    Image shot;         // the first screenshot with the face; empty when none had it
    int status = -1;    // the demo's exit status when it ended first, else -1
    double seconds = 0; // from the start of the watch to the face or the end
    int screenshots = 0;

    bool seen() const { return shot.width > 0; }
    // How the watch ended, for failure messages.
    std::string summary() const;
};

// Screenshots as fast as they come until the face is on screen, the demo
// ends (then reaped, its status kept) or allowance seconds have passed.
FaceWatch watchForFace(const XServer& x, pid_t demo, double allowance = startupAllowance);

#endif
