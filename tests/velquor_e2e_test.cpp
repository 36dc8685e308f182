// The real velquor binary, started as a user would start it: on a 1920x1080
// Xvfb screen with a window manager, with SDL's dummy audio driver, in a
// working directory holding data/ and a short test track.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/support/Image.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRun.h"
#include "tests/support/TestTrack.h"
#include "tests/support/XServer.h"

namespace {

class Velquor : public ::testing::Test {
protected:
    void SetUp() override { output = dir.path + "/output.txt"; }

    // Variables given here override the defaults.
    pid_t start(XServer& x, const std::vector<std::pair<std::string, std::string>>& overrides = {}) {
        std::vector<std::pair<std::string, std::string>> environment = {{"DISPLAY", x.display},
                                                                         {"SDL_AUDIODRIVER", "dummy"}};
        environment.insert(environment.end(), overrides.begin(), overrides.end());
        return spawnProcess({velquorPath}, {dir.path, environment, output});
    }

    // Screenshots until the background's face is on screen, or the demo ends.
    Image waitForFace(XServer& x, pid_t demo) {
        Clock::time_point begin = Clock::now();
        while (secondsSince(begin) < startupAllowance && waitProcess(demo, 0.0) < 0) {
            Image shot = x.screenshot();
            if (faceIsOn(shot))
                return shot;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return Image();
    }

    TempDir dir;
    std::string output;
};

} // namespace

TEST_F(Velquor, ShowsTheFaceAndEndsWithTheTrack) {
    // A track shorter than the first text scene's start: the background alone.
    const double track = 1.8;
    prepareShowDirectory(dir.path, track);
    XServer x(showScreenWidth, showScreenHeight);
    ASSERT_TRUE(x.running());
    ASSERT_TRUE(x.startWindowManager());

    Clock::time_point launched = Clock::now();
    pid_t demo = start(x);
    Image shot = waitForFace(x, demo);
    int status = waitProcess(demo, startupAllowance + track);
    EXPECT_EQ(status, 0) << readTextFile(output);
    EXPECT_LT(secondsSince(launched), startupAllowance + track);
    ASSERT_EQ(shot.width, showScreenWidth) << "the face never appeared; output:\n" << readTextFile(output);

    EXPECT_GT(litInBackgroundBox(shot, 4.8, 5.2, -1, 1, 4), 100) << "outline, right";
    EXPECT_GT(litInBackgroundBox(shot, -5.2, -4.8, -1, 1, 4), 100) << "outline, left";
    EXPECT_GT(litInBackgroundBox(shot, -1, 1, -5.2, -4.8, 4), 100) << "outline, top";
    EXPECT_EQ(litInBackgroundBox(shot, -1.6, 1.6, -3, -2, -4), 0) << "between the eyes";
    EXPECT_EQ(litInBackgroundBox(shot, -1.5, 1.5, -1.5, -0.4, -4), 0) << "between the eyes and the mouth";
    EXPECT_EQ(shot.litPixels(0, 0, 150, showScreenHeight, 8), 0) << "left of the outline";
}

TEST_F(Velquor, IgnoresTheCloseRequestAndEndsPromptlyOnEscape) {
    prepareShowDirectory(dir.path, 60.0);
    XServer x(showScreenWidth, showScreenHeight);
    ASSERT_TRUE(x.startWindowManager());
    pid_t demo = start(x);
    ASSERT_EQ(waitForFace(x, demo).width, showScreenWidth) << readTextFile(output);

    // The window manager's close request is not a way out of the show. The
    // request only happens when the window manager binds alt+F4 to closing,
    // the show's window has the focus and the key goes out without error.
    ASSERT_NE(commandOutput("grep -A1 'keybind key=\"A-F4\"' /etc/xdg/openbox/rc.xml").find("\"Close\""),
              std::string::npos)
        << "openbox does not close windows on alt+F4 here";
    EXPECT_EQ(x.client("xdotool search --name '^Velquor$' windowactivate --sync getactivewindow getwindowname"),
              "Velquor\n")
        << "the show's window did not take the focus";
    EXPECT_EQ(x.client("xdotool key alt+F4 && echo sent"), "sent\n");
    EXPECT_EQ(waitProcess(demo, 1.5), -1) << "the close request ended the show";

    Clock::time_point pressed = Clock::now();
    x.client("xdotool search --name Velquor windowactivate --sync key Escape");
    int status = waitProcess(demo, 5.0);
    EXPECT_EQ(status, 0) << readTextFile(output);
    EXPECT_LT(secondsSince(pressed), 5.0);
    if (status < 0)
        stopProcess(demo);
}

TEST_F(Velquor, PlaysTheWholeShowToTheEndOfTheTrack) {
    const double track = 37.0;
    prepareShowDirectory(dir.path, track);
    XServer x(showScreenWidth, showScreenHeight);
    ASSERT_TRUE(x.startWindowManager());
    Clock::time_point launched = Clock::now();
    pid_t demo = start(x);
    int status = waitProcess(demo, startupAllowance + track + 10.0);
    if (status < 0)
        stopProcess(demo);
    EXPECT_EQ(status, 0) << readTextFile(output);
    EXPECT_GT(secondsSince(launched), track);
}

TEST_F(Velquor, WithoutAnAudioDeviceTheShowGoesOnSilently) {
    prepareShowDirectory(dir.path, 1.0);
    XServer x(showScreenWidth, showScreenHeight);
    ASSERT_TRUE(x.startWindowManager());
    pid_t demo = start(x, {{"SDL_AUDIODRIVER", "no-such-driver"}});
    int status = waitProcess(demo, startupAllowance + 5.0);
    std::string text = readTextFile(output);
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("velquor: warning: no audio device"), std::string::npos) << text;
}

TEST_F(Velquor, AMissingDataFileIsNamedWithTheWorkingDirectory) {
    prepareShowDirectory(dir.path, 1.0);
    std::remove((dir.path + "/data/stars.fs").c_str());
    pid_t demo = spawnProcess({velquorPath}, {dir.path, {{"DISPLAY", ":9999"}}, output});
    EXPECT_EQ(waitProcess(demo, 10.0), 1);
    EXPECT_EQ(readTextFile(output),
              "velquor: cannot read data/stars.fs in " + dir.path + ": No such file or directory\n");
}

TEST_F(Velquor, AnUnplayableTrackStopsTheShowBeforeItStarts) {
    prepareShowDirectory(dir.path, 1.0);
    commandOutput("head -c 4096 /dev/urandom > '" + dir.path + "/data/quorvin.mp3'");
    XServer x(showScreenWidth, showScreenHeight);
    pid_t demo = start(x);
    EXPECT_EQ(waitProcess(demo, startupAllowance), 1);
    std::string text = readTextFile(output);
    // The MP3 decoder may print notes of its own before the demo's line.
    EXPECT_NE(text.find("velquor: loading data/quorvin.mp3 failed: "), std::string::npos) << text;
}

TEST_F(Velquor, NoDisplayIsReportedAsAFailure) {
    prepareShowDirectory(dir.path, 1.0);
    pid_t demo = spawnProcess({velquorPath}, {dir.path, {{"DISPLAY", ":9999"}, {"SDL_VIDEODRIVER", "x11"}}, output});
    EXPECT_EQ(waitProcess(demo, 10.0), 1);
    std::string text = readTextFile(output);
    EXPECT_EQ(text.rfind("velquor: SDL initialisation failed: ", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}
