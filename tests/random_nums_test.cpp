#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <typeinfo>

#include "demo/Background.h"
#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/Thirtytwo.h"
#include "demo/Tovelplex.h"
#include "demo/MyDemo.h"
#include "tests/support/KeepsScenes.h"
#include "tests/support/GLContext.h"
#include "tests/support/Process.h"
#include "tests/support/TextGlyphs.h"

namespace {

const int drawsPerCloud = 7 * 100;

// The digits of the row, read back from where its clouds stand.
std::string rowDigits(const vq_engine::PString& text) {
    std::string digits;
    for (size_t k = 0; k < text.chars.size() && k < 100; k++) {
        int digit = digitOf(cloudCells(*text.chars[k], rowPlace(int(k))));
        digits += digit < 0 ? '?' : char('0' + digit);
    }
    return digits;
}

// The generator's state, to replay the draws a build took.
struct StreamState {
    unsigned short words[3];
};

StreamState streamState() {
    unsigned short probe[3] = {0, 0, 0};
    StreamState state;
    std::memcpy(state.words, seed48(probe), sizeof state.words);
    seed48(state.words);
    return state;
}

void skipDraws(long count) {
    for (long i = 0; i < count; i++)
        drand48();
}

// Replays the row's draws from the current state: one digit draw, then the
// draws of that digit's clouds, a hundred times.
std::string replayRow() {
    std::string digits;
    for (int k = 0; k < 100; k++) {
        int digit = int(drand48() * 10.0);
        digits += char('0' + digit);
        skipDraws(long(drawsPerCloud) * long(pictureCells(digitPictures()[digit]).size()));
    }
    return digits;
}

std::string selfPath() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return std::string(path, length > 0 ? size_t(length) : 0);
}

// Runs this test program again as a fresh process that builds the whole show
// (after extraClouds clouds of its own) and reports the row's digits.
std::string digitsOfAFreshRun(int extraClouds) {
    TempDir dir;
    std::string digitsPath = dir.path + "/digits";
    ProcessOptions options;
    options.workingDirectory = VQ_BUILD_DIR;
    options.environment = {{"VQ_DIGITS_FILE", digitsPath}, {"VQ_EXTRA_CLOUDS", std::to_string(extraClouds)}};
    options.outputPath = dir.path + "/output";
    pid_t child = spawnProcess({selfPath(), "--gtest_also_run_disabled_tests",
                                "--gtest_filter=FreshRun.DISABLED_WritesTheRowDigits"},
                               options);
    int status = waitProcess(child, 120.0);
    if (status < 0)
        stopProcess(child);
    EXPECT_EQ(status, 0) << readTextFile(options.outputPath);
    return readTextFile(digitsPath);
}

} // namespace

TEST(RandomNumsRow, HundredDigitsAtFloatAccumulatedOrigins) {
    RandomNums scene(1920, 1080);
    ASSERT_EQ(scene.text->chars.size(), 100u);
    std::vector<float> origins = rowOrigins();
    EXPECT_NEAR(origins[99], 29.399973, 1e-6);
    for (size_t k = 0; k < 100; k++) {
        const vq_engine::Character& glyph = *scene.text->chars[k];
        std::vector<int> cells = cloudCells(glyph, rowPlace(int(k)));
        EXPECT_GE(digitOf(cells), 0) << "glyph " << k << " is no digit";
        // The glyph's own origin, from its leftmost cloud's far corner: the
        // float sum, not the exact multiple of 0.3 (29.4 for the last).
        double origin = 1e9;
        for (size_t c = 0; c < cells.size(); c++)
            origin = std::min(origin, double(glyph.particles[c]->emitX) - (cells[c] % 5 + 1) * 0.05);
        EXPECT_NEAR(origin, origins[k], 4e-6) << "glyph " << k;
    }
}

TEST(RandomNumsRow, EachDigitIsDrawnJustBeforeItsClouds) {
    StreamState before = streamState();
    RandomNums scene(1920, 1080);
    double nextAfterBuild = drand48();
    seed48(before.words);
    std::string expected = replayRow();
    EXPECT_EQ(rowDigits(*scene.text), expected);
    // The build took exactly these draws and no more.
    EXPECT_EQ(drand48(), nextAfterBuild);
}

TEST(MyDemoInit, BuildsTheNineScenesInTimelineOrder) {
    MyDemo demo(1920, 1080);
    StreamState before = streamState();
    demo.init();
    ASSERT_EQ(demo.scenes.size(), 9u);
    struct Window {
        const std::type_info& type;
        double start, end;
    };
    const Window windows[9] = {
        {typeid(Background), 0.0, 130.0},   {typeid(Begin), 1.983, 3.268},   {typeid(Fourteen), 4.012, 15.342},
        {typeid(Thirtytwo), 6.018, 130.0},  {typeid(N158), 8.474, 9.939},    {typeid(N271), 10.525, 130.0},
        {typeid(Million), 12.486, 130.0},   {typeid(Tovelplex), 14.289, 17.551}, {typeid(RandomNums), 18.0, 130.0},
    };
    for (int i = 0; i < 9; i++) {
        vq_engine::Scene* scene = demo.scenes[i];
        EXPECT_EQ(typeid(*scene), windows[i].type) << "position " << i + 1;
        EXPECT_EQ(scene->start, windows[i].start) << "position " << i + 1;
        EXPECT_EQ(scene->end, windows[i].end) << "position " << i + 1;
    }

    // Everything built before the row drew from the same stream first: the
    // background's 2 x 100 + 19 x 20 + 101 x 100 points, then 85 + 21 + 29 +
    // 44 + 35 + 40 + 86 glyph clouds.
    seed48(before.words);
    skipDraws(7L * (2 * 100 + 19 * 20 + 101 * 100));
    skipDraws(long(drawsPerCloud) * (85 + 21 + 29 + 44 + 35 + 40 + 86));
    RandomNums* row = dynamic_cast<RandomNums*>(demo.scenes[8]);
    ASSERT_NE(row, nullptr);
    std::string digits = rowDigits(*row->text);
    EXPECT_EQ(digits, replayRow());
    // In the show's own stream every digit turns up.
    EXPECT_EQ(std::set<char>(digits.begin(), digits.end()).size(), 10u) << digits;
}

TEST(RandomNumsRow, EveryRunShowsTheSameDigitsUnlessEarlierContentChanges) {
    std::string first = digitsOfAFreshRun(0);
    std::string second = digitsOfAFreshRun(0);
    ASSERT_EQ(first.size(), 100u) << first;
    EXPECT_EQ(first.find('?'), std::string::npos) << first;
    EXPECT_EQ(second, first);
    // One more cloud before the show shifts the stream, and the digits change.
    std::string shifted = digitsOfAFreshRun(1);
    ASSERT_EQ(shifted.size(), 100u) << shifted;
    EXPECT_NE(shifted, first);
}

// Run only as the child of the test above.
TEST(FreshRun, DISABLED_WritesTheRowDigits) {
    const char* path = std::getenv("VQ_DIGITS_FILE");
    ASSERT_NE(path, nullptr);
    const char* extra = std::getenv("VQ_EXTRA_CLOUDS");
    for (int i = 0; extra && i < std::atoi(extra); i++)
        new vq_engine::Particle(1, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    MyDemo* demo = new MyDemo(1920, 1080);
    demo->init();
    RandomNums* row = dynamic_cast<RandomNums*>(demo->scenes.back());
    ASSERT_NE(row, nullptr);
    std::ofstream(path) << rowDigits(*row->text);
}
