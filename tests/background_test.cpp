#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "demo/MyDemo.h"
#include "demo/SceneCommon.h"
#include "demo/Background.h"
#include "demo/RandomNums.h"
#include "demo/StartChecks.h"
#include "tests/support/KeepsScenes.h"
#include "tests/support/GLContext.h"
#include "tests/support/ShowCamera.h"

namespace {

const int frameWidth = 480;
const int frameHeight = 270;

// The screen rectangle of a background box, whose points lie in 20 <= z <= 22.
PixelRect screenBox(double x0, double x1, double y0, double y1, int margin) {
    return screenBounds(x0, x1, y0, y1, 20.0, 22.0, frameWidth, frameHeight, margin);
}

int lit(const Image& image, PixelRect r) {
    return image.litPixels(r.x0, r.y0, r.x1, r.y1, 8);
}

class BackgroundScene : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo = new MyDemo(frameWidth, frameHeight);
        background = new Background(frameWidth, frameHeight);
    }
    static MyDemo* demo;
    static Background* background;
};

MyDemo* BackgroundScene::demo = nullptr;
Background* BackgroundScene::background = nullptr;

} // namespace

TEST_F(BackgroundScene, RunsForTheWholeShow) {
    EXPECT_EQ(background->start, 0.0);
    EXPECT_EQ(background->end, 130.0);
}

TEST_F(BackgroundScene, BuildsEyesMouthAndOutline) {
    const int eyes = 2, mouth = 19, outline = 101;
    ASSERT_EQ(eyes + mouth + outline, Background::cloudCount);
    for (int i = 0; i < Background::cloudCount; i++) {
        vq_engine::Particle* cloud = background->clouds[i];
        ASSERT_NE(cloud, nullptr);
        int expected = (i >= eyes && i < eyes + mouth) ? 20 : 100;
        EXPECT_EQ(cloud->count, expected) << "cloud " << i;
        EXPECT_EQ(cloud->emitZ, 20.0f) << "cloud " << i;
    }

    // Eyes: unit squares above the centre (world -y is up).
    EXPECT_EQ(background->clouds[0]->emitX, -2.0f);
    EXPECT_EQ(background->clouds[0]->emitY, -2.0f);
    EXPECT_EQ(background->clouds[1]->emitX, 2.0f);

    // The mouth is a half ring of radius 2 on the +y side (below the centre).
    for (int i = eyes; i < eyes + mouth; i++) {
        double cx = background->clouds[i]->emitX - 0.1;
        double cy = background->clouds[i]->emitY - 0.1;
        EXPECT_NEAR(std::hypot(cx, cy), 2.0, 1e-5) << "cloud " << i;
        EXPECT_GE(cy, -1e-5) << "cloud " << i;
    }
    // The outline is a full ring of radius 5 whose last cloud lies on the first.
    for (int i = eyes + mouth; i < Background::cloudCount; i++) {
        double cx = background->clouds[i]->emitX - 0.2;
        double cy = background->clouds[i]->emitY - 0.2;
        EXPECT_NEAR(std::hypot(cx, cy), 5.0, 1e-5) << "cloud " << i;
    }
    vq_engine::Particle* first = background->clouds[eyes + mouth];
    vq_engine::Particle* last = background->clouds[Background::cloudCount - 1];
    EXPECT_NEAR(first->emitX, last->emitX, 1e-5);
    EXPECT_NEAR(first->emitY, last->emitY, 1e-5);
}

TEST_F(BackgroundScene, EveryPointStartsInTheFarSlab) {
    for (vq_engine::Particle* cloud : background->clouds)
        for (int i = 0; i < cloud->count; i++) {
            float z = cloud->positions[3 * i + 2];
            EXPECT_TRUE(z > 20.0f && z <= 22.0f) << z;
        }
}

