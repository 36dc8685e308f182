// The real velquor binary plays the shipped soundtrack from start to end: on
// a private X screen with a window manager and SDL's dummy audio driver, which
// plays at real-time pace, in a working directory holding the build's data/.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/Audio.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRun.h"
#include "tests/support/XServer.h"

TEST(SoundtrackPlayback, TheDemoPlaysTheWholeTrackAndEndsWithIt) {
    std::string error;
    StereoAudio track = decodeWithMixer(VQ_BUILD_DIR "/data/quorvin.mp3", error);
    ASSERT_GT(track.seconds(), 30.0) << "the build's track: " << error;

    TempDir dir;
    commandOutput("cp -r '" VQ_BUILD_DIR "/data' '" + dir.path + "/data'");
    std::string output = dir.path + "/output.txt";
    XServer x(showScreenWidth, showScreenHeight);
    ASSERT_TRUE(x.running());
    ASSERT_TRUE(x.startWindowManager());

    Clock::time_point launched = Clock::now();
    pid_t demo = spawnProcess({velquorPath}, {dir.path, {{"DISPLAY", x.display}, {"SDL_AUDIODRIVER", "dummy"}}, output});
    // The show began before the screenshot that first shows it was taken.
    Clock::time_point showSeen = Clock::now();
    // A demo that ends here is reaped here: its status is kept for below.
    int status = -1;
    while (secondsSince(launched) < startupAllowance && (status = waitProcess(demo, 0.0)) < 0 &&
           !faceIsOn(x.screenshot())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        showSeen = Clock::now();
    }
    ASSERT_LT(secondsSince(launched), startupAllowance) << "the show never appeared:\n" << readTextFile(output);

    if (status < 0)
        status = waitProcess(demo, track.seconds() + 2.0);
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
