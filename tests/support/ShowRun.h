#ifndef VQ_TESTS_SHOWRUN_H
#define VQ_TESTS_SHOWRUN_H

#include <chrono>

#include "tests/support/Image.h"

// What tests that start the real velquor binary share: it runs on a full-HD
// Xvfb screen and is recognised on screen by the background's face.
const int showScreenWidth = 1920;
const int showScreenHeight = 1080;
extern const char* const velquorPath;

// Start-up builds every scene before the music starts; under a software
// renderer that takes a few seconds.
const double startupAllowance = 30.0;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start);

// Lit pixels of a full-HD screenshot inside the screen box of a background
// region (its points lie in 20 <= z <= 22), grown by margin pixels.
int litInBackgroundBox(const Image& shot, double x0, double x1, double y0, double y1, int margin);

// Both eyes of the face are on screen: the show has started drawing. (A
// window manager may show the window framed for a moment first.)
bool faceIsOn(const Image& shot);

#endif
