// The look's measures on frames and sound made to known figures.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/Cues.h"
#include "tests/support/LookMeasures.h"

namespace {

std::vector<unsigned char> pixels(const std::vector<std::vector<unsigned char>>& colours) {
    std::vector<unsigned char> rgb;
    for (const auto& colour : colours)
        rgb.insert(rgb.end(), colour.begin(), colour.end());
    return rgb;
}

// 38.5 s at 30 frames a second, each frame's light given by light(t).
template <typename Light>
std::vector<FrameLook> frames(Light light) {
    std::vector<FrameLook> result;
    for (int n = 1; n <= 1155; n++) {
        FrameLook frame;
        frame.time = n / 30.0;
        frame.light = light(frame.time);
        result.push_back(frame);
    }
    return result;
}

// A tone whose level follows level(t), at a low sample rate.
template <typename Level>
StereoAudio tone(Level level) {
    StereoAudio audio;
    audio.sampleRate = 2000;
    for (int k = 0; k < 38 * audio.sampleRate; k++) {
        double t = double(k) / audio.sampleRate;
        float v = float(level(t) * std::sin(2 * 3.14159265 * 220 * t));
        audio.left.push_back(v);
        audio.right.push_back(v);
    }
    return audio;
}

} // namespace

TEST(LookMeasures, AFrameCountsOnlyItsLitPixelsForColour) {
    // Red and green are lit; dark grey and pure blue (luma 0.07) are not.
    std::vector<unsigned char> rgb = pixels({{255, 0, 0}, {0, 255, 0}, {20, 20, 20}, {0, 0, 255}});
    FrameLook frame = measureFrame(rgb.data(), 4, 1.5);
    EXPECT_EQ(frame.time, 1.5);
    EXPECT_EQ(frame.lit, 2.0);
    EXPECT_NEAR(frame.light, (0.2126 + 0.7152 + 20 / 255.0 + 0.0722) / 4, 1e-9);
    // rg = R - G and yb = (R + G) / 2 - B: red (255, 127.5), green (-255, 127.5).
    EXPECT_DOUBLE_EQ(frame.rg, 0.0);
    EXPECT_DOUBLE_EQ(frame.yb, 255.0);
    ColourFigures colour = colourOver({frame}, 0.0, 2.0);
    EXPECT_NEAR(colour.colourfulness, 255.0 + 0.3 * 127.5, 1e-9);
    EXPECT_NEAR(colour.hue, 90.0, 1e-9);
    // Neutral light has no colour.
    std::vector<unsigned char> grey = pixels({{200, 200, 200}, {90, 90, 90}});
    EXPECT_EQ(colourOver({measureFrame(grey.data(), 2, 0.0)}, 0.0, 1.0).colourfulness, 0.0);
}

TEST(LookMeasures, HuesAreComparedTheShortWayRound) {
    EXPECT_DOUBLE_EQ(hueDistance(350.0, 10.0), 20.0);
    EXPECT_DOUBLE_EQ(hueDistance(10.0, 350.0), 20.0);
    EXPECT_DOUBLE_EQ(hueDistance(90.0, 270.0), 180.0);
    EXPECT_DOUBLE_EQ(hueDistance(45.0, 45.0), 0.0);
}

TEST(LookMeasures, AFlashJustAfterACueLandsAndOneLateDoesNot) {
    double landing = cues[1].time;
    double late = cues[2].time;
    auto light = [&](double t) {
        if (t > landing + 0.02 && t < landing + 0.15)
            return 0.03;
        if (t > late + 0.2 && t < late + 0.4)
            return 0.03;
        return 0.01;
    };
    LookFigures figures = measureLook(frames(light), tone([](double) { return 0.1; }));
    ASSERT_EQ(figures.cues.size(), size_t(cueCount - 1));
    EXPECT_NEAR(figures.cues[0].ratio(), 3.0, 1e-9);
    EXPECT_NEAR(figures.cues[1].ratio(), 1.0, 1e-9);
    EXPECT_EQ(figures.cuesLanded(), 1);
}

TEST(LookMeasures, LightThatFollowsTheLoudnessCorrelates) {
    auto level = [](double t) { return 0.05 + 0.2 * (int(t * 2) % 5) / 4.0; };
    LookFigures following = measureLook(frames([&](double t) { return level(t) * level(t); }), tone(level));
    EXPECT_GT(following.lightLoudness, 0.99);
    EXPECT_EQ(following.halfSecondWindows.size(), 76u);
    LookFigures against = measureLook(frames([&](double t) { return 0.3 - level(t); }), tone(level));
    EXPECT_LT(against.lightLoudness, -0.9);
}
