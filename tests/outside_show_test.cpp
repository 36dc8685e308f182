// The tools on a show that is not Velquor: Orbit (tests/outside/), silent,
// with shaders, scenes and clouds of its own. Its capture is built against a
// fresh install of the engine and vq_tools alone; its preview, driven here
// as preview_controls_test drives Velquor's, must show what that capture draws.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/outside/orbit.h"
#include "tests/support/Browser.h"
#include "tests/support/CaptureRun.h"
#include "tests/support/PictureCompare.h"
#include "tests/support/KeepsScenes.h"
#include "tests/support/Process.h"
#include "tests/support/XServer.h"
#include "tools/common/OffscreenShow.h"
#include "tools/common/PngFile.h"
#include "tools/preview/Preview.h"

using preview::Preview;
using tools::RgbImage;

namespace {

const int fps = 60;
const double moments[] = {5.0, 12.5, 17.0};
const char* const momentList = "5,12.5,17";
const double seekFrom = 20.0;
// Installing, then compiling and linking Orbit's two programs.
const double buildSeconds = 300.0;

std::string inQuotes(const std::string& path) {
    return "'" + path + "'";
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path + ".new", std::ios::binary) << text;
    std::rename((path + ".new").c_str(), path.c_str());
}

// Velquor installed in a prefix of its own, once per run.
const std::string& installed() {
    static TempDir prefix;
    static bool done = false;
    if (!done) {
        ShellOutcome install = runShell("cmake --install " + inQuotes(VQ_BUILD_DIR) + " --prefix " +
                                            inQuotes(prefix.path) + " >/dev/null",
                                        buildSeconds);
        EXPECT_EQ(install.status, 0) << install.output;
        done = true;
    }
    return prefix.path;
}

// Orbit built against the install, once per run; the build directory, where
// its data/ is.
const std::string& orbitBuild() {
    static TempDir project;
    static std::string build;
    if (!build.empty())
        return build;
    ShellOutcome made = runShell("cmake -S " + inQuotes(VQ_SOURCE_DIR "/tests/outside") + " -B " +
                                     inQuotes(project.path) + " -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=" +
                                     inQuotes(installed()) + " && cmake --build " + inQuotes(project.path),
                                 buildSeconds);
    EXPECT_EQ(made.status, 0) << made.output;
    if (made.status == 0)
        build = project.path;
    return build;
}

// Orbit's frames at the moments, as its installed capture draws them at the size.
std::vector<RgbImage> orbitCapture(int width, int height) {
    std::vector<RgbImage> frames;
    const std::string& build = orbitBuild();
    if (build.empty())
        return frames;
    TempDir directory;
    ShellOutcome run = runShell("cd " + inQuotes(build) + " && DISPLAY=" + captureDisplay() + " ./orbit-capture --size " +
                                    std::to_string(width) + "x" + std::to_string(height) + " --duration 18 --at " +
                                    momentList + " --frames " + inQuotes(directory.path),
                                120.0);
    EXPECT_EQ(run.status, 0) << run.output;
    for (double seconds : moments) {
        char name[32];
        std::snprintf(name, sizeof name, "/t%.3f.png", seconds);
        RgbImage frame;
        EXPECT_EQ(tools::readPng(directory.path + name, frame), "");
        frames.push_back(frame);
    }
    return frames;
}

const std::vector<RgbImage>& captured(int width, int height) {
    static std::map<std::pair<int, int>, std::vector<RgbImage>> sizes;
    std::vector<RgbImage>& frames = sizes[{width, height}];
    if (frames.empty())
        frames = orbitCapture(width, height);
    return frames;
}

int litPixels(const RgbImage& frame) {
    int lit = 0;
    for (size_t i = 0; i < frame.rgb.size(); i += 3)
        lit += frame.rgb[i] + frame.rgb[i + 1] + frame.rgb[i + 2] > 3 * 80;
    return lit;
}

