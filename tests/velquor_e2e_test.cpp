// The real velquor binary, started as a user would start it: on a 1920x1080
// Xvfb screen with a window manager, with SDL's dummy audio driver, in a
// working directory holding data/ and a short test track.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/Image.h"
#include "tests/support/Process.h"
#include "tests/support/ShowCamera.h"
#include "tests/support/ShowRun.h"
#include "tests/support/TestTrack.h"
#include "tests/support/XServer.h"

namespace {

// How long a demo whose track has ended may take to close on a loaded machine.
const double endAllowance = 15.0;

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

    pid_t demo = start(x);
    FaceWatch watch = watchForFace(x, demo);
    // The music began before the face was seen, so what is left of the show
    // is shorter than the track; the rest is a loaded machine's slack.
    Clock::time_point seen = Clock::now();
    int status = watch.status >= 0 ? watch.status : waitProcess(demo, track + endAllowance);
    double afterFace = secondsSince(seen);
    if (status < 0)
        stopProcess(demo);
    EXPECT_EQ(status, 0) << watch.summary() << "; output:\n" << readTextFile(output);
    EXPECT_LT(afterFace, track + endAllowance) << "the show went on after its track";
    ASSERT_TRUE(watch.seen()) << watch.summary() << "; output:\n" << readTextFile(output);

    const Image& shot = watch.shot;
    EXPECT_GT(litInBackgroundBox(shot, 4.8, 5.2, -1, 1, 4), 100) << "outline, right";
    EXPECT_GT(litInBackgroundBox(shot, -5.2, -4.8, -1, 1, 4), 100) << "outline, left";
    EXPECT_GT(litInBackgroundBox(shot, -1, 1, -5.2, -4.8, 4), 100) << "outline, top";
    EXPECT_EQ(litInBackgroundBox(shot, -1.6, 1.6, -3, -2, -4), 0) << "between the eyes";
    EXPECT_EQ(litInBackgroundBox(shot, -1.5, 1.5, -1.5, -0.4, -4), 0) << "between the eyes and the mouth";
    EXPECT_EQ(shot.litPixels(0, 0, 150, showScreenHeight, 8), 0) << "left of the outline";
}

struct ScreenSize {
    int width, height;
};

void PrintTo(const ScreenSize& size, std::ostream* out) {
    *out << size.width << "x" << size.height;
}

// The box holding every lit pixel: where the show drew on the screen.
PixelRect litBounds(const Image& shot) {
    PixelRect box = {shot.width, shot.height, 0, 0};
    for (int y = 0; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++)
            if (shot.brightness(x, y) > 8)
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x + 1), std::max(box.y1, y + 1)};
    return box;
}

// A kiosk or party machine runs an X server started with xinit and no window
// manager; SDL then does not size a full-screen window by itself.
class VelquorFullScreen : public Velquor, public ::testing::WithParamInterface<ScreenSize> {
protected:
    // The first screenshot with the face on a fresh screen, and how the demo ended.
    FaceWatch play(bool windowManager, int& status) {
        XServer x(GetParam().width, GetParam().height);
        EXPECT_TRUE(x.running());
        if (windowManager) {
            EXPECT_TRUE(x.startWindowManager());
        }
        pid_t demo = start(x);
        FaceWatch watch = watchForFace(x, demo);
        status = watch.status >= 0 ? watch.status : waitProcess(demo, track + endAllowance);
        if (status < 0)
            stopProcess(demo);
        return watch;
    }

    const double track = 1.8;
};

TEST_P(VelquorFullScreen, FillsTheScreenWithOrWithoutAWindowManager) {
    prepareShowDirectory(dir.path, track);
    int managedStatus = -1;
    FaceWatch managed = play(true, managedStatus);
    EXPECT_EQ(managedStatus, 0) << "with openbox: " << managed.summary() << "; output:\n" << readTextFile(output);
    int bareStatus = -1;
    FaceWatch bare = play(false, bareStatus);
    EXPECT_EQ(bareStatus, 0) << "alone: " << bare.summary() << "; output:\n" << readTextFile(output);
    ASSERT_TRUE(managed.seen()) << "with openbox: " << managed.summary();
    ASSERT_TRUE(bare.seen()) << "alone: " << bare.summary();

    // The face moves a little between the two moments; a window of another
    // size or place would show it elsewhere or cut.
    PixelRect a = litBounds(managed.shot);
    PixelRect b = litBounds(bare.shot);
    const int near = 4;
    EXPECT_NEAR(b.x0, a.x0, near);
    EXPECT_NEAR(b.y0, a.y0, near);
    EXPECT_NEAR(b.x1, a.x1, near);
    EXPECT_NEAR(b.y1, a.y1, near);
}

INSTANTIATE_TEST_SUITE_P(Screens, VelquorFullScreen,
                         ::testing::Values(ScreenSize{1920, 1080}, ScreenSize{1366, 768}),
                         [](const ::testing::TestParamInfo<ScreenSize>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST_F(Velquor, IgnoresTheCloseRequestAndEndsPromptlyOnEscape) {
    prepareShowDirectory(dir.path, 60.0);
    XServer x(showScreenWidth, showScreenHeight);
    ASSERT_TRUE(x.startWindowManager());
    pid_t demo = start(x);
    FaceWatch watch = watchForFace(x, demo);
    ASSERT_TRUE(watch.seen()) << watch.summary() << "; output:\n" << readTextFile(output);

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
