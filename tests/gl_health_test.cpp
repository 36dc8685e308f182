// The whole show, as velquor-capture draws it at a small size in a debug
// context: any GL error or driver warning on any frame fails the run, each
// reported with the time of its frame and the driver's words, which name the
// call. Once on Mesa's default driver and once on zink.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/CaptureRun.h"
#include "tests/support/GLDriver.h"
#include "tests/support/Process.h"

class GLHealth : public ::testing::TestWithParam<GLDriver> {};

TEST_P(GLHealth, TheWholeShowDrawsWithoutAGLErrorOrDriverWarning) {
    TempDir dir;
    CaptureSettings settings; // the build directory's data/, the real track and its length
    settings.environment = GetParam().environment;
    CaptureRun run = runCapture({"--gl-check", "--size", "160x90", "--sheet", dir.path + "/sheet.png"}, settings);
    ASSERT_EQ(wrongRenderer(GetParam(), run.output), "") << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("GL at "), std::string::npos) << run.output;
    // The check ran, its self-test passed, and it covered the show's frames.
    const std::string clean = "velquor-capture: no GL error or warning in frames 1 to ";
    size_t summary = run.output.find(clean);
    ASSERT_NE(summary, std::string::npos) << run.output;
    EXPECT_GT(std::stol(run.output.substr(summary + clean.size())), 2000) << "fewer frames than the show has";
}

INSTANTIATE_TEST_SUITE_P(Drivers, GLHealth, ::testing::Values(defaultDriver, zinkDriver),
                         [](const ::testing::TestParamInfo<GLDriver>& info) { return std::string(info.param.name); });

TEST(GLCheckOption, TheCheckNeedsItsOptionAndSaysSoInTheHelp) {
    CaptureRun help = runCapture({"--help"});
    EXPECT_NE(help.output.find("--gl-check"), std::string::npos) << help.output;
    CaptureRun plain = runCapture({"--size", "64x36", "--duration", "0.2", "--at", "0.1", "--frames", "shots"},
                                  CaptureSettings{{}, VQ_BUILD_DIR, "cd \"$(mktemp -d)\" &&", 120.0});
    EXPECT_EQ(plain.output.find("GL error or warning"), std::string::npos) << plain.output;
}

// Mesa falls back to llvmpipe without a word when zink cannot start; the
// renderer the capture names is what tells.
TEST(GLDriverCheck, ARunIsHeldToTheRendererItAskedFor) {
    const std::string onLlvmpipe = "velquor-capture: OpenGL renderer: llvmpipe (LLVM 15.0.6, 256 bits)\n";
    const std::string onZink = "velquor-capture: OpenGL renderer: zink (llvmpipe (LLVM 15.0.6, 256 bits))\n";
    EXPECT_EQ(wrongRenderer(zinkDriver, onZink), "");
    EXPECT_EQ(wrongRenderer(defaultDriver, onLlvmpipe), "");
    EXPECT_EQ(wrongRenderer(zinkDriver, onLlvmpipe), "asked for zink, drew with llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_EQ(wrongRenderer(defaultDriver, onZink),
              "asked for llvmpipe, drew with zink (llvmpipe (LLVM 15.0.6, 256 bits))");
    EXPECT_EQ(wrongRenderer(zinkDriver, "velquor-capture: no display found\n"),
              "asked for zink, drew with no renderer named");
}