// Orbit's page of one file, built with emscripten from the install alone:
// its frame-exact stills are the native capture's frames, held to the
// pictures Orbit's own frame test keeps (reference/, 320x180 at 60 fps).
TEST(OrbitPage, BuiltFromTheInstallDrawsTheCapturesFrames) {
    TempDir web;
    ShellOutcome made = runShell("emcmake cmake -S " + inQuotes(VQ_SOURCE_DIR "/tests/outside") + " -B " +
                                     inQuotes(web.path) + " -DCMAKE_BUILD_TYPE=Release -DVelquor_DIR=" +
                                     inQuotes(installed() + "/lib/cmake/Velquor") + " && cmake --build " +
                                     inQuotes(web.path),
                                 buildSeconds);
    ASSERT_EQ(made.status, 0) << made.output;
    std::string page = web.path + "/orbit.html";
    EXPECT_LE(readTextFile(page).size(), 65536u) << made.output;
    Browser browser(320, 180);
    ASSERT_EQ(browser.error, "");
    for (double seconds : moments) {
        char name[32];
        std::snprintf(name, sizeof name, "t%.3f.png", seconds);
        SCOPED_TRACE(name);
        ASSERT_EQ(browser.navigate("file://" + page + "?size=320x180&at=" + std::to_string(seconds)), "");
        std::string failure, status = "document.getElementById('status').textContent";
        ASSERT_TRUE(browser.waitFor("/^(ready|error)/.test(" + status + ")", 60.0));
        ASSERT_EQ(browser.evaluate(status, failure).rfind("ready", 0), 0u) << browser.evaluate(status, failure);
        ASSERT_EQ(browser.screenshot(web.path + "/" + name), "");
        RgbImage still, reference;
        ASSERT_EQ(tools::readPng(web.path + "/" + name, still), "");
        ASSERT_EQ(tools::readPng(VQ_SOURCE_DIR "/tests/outside/reference/" + std::string(name), reference), "");
        PictureDifference difference = comparePictures(still, reference);
        EXPECT_FALSE(difference.differs) << difference.summary();
    }
    // Played live, a silent show runs on the page's own clock.
    Browser live(320, 180, {"--autoplay-policy=no-user-gesture-required"});
    ASSERT_EQ(live.navigate("file://" + page), "");
    ASSERT_TRUE(live.waitFor("document.getElementById('start').disabled === false", 60.0));
    std::string failure;
    live.evaluate("document.getElementById('start').click()", failure);
    EXPECT_TRUE(live.waitFor("Number(document.getElementById('status').dataset.frame) > 60", 30.0))
        << live.evaluate("document.getElementById('status').textContent", failure);
}

TEST(OrbitCapture, TwiceGivesTheSameLitFramesAtTheAskedSize) {
    std::vector<RgbImage> first = orbitCapture(320, 180);
    std::vector<RgbImage> second = orbitCapture(320, 180);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    for (size_t m = 0; m < first.size(); m++) {
        EXPECT_EQ(first[m].width, 320);
        EXPECT_EQ(first[m].height, 180);
        EXPECT_TRUE(first[m].rgb == second[m].rgb) << moments[m] << " s differs between two runs";
        EXPECT_GT(litPixels(first[m]), 320 * 180 / 100) << moments[m] << " s is nearly black";
    }
    // The scenes move: no two moments look alike.
    EXPECT_FALSE(first[0].rgb == first[1].rgb);
    EXPECT_FALSE(first[1].rgb == first[2].rgb);
}

