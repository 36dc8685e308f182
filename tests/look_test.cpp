// The show's look held to its targets, on one capture of the whole show at
// 480x270 and 30 frames a second in a GL debug context (about a minute on two
// cores; look_meter prints the same figures in full):
//     cd build && ./look_meter
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/Audio.h"
#include "tests/support/CaptureRun.h"
#include "tests/support/LookMeasures.h"
#include "tests/support/Process.h"
#include "tools/shaders/LookSections.h"

namespace {

class WholeShow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TempDir frames;
        CaptureSettings settings;
        settings.timeoutSeconds = 500.0;
        capture = new CaptureRun(
            runCapture({"--size", "480x270", "--fps", "30", "--gl-check", "--frames", frames.path}, settings));
        std::string error;
        looks = new std::vector<FrameLook>(measureCapture(frames.path, 30.0, error));
        StereoAudio track = decodeWithMixer(VQ_BUILD_DIR "/data/quorvin.mp3", error);
        figures = new LookFigures(measureLook(*looks, track));
        printLook(*figures, stdout);
    }
    static void TearDownTestSuite() {
        delete capture;
        delete looks;
        delete figures;
    }
    void SetUp() override {
        ASSERT_EQ(capture->status, 0) << capture->output;
        ASSERT_GT(looks->size(), 1000u);
    }

    static CaptureRun* capture;
    static std::vector<FrameLook>* looks;
    static LookFigures* figures;
};

CaptureRun* WholeShow::capture = nullptr;
std::vector<FrameLook>* WholeShow::looks = nullptr;
LookFigures* WholeShow::figures = nullptr;

} // namespace

TEST_F(WholeShow, DrawsEveryFrameWithoutAGLError) {
    EXPECT_NE(capture->output.find("no GL error or warning in frames"), std::string::npos) << capture->output;
}

TEST_F(WholeShow, IsColourfulAndEachSectionHasItsOwnHue) {
    EXPECT_GE(figures->show.colourfulness, 40.0);
    EXPECT_GE(figures->boundariesMoved(), 4);
    // Every section is lit, so each hue is measured on something.
    for (const SectionFigures& section : figures->sections)
        EXPECT_GT(section.colour.litShare, 500.0) << section.name;
}

TEST_F(WholeShow, LandsOnTheCuesAndTheDropsHardest) {
    EXPECT_GE(figures->cuesLanded(), 14);
    double weakestDrop = 1e9, strongestOther = 0.0;
    for (const CueFigures& cue : figures->cues) {
        if (cue.time == look::sections[4].start || cue.time == look::sections[5].start)
            weakestDrop = std::min(weakestDrop, cue.ratio());
        else
            strongestOther = std::max(strongestOther, cue.ratio());
    }
    EXPECT_GT(weakestDrop, strongestOther);
}

TEST_F(WholeShow, LightFollowsLoudness) {
    EXPECT_GE(figures->lightLoudness, 0.5);
}

TEST_F(WholeShow, TheDigitRowPulsesOnTheBeatOfTheDrops) {
    EXPECT_GE(figures->beatPulse(), beatPulseTarget)
        << "on the beat " << figures->onBeat << ", between beats " << figures->offBeat;
}
