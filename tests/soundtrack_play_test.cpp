// The real velquor binary plays the shipped soundtrack from start to end: on
// a private X screen with a window manager and SDL's dummy audio driver, which
// plays at real-time pace, in a working directory holding the build's data/.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/Audio.h"
#include "tests/support/Image.h"
#include "tests/support/Process.h"
#include "tests/support/ShowCamera.h"
#include "tests/support/XServer.h"

namespace {

const int screenWidth = 1920;
const int screenHeight = 1080;
const char* const velquor = VQ_BUILD_DIR "/velquor";
// Building every scene under a software renderer takes a few seconds.
const double startupAllowance = 30.0;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The background's eyes are on screen: the first frames of the show, drawn
// once the music has started.
bool showIsOn(const XServer& x) {
    Image shot = x.screenshot();
    if (shot.width != screenWidth)
        return false;
    PixelRect left = screenBounds(-3, -2, -3, -2, 20.0, 22.0, screenWidth, screenHeight, 4);
    PixelRect right = screenBounds(2, 3, -3, -2, 20.0, 22.0, screenWidth, screenHeight, 4);
    return shot.litPixels(left.x0, left.y0, left.x1, left.y1, 8) > 100 &&
           shot.litPixels(right.x0, right.y0, right.x1, right.y1, 8) > 100;
}

} // namespace

TEST(SoundtrackPlayback, TheDemoPlaysTheWholeTrackAndEndsWithIt) {
    std::string error;
    StereoAudio track = decodeWithMixer(VQ_BUILD_DIR "/data/quorvin.mp3", error);
    ASSERT_GT(track.seconds(), 30.0) << "the build's track: " << error;

    TempDir dir;
    commandOutput("cp -r '" VQ_BUILD_DIR "/data' '" + dir.path + "/data'");
    std::string output = dir.path + "/output.txt";
    XServer x(screenWidth, screenHeight);
    ASSERT_TRUE(x.running());
    ASSERT_TRUE(x.startWindowManager());

    Clock::time_point launched = Clock::now();
    pid_t demo = spawnProcess({velquor}, {dir.path, {{"DISPLAY", x.display}, {"SDL_AUDIODRIVER", "dummy"}}, output});
    // The show began before the screenshot that first shows it was taken.
    Clock::time_point showSeen = Clock::now();
    while (secondsSince(launched) < startupAllowance && waitProcess(demo, 0.0) < 0 && !showIsOn(x)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        showSeen = Clock::now();
    }
    ASSERT_LT(secondsSince(launched), startupAllowance) << "the show never appeared:\n" << readTextFile(output);

    int status = waitProcess(demo, track.seconds() + 2.0);
    double played = secondsSince(showSeen);
    if (status < 0)
        stopProcess(demo);
    std::printf("track %.2f s; the show ran %.2f s after it was first seen, %.2f s after launch\n", track.seconds(),
                played, secondsSince(launched));
    EXPECT_EQ(status, 0) << "still running " << track.seconds() + 2.0 << " s after the show began:\n"
                         << readTextFile(output);
    // The show was seen a moment after the music began, so this is a little
    // short of the time the music played; it must not be short by much.
    EXPECT_GT(played, track.seconds() - 1.0) << "the show ended before the track did";
    EXPECT_LE(played, track.seconds() + 2.0);
}
