// velquor-preview driven as people drive it: key presses go through SDL's
// event queue into the real program's window, with its show, music (on SDL's
// silent driver) and data files in a directory of the test's own. Then the
// program itself, started with bad input or without its data.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "demo/SceneCommon.h"
#include "engine/RenderBuffer.h"
#include "engine/ShaderProgram.h"
#include "tests/support/CaptureRun.h"
#include "tests/support/KeepsScenes.h"
#include "tests/support/Process.h"
#include "tests/support/XServer.h"
#include "tools/common/PngFile.h"
#include "tools/common/OffscreenShow.h"
#include "demo/VelquorShow.h"
#include "tools/preview/Preview.h"

using preview::Preview;

namespace {

const int windowWidth = 320;
const int windowHeight = 180;
const double showSeconds = 38.5;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

tools::RgbImage frameOnShow(Preview& preview) {
    tools::RgbImage frame;
    std::vector<unsigned char> rows;
    tools::readFramebuffer(preview.player.framebuffer(), preview.player.show.width, preview.player.show.height, frame, rows);
    return frame;
}

void replaceFile(const std::string& path, const std::string& text) {
    // As editors save: a new file renamed over the old one, which the watch
    // sees whatever the file system's clock grain.
    writeFile(path + ".new", text);
    ASSERT_EQ(rename((path + ".new").c_str(), path.c_str()), 0);
}

// A fresh preview window for each test, working in a copy of data/, on a
// clock that only the test moves.
class PreviewControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            display.reset(new XServer(1280, 720));
            ASSERT_TRUE(display->running()) << "could not start Xvfb";
            setenv("DISPLAY", display->display.c_str(), 1);
        }
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        directory.reset(new TempDir);
        mkdir((directory->path + "/data").c_str(), 0755);
        for (const char* name : {"stars.vs", "stars.fs", "quorvin.mp3"})
            writeFile(directory->path + "/data/" + name, readFile(std::string(VQ_BUILD_DIR "/data/") + name));
        ASSERT_EQ(chdir(directory->path.c_str()), 0);
    }

    static void TearDownTestSuite() {
        SDL_Quit();
        ASSERT_EQ(chdir(VQ_BUILD_DIR), 0);
        directory.reset();
        display.reset();
    }

    void SetUp() override {
        preview::PreviewOptions options;
        options.width = windowWidth;
        options.height = windowHeight;
        options.paused = true;
        shared.reset(new Preview(velquorShow(), options, showSeconds, [this] { return now; }));
        ASSERT_EQ(shared->open(), "");
        std::printf("OpenGL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    }

    void TearDown() override { shared.reset(); }

    // Through SDL's queue, as a key press in the window arrives.
    void press(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
        SDL_Event event = {};
        event.type = SDL_KEYDOWN;
        event.key.windowID = SDL_GetWindowID(shared->window);
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        event.key.keysym.mod = modifiers;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        shared->handleEvents();
    }

    // Moves the clock on by the given seconds, one frame's time at a time,
    // with a pass of the loop after each step; the frame shown after each.
    std::vector<int> runFor(double seconds) {
        std::vector<int> frames;
        int steps = int(std::lround(seconds * fps));
        for (int i = 0; i < steps; i++) {
            now += 1.0 / fps;
            shared->handleEvents();
            frames.push_back(frame());
        }
        return frames;
    }

    // One pass of the loop, the given seconds later.
    void later(double seconds) {
        now += seconds;
        shared->handleEvents();
    }

    int frame() const { return shared->player.frame; }

    static const int fps = 60;
    static std::unique_ptr<XServer> display;
    static std::unique_ptr<TempDir> directory;
    double now = 1000.0;
    std::unique_ptr<Preview> shared;
};

std::unique_ptr<XServer> PreviewControls::display;
std::unique_ptr<TempDir> PreviewControls::directory;

TEST_F(PreviewControls, SpacePausesAndResumesPictureAndMusicTogether) {
    EXPECT_FALSE(shared->clock.playing);
    EXPECT_FALSE(shared->music.playing);
    press(SDLK_SPACE);
    EXPECT_TRUE(shared->clock.playing);
    EXPECT_TRUE(shared->music.playing);
    runFor(0.5);
    EXPECT_EQ(frame(), 30);
    press(SDLK_SPACE);
    int paused = frame();
    EXPECT_FALSE(shared->clock.playing);
    EXPECT_FALSE(shared->music.playing);
    runFor(0.2);
    EXPECT_EQ(frame(), paused);
}

TEST_F(PreviewControls, ArrowsSeekOneSecondAndTenWithShift) {
    struct Step {
        SDL_Keycode key;
        Uint16 modifiers;
        int frame;
    };
    const Step steps[] = {
        {SDLK_RIGHT, KMOD_NONE, 60},   {SDLK_RIGHT, KMOD_LSHIFT, 660}, {SDLK_LEFT, KMOD_NONE, 600},
        {SDLK_LEFT, KMOD_RSHIFT, 0},   {SDLK_LEFT, KMOD_NONE, 0},      {SDLK_PERIOD, KMOD_NONE, 1},
        {SDLK_PERIOD, KMOD_NONE, 2},   {SDLK_COMMA, KMOD_NONE, 1},     {SDLK_RIGHT, KMOD_SHIFT, 601},
        {SDLK_HOME, KMOD_NONE, 0},
    };
    for (const Step& step : steps) {
        press(step.key, step.modifiers);
        EXPECT_EQ(frame(), step.frame) << SDL_GetKeyName(step.key);
    }
    // Seeking, stepping unseen, restoring states and putting frames on screen leave GL without complaint.
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(PreviewControls, SteppingAFramePausesThePlay) {
    press(SDLK_SPACE);
    runFor(0.2);
    EXPECT_EQ(frame(), 12);
    press(SDLK_PERIOD);
    EXPECT_FALSE(shared->clock.playing);
    EXPECT_FALSE(shared->music.playing);
    EXPECT_EQ(frame(), 13);
}

TEST_F(PreviewControls, BracketsSetALoopThatPlaysOverAndBackspaceClearsIt) {
    press(SDLK_RIGHT, KMOD_SHIFT);
    press(SDLK_LEFTBRACKET);
    for (int i = 0; i < 12; i++)
        press(SDLK_PERIOD);
    press(SDLK_RIGHTBRACKET);
    ASSERT_TRUE(shared->clock.looping);
    EXPECT_EQ(shared->clock.loopStart, 600);
    EXPECT_EQ(shared->clock.loopEnd, 612);
    press(SDLK_SPACE);
    std::vector<int> frames = runFor(0.8);
    // Play starts at the loop's end, 612: 48 frames' time through the loop of
    // 13 frames shows every frame in turn from 600, and 600 again three times.
    int wraps = 0;
    for (size_t i = 0; i < frames.size(); i++) {
        EXPECT_EQ(frames[i], 600 + int(i) % 13) << i;
        wraps += i > 0 && frames[i] < frames[i - 1];
    }
    EXPECT_EQ(wraps, 3);
    EXPECT_TRUE(shared->music.playing);
    press(SDLK_BACKSPACE);
    EXPECT_FALSE(shared->clock.looping);
    runFor(0.5);
    // On from the loop's last start, 40 frames' time in.
    EXPECT_EQ(frame(), 600 + 48 + 30 - 40);
}

TEST_F(PreviewControls, MinusAndEqualsHalveAndDoubleTheSpeedWithMusicOnlyAtNormalSpeed) {
    press(SDLK_SPACE);
    struct Step {
        SDL_Keycode key;
        double rate;
        bool music;
    };
    const Step steps[] = {{SDLK_EQUALS, 2.0, false}, {SDLK_EQUALS, 4.0, false}, {SDLK_MINUS, 2.0, false},
                          {SDLK_MINUS, 1.0, true},   {SDLK_MINUS, 0.5, false}, {SDLK_EQUALS, 1.0, true}};
    for (const Step& step : steps) {
        press(step.key);
        EXPECT_EQ(shared->clock.rate, step.rate);
        EXPECT_EQ(shared->music.playing, step.music) << "at " << step.rate << "x";
    }
    press(SDLK_EQUALS);
    press(SDLK_EQUALS);
    int from = frame();
    runFor(0.5);
    // Four times the 30 frames of half a second.
    EXPECT_EQ(frame() - from, 120);
}

TEST_F(PreviewControls, F12WritesTheFrameOnScreenNamedByItsTime) {
    press(SDLK_RIGHT, KMOD_SHIFT);
    for (int i = 0; i < 3; i++)
        press(SDLK_RIGHT);
    for (int i = 0; i < 6; i++)
        press(SDLK_COMMA);
    ASSERT_EQ(frame(), 774); // 12.9 s
    press(SDLK_F12);
    tools::RgbImage written;
    ASSERT_EQ(tools::readPng("velquor-012.900.png", written), "");
    EXPECT_EQ(written.width, windowWidth);
    EXPECT_EQ(written.height, windowHeight);
    EXPECT_TRUE(written.rgb == frameOnShow(*shared).rgb);
    unlink("velquor-012.900.png");
}

// The window manager's answer comes as an event; runOnce() waits for it.
void resizeWindow(Preview& preview, int width, int height) {
    SDL_SetWindowSize(preview.window, width, height);
    for (int i = 0; i < 100 && preview.player.show.width != width; i++)
        preview.runOnce();
}

// 400x200 makes the whole-number quotient of width and height 2 instead of 1:
// every scene's projection changes with it.
TEST_F(PreviewControls, AResizedWindowShowsWhatACaptureOfItsSizeShows) {
    press(SDLK_RIGHT, KMOD_SHIFT);
    resizeWindow(*shared, 400, 200);
    EXPECT_EQ(shared->player.show.width, 400);
    EXPECT_EQ(shared->player.show.height, 200);
    EXPECT_EQ(frame(), 600);
    TempDir frames;
    CaptureRun run = runCapture({"--size", "400x200", "--duration", "11", "--at", "10", "--frames", frames.path});
    ASSERT_EQ(run.status, 0) << run.output;
    tools::RgbImage captured;
    ASSERT_EQ(tools::readPng(frames.path + "/t10.000.png", captured), "");
    EXPECT_TRUE(frameOnShow(*shared).rgb == captured.rgb);
}

TEST_F(PreviewControls, TheTitleSaysWhereTheShowIs) {
    press(SDLK_RIGHT, KMOD_SHIFT);
    press(SDLK_RIGHT, KMOD_SHIFT);
    press(SDLK_LEFTBRACKET);
    runFor(0.3);
    std::string title = SDL_GetWindowTitle(shared->window);
    for (const char* part : {"20.000 s", "frame 1200", "paused", "1x", "loop 20.000-38.500", "fps", "Background",
                             "Thirtytwo", "N271", "Million", "RandomNums"})
        EXPECT_NE(title.find(part), std::string::npos) << part << " in " << title;
    EXPECT_EQ(title.find("Tovelplex"), std::string::npos) << title;
}

// The bar drawn into a buffer of its own: the playhead where the time is,
// scene lanes where their windows are, nothing above the bar, and GL's clear
// colour and scissor as they were.
TEST_F(PreviewControls, TheTimelineBarMarksScenesAndTheTime) {
    vq_engine::RenderBuffer target(windowWidth, windowHeight, 0, 1, false);
    target.firstPass();
    shared->bar->draw(windowWidth, showSeconds / 2, shared->clock);
    tools::RgbImage picture;
    std::vector<unsigned char> rows;
    tools::readFramebuffer(target.getFramebuffer(), windowWidth, windowHeight, picture, rows);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    int bottom = windowHeight - 1;
    const unsigned char* playhead = picture.pixel(windowWidth / 2, bottom);
    EXPECT_GT(playhead[0], 200);
    EXPECT_LT(playhead[1], 100);
    // Background's lane, the top one, runs the whole width.
    int backgroundLane = windowHeight - shared->bar->height() + 2;
    EXPECT_GT(picture.pixel(windowWidth / 4, backgroundLane)[2], 100);
    int lit = 0;
    for (int y = 0; y < windowHeight - shared->bar->height(); y++)
        for (int x = 0; x < windowWidth; x++)
            lit += picture.pixel(x, y)[0] + picture.pixel(x, y)[1] + picture.pixel(x, y)[2] != 0;
    EXPECT_EQ(lit, 0);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2], 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

// How many pixels above the bar differ between the window and the frame on show.
int differingAboveTheBar(const Image& screen, const tools::RgbImage& frame, int barHeight) {
    int differing = 0;
    for (int y = 0; y < frame.height - barHeight; y++)
        for (int x = 0; x < frame.width; x++)
            differing += !std::equal(screen.pixel(x, y), screen.pixel(x, y) + 3, frame.pixel(x, y));
    return differing;
}

// The window, drawn by the presenter's own thread and context, shows the
// frame on show to the pixel, with the bar along its bottom edge: when paused
// at once, and while playing once the presenter has caught up, having put
// every frame drawn on screen.
TEST_F(PreviewControls, TheWindowShowsTheFrameOnShow) {
    shared->seekTo(20 * fps);
    shared->update();
    Image screen = windowScreenshot(shared->window);
    ASSERT_EQ(screen.width, windowWidth);
    ASSERT_EQ(screen.height, windowHeight);
    tools::RgbImage frame = frameOnShow(*shared);
    EXPECT_EQ(differingAboveTheBar(screen, frame, shared->bar->height()), 0);
    EXPECT_GT(screen.litPixels(0, 0, windowWidth, windowHeight - shared->bar->height()), 1000);
    // The bar's backdrop is never black.
    const unsigned char* bar = screen.pixel(windowWidth / 3, windowHeight - 1);
    EXPECT_GT(bar[0] + bar[1] + bar[2], 0);

    press(SDLK_SPACE);
    long drawn = shared->framesDrawn;
    long shown = shared->presenter->framesShown;
    runFor(0.5);
    shared->presenter->finish();
    EXPECT_GT(shared->framesDrawn - drawn, 20);
    EXPECT_GE(shared->presenter->framesShown - shown, shared->framesDrawn - drawn);
    screen = windowScreenshot(shared->window);
    ASSERT_EQ(screen.width, windowWidth);
    EXPECT_EQ(differingAboveTheBar(screen, frameOnShow(*shared), shared->bar->height()), 0);
}

// Shader edits, as an editor saves them: a broken one is reported and the
// show keeps drawing with the last working program; a good one changes the
// picture; putting the original back brings the very same picture back.
TEST_F(PreviewControls, ShaderEditsRebuildTheProgramOrKeepTheLastWorkingOne) {
    const std::string fragment = "data/stars.fs";
    const std::string original = readFile(fragment);
    press(SDLK_RIGHT, KMOD_SHIFT);
    press(SDLK_RIGHT, KMOD_SHIFT);
    tools::RgbImage before = frameOnShow(*shared);

    struct Edit {
        std::string source;
        const char* said;
        bool samePicture;
    };
    const std::string goldenColour = "fragColour = vec4(vec3(1.0, 0.8, 0.2) * glow, 1.0);";
    std::string golden = original;
    golden.replace(golden.find("fragColour = "), golden.find(";", golden.find("fragColour = ")) -
                                                     golden.find("fragColour = ") + 1, goldenColour);
    const Edit edits[] = {
        {original + "\nthis is not a shader\n", "Shader error", true},
        {golden, "rebuilt the particle program", false},
        {original, "rebuilt the particle program", true},
    };
    for (const Edit& edit : edits) {
        replaceFile(fragment, edit.source);
        testing::internal::CaptureStdout();
        later(0.25);
        std::string output = testing::internal::GetCapturedStdout();
        EXPECT_NE(output.find(edit.said), std::string::npos) << output;
        tools::RgbImage after = frameOnShow(*shared);
        EXPECT_EQ(after.rgb == before.rgb, edit.samePicture) << edit.said;
        for (vq_engine::ShaderProgram* program : starsPrograms())
            EXPECT_TRUE(program->isLinked());
    }
}

// Looking on every pass cost a system call per file each time round the
// loop; a quarter of a second is soon enough for an editor's save.
TEST_F(PreviewControls, TheShaderFilesAreLookedAtFourTimesASecond) {
    const std::string fragment = "data/stars.fs";
    const std::string original = readFile(fragment);
    later(0.25);
    replaceFile(fragment, original + "\n");
    testing::internal::CaptureStdout();
    later(0.2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    later(0.1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("rebuilt the particle program"), std::string::npos);
    replaceFile(fragment, original);
}

TEST_F(PreviewControls, RRebuildsTheProgramWithoutAnEdit) {
    testing::internal::CaptureStdout();
    press(SDLK_r);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("velquor-preview: rebuilt the particle program from data/stars.vs and data/stars.fs"),
              std::string::npos)
        << output;
}

TEST_F(PreviewControls, EscapeQuits) {
    EXPECT_FALSE(shared->quit);
    press(SDLK_ESCAPE);
    EXPECT_TRUE(shared->quit);
}

// The program as users start it, with no display: bad input must be turned
// away before it would open a window.
struct Refused {
    int status;
    std::string output;
};

Refused runPreview(const std::vector<std::string>& args, const std::string& directory) {
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    std::vector<std::string> argv = {VQ_BUILD_DIR "/velquor-preview"};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t child = spawnProcess(argv, {directory, {{"DISPLAY", ""}, {"SDL_AUDIODRIVER", "dummy"}}, log});
    Refused run;
    run.status = waitProcess(child, 60.0);
    if (run.status < 0)
        stopProcess(child);
    run.output = readTextFile(log);
    return run;
}

TEST(PreviewProgram, BadInputIsOneLineAndStatus2BeforeAnyWindow) {
    const std::vector<std::string> cases[] = {
        {"--bogus"}, {"--size", "wide"}, {"--size", "100x200"}, {"--start", "soon"}, {"--fps", "0"},
        {"--loop", "30,40"}, {"--start", "39"}, {"--loop", "8"},
    };
    for (const auto& args : cases) {
        Refused run = runPreview(args, VQ_BUILD_DIR);
        EXPECT_EQ(run.status, 2) << args[0] << ": " << run.output;
        EXPECT_EQ(run.output.rfind("velquor-preview: ", 0), 0u) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
}

TEST(PreviewProgram, AMissingDataFileIsNamedWithStatus1) {
    TempDir empty;
    Refused run = runPreview({}, empty.path);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output, "velquor-preview: cannot read data/stars.vs in " + empty.path +
                              ": No such file or directory\n");
}

TEST(PreviewProgram, HelpListsTheKeys) {
    Refused run = runPreview({"--help"}, VQ_BUILD_DIR);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find(preview::controlsText()), std::string::npos) << run.output;
}

// An X server with no window manager leaves a full-screen window at the size
// it was made with: the preview's must still cover the screen.
TEST(PreviewProgram, FullScreenCoversAScreenWithoutAWindowManager) {
    XServer x(1366, 768);
    ASSERT_TRUE(x.running());
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    pid_t child = spawnProcess({VQ_BUILD_DIR "/velquor-preview", "--fullscreen", "--paused"},
                               {VQ_BUILD_DIR, {{"DISPLAY", x.display}, {"SDL_AUDIODRIVER", "dummy"}}, log});
    // The title changes as it plays; the program's name starts it.
    std::string window;
    for (int i = 0; i < 600 && waitProcess(child, 0.1) < 0; i++) {
        std::string tree = x.client("xwininfo -root -tree | grep '\"velquor-preview '");
        if (!tree.empty()) {
            window = tree;
            break;
        }
    }
    stopProcess(child);
    ASSERT_FALSE(window.empty()) << "no window; output:\n" << readTextFile(log);
    EXPECT_NE(window.find(" 1366x768+0+0 "), std::string::npos) << window;
}

} // namespace