// Orbit's own frame test, vq_add_frame_test in its CMakeLists.txt, under
// ctest with no display of the test's: its frames agree with its reference/
// as they stand, and a shader edit that changes only the scattering cube is
// named at 17 s alone.
TEST(OrbitFrameTest, PassesAsItStandsAndNamesTheMomentAChangedShaderMoves) {
    const std::string& build = orbitBuild();
    ASSERT_FALSE(build.empty());
    const std::string vertex = build + "/data/orbit.vs";
    const std::string original = readTextFile(vertex);
    auto ctest = [&] { return runShell("cd " + inQuotes(build) + " && env -u DISPLAY ctest -V", 240.0); };
    ShellOutcome run = ctest();
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("orbit-capture: all 3 frames agree with " VQ_SOURCE_DIR "/tests/outside/reference"),
              std::string::npos)
        << run.output;

    std::string magenta = original;
    magenta.replace(magenta.find("    gl_PointSize"), 0, "    if (time > 15.0)\n        colour = vec3(1.0, 0.0, 1.0);\n");
    writeFile(vertex, magenta);
    run = ctest();
    writeFile(vertex, original);
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("t5.000.png at 5 s: agrees with"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("t12.500.png at 12.5 s: agrees with"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("orbit-capture: --compare: t17.000.png at 17 s differs from " VQ_SOURCE_DIR
                              "/tests/outside/reference/t17.000.png: "),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("orbit-capture: 1 of 3 frames does not agree"), std::string::npos) << run.output;
}

// Orbit's preview in a window of its own, on a clock only the test moves,
// working in a directory with Orbit's data/.
class OrbitPreview : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            display.reset(new XServer(1280, 720));
            ASSERT_TRUE(display->running()) << "could not start Xvfb";
            setenv("DISPLAY", display->display.c_str(), 1);
        }
        directory.reset(new TempDir);
        mkdir((directory->path + "/data").c_str(), 0755);
        for (const char* name : {"orbit.vs", "orbit.fs"})
            writeFile(directory->path + "/data/" + name, readTextFile(std::string(VQ_SOURCE_DIR "/tests/outside/data/") + name));
        ASSERT_EQ(chdir(directory->path.c_str()), 0);
    }

    static void TearDownTestSuite() {
        SDL_Quit();
        ASSERT_EQ(chdir(VQ_BUILD_DIR), 0);
        directory.reset();
        display.reset();
    }

    void open(const vq_tools::Show& show, double start) {
        preview::PreviewOptions options;
        options.width = 320;
        options.height = 180;
        options.paused = true;
        options.start = start;
        options.startGiven = true;
        window.reset(new Preview(show, options, orbit::length, [this] { return now; }));
        ASSERT_EQ(window->open(), "");
    }

    RgbImage onShow() const {
        RgbImage frame;
        std::vector<unsigned char> rows;
        tools::readFramebuffer(window->player.framebuffer(), window->player.show.width, window->player.show.height,
                               frame, rows);
        return frame;
    }

    void expectCaptured(size_t moment, int width, int height, const char* how) {
        const std::vector<RgbImage>& frames = captured(width, height);
        ASSERT_EQ(frames.size(), 3u);
        RgbImage frame = onShow();
        EXPECT_EQ(frame.width, width);
        EXPECT_TRUE(frame.rgb == frames[moment].rgb) << how << " to " << moments[moment] << " s at " << width << "x"
                                                     << height << ": not the capture's frame";
    }

    static int frameAt(double seconds) { return int(seconds * fps + 0.5); }

    static std::unique_ptr<XServer> display;
    static std::unique_ptr<TempDir> directory;
    double now = 1000.0;
    std::unique_ptr<Preview> window;
};

std::unique_ptr<XServer> OrbitPreview::display;
std::unique_ptr<TempDir> OrbitPreview::directory;

TEST_F(OrbitPreview, StartedPausedAtAMomentShowsWhatTheCaptureDraws) {
    for (size_t m = 0; m < sizeof moments / sizeof moments[0]; m++) {
        open(orbit::orbitShow(), moments[m]);
        EXPECT_EQ(window->player.frame, frameAt(moments[m]));
        expectCaptured(m, 320, 180, "started");
    }
}

TEST_F(OrbitPreview, SeekingBackFromLaterShowsWhatTheCaptureDraws) {
    open(orbit::orbitShow(), 0.0);
    for (size_t m = 0; m < sizeof moments / sizeof moments[0]; m++) {
        window->seekTo(frameAt(seekFrom));
        window->seekTo(frameAt(moments[m]));
        expectCaptured(m, 320, 180, "seeking back");
    }
}