TEST_F(BackgroundScene, ClearsTheFrameAndDrawsTheFace) {
    OffscreenTarget target(frameWidth, frameHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    background->show(1.0);
    Image frame = target.read();

    PixelRect leftEye = screenBox(-3, -2, -3, -2, 3);
    PixelRect rightEye = screenBox(2, 3, -3, -2, 3);
    PixelRect outlineRight = screenBox(4.8, 5.2, -0.2, 0.2, 3);
    PixelRect outlineTop = screenBox(-0.2, 0.2, -5.2, -4.8, 3);
    PixelRect mouthBottom = screenBox(-0.1, 0.1, 1.9, 2.1, 3);
    EXPECT_GT(lit(frame, leftEye), 40);
    EXPECT_GT(lit(frame, rightEye), 40);
    EXPECT_GT(lit(frame, outlineRight), 10);
    EXPECT_GT(lit(frame, outlineTop), 10);
    EXPECT_GT(lit(frame, mouthBottom), 3);

    // Between the eyes, and between the eyes and the mouth, there is only sky.
    EXPECT_EQ(lit(frame, screenBox(-1.5, 1.5, -3, -2, -2)), 0);
    EXPECT_EQ(lit(frame, screenBox(-1.5, 1.5, -1.5, -0.3, -2)), 0);
    // Outside the outline too.
    EXPECT_EQ(lit(frame, PixelRect{0, 0, frameWidth, screenBox(0, 0, -5.6, -5.6, 0).y0}), 0);
}

namespace {

// Makes state the drand48 stream's position and hands back the one it replaces.
void swapRandom(unsigned short state[3]) {
    unsigned short next[3] = {state[0], state[1], state[2]};
    unsigned short* previous = seed48(next);
    for (int k = 0; k < 3; k++)
        state[k] = previous[k];
}

MyDemo* builtShow(long seed) {
    srand48(seed);
    MyDemo* demo = new MyDemo(64, 64);
    demo->init();
    return demo;
}

// The clouds made since the engine's list held first of them.
std::vector<vq_engine::Particle*> cloudsSince(size_t first) {
    return {vq_engine::Particle::live.begin() + std::ptrdiff_t(first), vq_engine::Particle::live.end()};
}

} // namespace

// A show stepped through its frames ends up exactly where the same show
// drawn frame by frame does, clouds and GPU buffers alike, and the frame it
// would have drawn into keeps what it held.
TEST(DemoStep, MovesTheShowAsDrawingItDoesAndDrawsNothing) {
    OffscreenTarget target(64, 64);
    size_t first = vq_engine::Particle::live.size();
    MyDemo* drawn = builtShow(21);
    std::vector<vq_engine::Particle*> a = cloudsSince(first);
    unsigned short drawnRandom[3] = {0, 0, 0};
    swapRandom(drawnRandom);
    first = vq_engine::Particle::live.size();
    MyDemo* stepped = builtShow(21);
    std::vector<vq_engine::Particle*> b = cloudsSince(first);
    unsigned short steppedRandom[3] = {0, 0, 0};
    swapRandom(steppedRandom);

    for (double t = 0.1; t < 20.0; t += 0.25) {
        swapRandom(drawnRandom);
        drawn->show(t);
        swapRandom(drawnRandom);

        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        swapRandom(steppedRandom);
        stepped->step(t);
        swapRandom(steppedRandom);
        Image image = target.read();
        ASSERT_EQ(image.pixel(32, 32)[0], 255) << "t = " << t;
        ASSERT_EQ(image.litPixels(0, 0, 64, 64, 0), 64 * 64) << "t = " << t;
    }
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(drawnRandom[k], steppedRandom[k]);
    ASSERT_EQ(a.size(), b.size());
    for (size_t c = 0; c < a.size(); c++) {
        const vq_engine::Particle& cloud = *b[c];
        ASSERT_TRUE(cloud.holds(a[c]->save())) << "cloud " << c;
        ASSERT_EQ(readBuffer(cloud.vbo[0], cloud.positions.size()), cloud.positions) << "cloud " << c;
    }
}

// A tool that builds the show again (in a new context, after the old one has
// gone) checks and rebuilds only the programs of the show it now has.
TEST(StarsPrograms, ListOnlyTheProgramsOfTheShowBuiltLast) {
    builtShow(5);
    MyDemo* show = builtShow(6);
    ASSERT_EQ(starsPrograms().size(), show->scenes.size());
    EXPECT_EQ(starsPrograms().front(), static_cast<Background*>(show->scenes.front())->program);
    EXPECT_EQ(starsPrograms().back(), static_cast<RandomNums*>(show->scenes.back())->program);
    EXPECT_EQ(brokenProgramReason(), "");
}
