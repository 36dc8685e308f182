// The preview's promise: whatever way it reaches a moment (played through
// with frames stepped unseen, seeking forward, seeking back, wrapping round a
// loop, from states its scout kept ahead) the frame is pixel for pixel the
// one velquor-capture renders there at the same size.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/CaptureRun.h"
#include "tests/support/KeepsScenes.h"
#include "tests/support/Process.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/common/OptionValues.h"
#include "tools/common/PngFile.h"
#include "tools/common/OffscreenShow.h"
#include "tools/preview/PlayClock.h"
#include "tools/preview/ShowPlayer.h"
#include "tools/preview/ShowState.h"
#include "demo/VelquorShow.h"

using tools::RgbImage;
using preview::ShowPlayer;

namespace {

const int frameWidth = 480;
const int frameHeight = 270;
const int fps = 60;
const int lastFrame = 32 * fps;
// The busiest moments: 32 blown apart, fresh random velocities every frame,
// while 158 dissolves; 14, 271 and 10^6 all moving; 10^6 pouring down; the
// digit row's two passes, whose digits are the random stream's after every
// cloud was built.
const double moments[] = {9.5, 13.0, 15.5, 18.2, 29.2};
const char* const momentList = "9.5,13,15.5,18.2,29.2";
const double laterThanAll = 31.0;

int frameAt(double seconds) {
    return int(std::lround(seconds * fps));
}

// velquor-capture's frames at the moments, rendered once for the whole suite.
std::vector<RgbImage>& captured() {
    static std::vector<RgbImage> frames;
    if (!frames.empty())
        return frames;
    TempDir directory;
    CaptureRun run = runCapture({"--size", std::to_string(frameWidth) + "x" + std::to_string(frameHeight), "--fps",
                                 std::to_string(fps), "--duration", "32", "--at", momentList,
                                 "--frames", directory.path});
    EXPECT_EQ(run.status, 0) << run.output;
    for (double seconds : moments) {
        RgbImage frame;
        std::string error = tools::readPng(directory.path + "/" + capture::atFrameName(seconds), frame);
        EXPECT_EQ(error, "");
        frames.push_back(frame);
    }
    return frames;
}

class PreviewFrames : public ::testing::Test {
protected:
    // A show of its own for each test, built from the random stream's start
    // as a fresh run builds it; the previous show's GL objects stay, as a
    // show's always do.
    void SetUp() override {
        ASSERT_EQ(captured().size(), sizeof moments / sizeof moments[0]);
        const unsigned short start[3] = {0, 0, 0};
        preview::restoreRandom(start);
        player.reset(new ShowPlayer(velquorShow(), fps, lastFrame));
        ASSERT_EQ(player->open(frameWidth, frameHeight), "");
    }

    RgbImage onShow() {
        RgbImage frame;
        std::vector<unsigned char> rows;
        tools::readFramebuffer(player->framebuffer(), player->show.width, player->show.height, frame, rows);
        return frame;
    }

    // Pixel for pixel, with the count of differing pixels when not.
    void expectCaptured(size_t moment, const char* how) {
        const RgbImage& reference = captured()[moment];
        RgbImage frame = onShow();
        ASSERT_EQ(frame.rgb.size(), reference.rgb.size());
        int differing = 0;
        for (size_t i = 0; i < frame.rgb.size(); i += 3)
            differing += frame.rgb[i] != reference.rgb[i] || frame.rgb[i + 1] != reference.rgb[i + 1] ||
                         frame.rgb[i + 2] != reference.rgb[i + 2];
        EXPECT_EQ(differing, 0) << how << " to " << tools::formatSeconds(moments[moment]) << " s: " << differing
                                << " pixels differ";
    }

    std::unique_ptr<ShowPlayer> player;
};

TEST_F(PreviewFrames, PlayedThroughWithFramesSteppedUnseen) {
    int frame = 0;
    for (size_t m = 0; m < sizeof moments / sizeof moments[0]; m++) {
        int target = frameAt(moments[m]);
        // Draws one frame in one to five, as a loaded machine would.
        while (frame < target) {
            frame = std::min(target, frame + 1 + frame % 5);
            player->showFrame(frame);
        }
        expectCaptured(m, "played");
    }
}

TEST_F(PreviewFrames, SeekingForwardFromTheStart) {
    for (size_t m = 0; m < sizeof moments / sizeof moments[0]; m++) {
        player->showFrame(frameAt(moments[m]));
        expectCaptured(m, "seeking forward");
    }
}

TEST_F(PreviewFrames, SeekingBackFromLater) {
    player->showFrame(frameAt(laterThanAll));
    for (size_t m = sizeof moments / sizeof moments[0]; m-- > 0;) {
        player->showFrame(frameAt(moments[m]));
        expectCaptured(m, "seeking back");
    }
}

TEST_F(PreviewFrames, AfterTheLoopWraps) {
    for (size_t m = 0; m < sizeof moments / sizeof moments[0]; m++) {
        int target = frameAt(moments[m]);
        preview::PlayClock clock(fps, lastFrame);
        clock.setLoop(target - 30, target + 30);
        clock.startAt(target + 20, 0.0);
        player->showFrame(target + 20);
        // Eleven frames past the loop's end, then thirty more from its start.
        preview::PlayClock::Due due = clock.advance(41.0 / fps);
        ASSERT_TRUE(due.wrapped);
        ASSERT_EQ(due.frame, target);
        player->showFrame(due.frame);
        expectCaptured(m, "wrapping round a loop");
    }
}

TEST_F(PreviewFrames, FromStatesKeptAheadWhileIdle) {
    player->showFrame(frameAt(moments[0]));
    int lastMoment = frameAt(moments[sizeof moments / sizeof moments[0] - 1]);
    // In short slices, as between frames: the scout goes on where it stopped.
    int slices = 0;
    while (player->keepAhead(0.05))
        slices++;
    EXPECT_GT(slices, 1);
    ASSERT_GE(player->states.lastFrame(), lastMoment);
    // The scout leaves the frame on show as it was, and its state too.
    expectCaptured(0, "scouting ahead, then staying");
    player->redraw();
    expectCaptured(0, "scouting ahead, then drawing again");
    size_t kept = player->states.count();
    for (size_t m = 1; m < sizeof moments / sizeof moments[0]; m++) {
        player->showFrame(frameAt(moments[m]));
        expectCaptured(m, "seeking through states kept ahead");
    }
    // Seeking used the states kept, and kept none of its own.
    EXPECT_EQ(player->states.count(), kept);
}

} // namespace