// Its saved clouds would not bring such a show back: it is built afresh and
// stepped from its start, and still lands on the very frame.
TEST_F(OrbitPreview, AShowWithStateOfItsOwnIsSteppedFromTheStart) {
    vq_tools::Show show = orbit::orbitShow();
    show.keepsOtherState = true;
    testing::internal::CaptureStdout();
    open(show, 0.0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("orbit-preview: the show keeps state beyond its clouds"),
              std::string::npos);
    EXPECT_EQ(window->player.states.count(), 1u);
    window->seekTo(frameAt(seekFrom));
    window->seekTo(frameAt(moments[1]));
    expectCaptured(1, 320, 180, "stepping from the start");
    EXPECT_EQ(window->player.states.count(), 1u);
}

TEST_F(OrbitPreview, AResizeKeepsTheFrameAndShowsTheCapturesFrameAtTheNewSize) {
    open(orbit::orbitShow(), moments[2]);
    size_t programs = vq_engine::ShaderProgram::live.size();
    size_t clouds = vq_engine::Particle::live.size();
    SDL_SetWindowSize(window->window, 400, 200);
    for (int i = 0; i < 100 && window->player.show.width != 400; i++)
        window->runOnce();
    EXPECT_EQ(window->player.show.height, 200);
    EXPECT_EQ(window->player.frame, frameAt(moments[2]));
    expectCaptured(2, 400, 200, "resized");
    // The show built before gave back its programs and clouds.
    EXPECT_EQ(vq_engine::ShaderProgram::live.size(), programs);
    EXPECT_EQ(vq_engine::Particle::live.size(), clouds);
}

// Mid-edit, a shader that does not build must not end the preview when the
// window changes size: the show built again goes on with the programs that
// last worked, and the mended file is taken up as any edit is.
TEST_F(OrbitPreview, AResizeWhileAShaderIsBrokenGoesOn) {
    open(orbit::orbitShow(), moments[2]);
    const std::string fragment = "data/orbit.fs";
    const std::string original = readTextFile(fragment);
    writeFile(fragment, original + "\nthis is not a shader\n");
    testing::internal::CaptureStdout();
    SDL_SetWindowSize(window->window, 400, 200);
    for (int i = 0; i < 100 && window->player.show.width != 400; i++)
        window->runOnce();
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Shader error"), std::string::npos) << said;
    EXPECT_EQ(window->failure, "");
    EXPECT_FALSE(window->quit);
    // The show built again keeps drawing with the programs that last worked.
    expectCaptured(2, 400, 200, "resized with a broken shader");
    writeFile(fragment, original);
    testing::internal::CaptureStdout();
    now += 0.25;
    window->handleEvents();
    testing::internal::GetCapturedStdout();
    expectCaptured(2, 400, 200, "resized with a broken shader, then mended");
}

TEST_F(OrbitPreview, AnEditOfItsShaderIsPickedUp) {
    open(orbit::orbitShow(), moments[0]);
    RgbImage before = onShow();
    const std::string fragment = "data/orbit.fs";
    const std::string original = readTextFile(fragment);
    std::string red = original;
    red.replace(red.find("vec4(colour, 1.0)"), 17, "vec4(1.0, 0.0, 0.0, 1.0)");
    writeFile(fragment, red);
    testing::internal::CaptureStdout();
    now += 0.25; // the files are looked at four times a second
    window->handleEvents();
    std::string said = testing::internal::GetCapturedStdout();
    writeFile(fragment, original);
    EXPECT_NE(said.find("orbit-preview: rebuilt the particle program from data/orbit.vs and data/orbit.fs"),
              std::string::npos)
        << said;
    RgbImage after = onShow();
    EXPECT_FALSE(after.rgb == before.rgb);
    EXPECT_GT(litPixels(before), 0);
    // Every point is drawn red now: nothing green is left of the old colours.
    int green = 0;
    for (size_t i = 0; i < after.rgb.size(); i += 3)
        green += after.rgb[i + 1] > 40;
    EXPECT_EQ(green, 0);
}

} // namespace
