#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>
#include <utility>
#include <vector>

#include "demo/Cues.h"
#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/Thirtytwo.h"
#include "demo/Tovelplex.h"
#include "tests/support/KeepsScenes.h"
#include "tests/support/GLContext.h"
#include "tests/support/ShowCamera.h"
#include "tests/support/TextGlyphs.h"

using vq_engine::PString;
using vq_engine::ShaderProgram;

namespace {

// A 16:9 screen, for which the show's layout is made (aspect 1).
const int screenWidth = 1920;
const int screenHeight = 1080;

struct Vec3 {
    double x, y, z;
};

Vec3 rotateX(Vec3 p, double a) {
    return {p.x, p.y * std::cos(a) - p.z * std::sin(a), p.y * std::sin(a) + p.z * std::cos(a)};
}

Vec3 rotateY(Vec3 p, double a) {
    return {p.x * std::cos(a) + p.z * std::sin(a), p.y, -p.x * std::sin(a) + p.z * std::cos(a)};
}

// ---- What the clouds hold ------------------------------------------------

struct CloudData {
    std::vector<float> positions, velocities, birthTimes, deathTimes;
    bool reborn;
};

std::vector<CloudData> snapshot(const PString& text) {
    std::vector<CloudData> clouds;
    for (const vq_engine::Character* glyph : text.chars)
        for (const vq_engine::Particle* cloud : glyph->particles)
            clouds.push_back({cloud->positions, cloud->velocities, cloud->birthTimes, cloud->deathTimes, cloud->reborn});
    return clouds;
}

// Every cloud as it was, on the CPU and on the GPU.
void expectUntouched(const PString& text, const std::vector<CloudData>& before) {
    std::vector<CloudData> now = snapshot(text);
    ASSERT_EQ(now.size(), before.size());
    for (size_t c = 0; c < now.size(); c++) {
        EXPECT_EQ(now[c].positions, before[c].positions) << "cloud " << c;
        EXPECT_EQ(now[c].velocities, before[c].velocities) << "cloud " << c;
        EXPECT_EQ(now[c].birthTimes, before[c].birthTimes) << "cloud " << c;
        EXPECT_EQ(now[c].reborn, before[c].reborn) << "cloud " << c;
    }
    for (const vq_engine::Character* glyph : text.chars)
        for (const vq_engine::Particle* cloud : glyph->particles)
            ASSERT_EQ(readBuffer(cloud->vbo[0], cloud->positions.size()), cloud->positions);
}

// One update at updateTime with re-emission on: expired points are back at
// their cloud's emission point with new life, the others stepped once.
// Returns how many were re-emitted.
int expectSteppedOrReborn(const PString& text, const std::vector<CloudData>& before, double updateTime) {
    int reborn = 0;
    size_t c = 0;
    for (const vq_engine::Character* glyph : text.chars)
        for (const vq_engine::Particle* cloud : glyph->particles) {
            const CloudData& was = before.at(c++);
            for (int i = 0; i < cloud->count; i++) {
                if (updateTime > double(was.deathTimes[i])) {
                    reborn++;
                    EXPECT_EQ(cloud->positions[3 * i], cloud->emitX);
                    EXPECT_EQ(cloud->positions[3 * i + 1], cloud->emitY);
                    EXPECT_EQ(cloud->positions[3 * i + 2], cloud->emitZ);
                    EXPECT_EQ(cloud->birthTimes[i], float(updateTime));
                    EXPECT_GE(cloud->deathTimes[i], float(updateTime));
                } else {
                    for (int k = 0; k < 3; k++)
                        EXPECT_EQ(cloud->positions[3 * i + k], was.positions[3 * i + k] + was.velocities[3 * i + k]);
                    EXPECT_EQ(cloud->birthTimes[i], was.birthTimes[i]);
                }
            }
            EXPECT_EQ(readBuffer(cloud->vbo[0], cloud->positions.size()), cloud->positions);
            EXPECT_EQ(readBuffer(cloud->vbo[2], cloud->birthTimes.size()), cloud->birthTimes);
        }
    return reborn;
}

// One update with re-emission off: every point, expired or not, stepped once
// by its current velocity, its times kept.
void expectAllStepped(const PString& text, const std::vector<CloudData>& before) {
    size_t c = 0;
    for (const vq_engine::Character* glyph : text.chars)
        for (const vq_engine::Particle* cloud : glyph->particles) {
            const CloudData& was = before.at(c++);
            EXPECT_FALSE(cloud->reborn);
            for (size_t k = 0; k < cloud->positions.size(); k++)
                EXPECT_EQ(cloud->positions[k], was.positions[k] + cloud->velocities[k]);
            EXPECT_EQ(cloud->birthTimes, was.birthTimes);
            EXPECT_EQ(cloud->deathTimes, was.deathTimes);
            EXPECT_EQ(readBuffer(cloud->vbo[0], cloud->positions.size()), cloud->positions);
            EXPECT_EQ(readBuffer(cloud->vbo[1], cloud->velocities.size()), cloud->velocities);
        }
}

// Each velocity component of every point within [low, high] on its axis.
void expectVelocitiesWithin(const PString& text, Vec3 low, Vec3 high) {
    const double lows[3] = {low.x, low.y, low.z};
    const double highs[3] = {high.x, high.y, high.z};
    int outside = 0;
    for (const vq_engine::Character* glyph : text.chars)
        for (const vq_engine::Particle* cloud : glyph->particles)
            for (size_t k = 0; k < cloud->velocities.size(); k++) {
                double v = cloud->velocities[k];
                if (v < lows[k % 3] || v > highs[k % 3])
                    outside++;
            }
    EXPECT_EQ(outside, 0);
}

// ---- What the program is handed --------------------------------------------

float timeUniform(const ShaderProgram* program) {
    float value = 0.0f;
    glGetUniformfv(program->id, glGetUniformLocation(program->id, "time"), &value);
    return value;
}

// Where "pmatrix" puts a world point on a screenWidth x screenHeight screen.
ScreenPoint drawnAt(const ShaderProgram* program, Vec3 p) {
    float m[16];
    glGetUniformfv(program->id, glGetUniformLocation(program->id, "pmatrix"), m);
    double v[4] = {p.x, p.y, p.z, 1.0};
    double clip[4] = {0, 0, 0, 0};
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++)
            clip[r] += m[4 * c + r] * v[c];
    return {(clip[0] / clip[3] + 1.0) / 2.0 * screenWidth, (1.0 - clip[1] / clip[3]) / 2.0 * screenHeight};
}

// The text's corners, moved as the scene's model transform must move them,
// land where the show's camera puts the moved points.
template <typename Move>
void expectModel(const ShaderProgram* program, std::vector<Vec3> corners, Move move) {
    for (Vec3 p : corners) {
        Vec3 moved = move(p);
        ScreenPoint expected = projectToScreen(moved.x, moved.y, moved.z, screenWidth, screenHeight);
        ScreenPoint actual = drawnAt(program, p);
        EXPECT_NEAR(actual.x, expected.x, 0.05) << "world (" << p.x << ", " << p.y << ", " << p.z << ")";
        EXPECT_NEAR(actual.y, expected.y, 0.05) << "world (" << p.x << ", " << p.y << ", " << p.z << ")";
    }
}

template <typename Scene>
void expectShowsTime(Scene& scene, double t) {
    scene.show(t);
    EXPECT_EQ(timeUniform(scene.program), float(t));
}

void expectText(const PString& text, const std::vector<PlacedGlyph>& glyphs, int clouds) {
    ASSERT_EQ(text.chars.size(), glyphs.size());
    for (size_t g = 0; g < glyphs.size(); g++)
        EXPECT_EQ(cloudCells(*text.chars[g], glyphs[g].place), pictureCells(glyphs[g].picture)) << "glyph " << g;
    EXPECT_EQ(cloudTotal(text), clouds);
}

} // namespace

TEST(BeginScene, WritesBeginUpperLeft) {
    Begin scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 1.983);
    EXPECT_EQ(scene.end, 3.268);
    expectText(*scene.text, beginLayout(), 85);
}

TEST(BeginScene, TurnsAboutTheVerticalAxis) {
    Begin scene(screenWidth, screenHeight);
    for (double t : {2.0, 2.5, 3.2}) {
        expectShowsTime(scene, t);
        expectModel(scene.program, {{-0.3, -0.25, 0.0}, {-0.055, -0.187, 0.009}, {0.0, 0.0, 0.0}},
                    [&](Vec3 p) { return rotateY(p, (t - 1.983) / 4.0); });
    }
}

TEST(BeginScene, PointsMoveOnlyAfterThreeSecondsOnAClockFromThere) {
    Begin scene(screenWidth, screenHeight);
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {2.0, 2.99, beginDissolves})
        scene.show(t);
    expectUntouched(*scene.text, built);

    scene.show(3.2);
    int reborn = expectSteppedOrReborn(*scene.text, built, 3.2 - 3.0);
    // Death times start in [0, 12): about 1.7 % of 8500 points are due by 0.2 s.
    EXPECT_GT(reborn, 50);
    EXPECT_LT(reborn, 300);
}

TEST(FourteenScene, WritesFourteenRightOfAndBelowTheCentre) {
    Fourteen scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 4.012);
    EXPECT_EQ(scene.end, 15.342);
    expectText(*scene.text, fourteenLayout(), 21);
}

TEST(FourteenScene, DriftsThenSwingsAboutTheHorizontalAxis) {
    Fourteen scene(screenWidth, screenHeight);
    for (double t : {4.1, 7.0, 10.0, 15.3}) {
        expectShowsTime(scene, t);
        double st = t - 4.012;
        expectModel(scene.program, {{0.3, 0.25, 0.0}, {0.395, 0.313, 0.009}, {0.0, 0.0, 0.0}}, [&](Vec3 p) {
            return rotateX({p.x - st / 5.0, p.y + st / 10.0, p.z}, st / 5.0);
        });
    }
}

TEST(FourteenScene, PointsMoveAfterFourPointNineOnTheShowClock) {
    Fourteen scene(screenWidth, screenHeight);
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {4.5, fourteenDissolves})
        scene.show(t);
    expectUntouched(*scene.text, built);

    scene.show(5.0);
    int reborn = expectSteppedOrReborn(*scene.text, built, 5.0);
    // About 5 / 12 of the 2100 points are due by then.
    EXPECT_GT(reborn, 700);
    EXPECT_LT(reborn, 1050);
}

TEST(ThirtytwoScene, WritesThirtytwoLeftOfAndBelowTheCentre) {
    Thirtytwo scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 6.018);
    EXPECT_EQ(scene.end, 130.0);
    expectText(*scene.text, thirtytwoLayout(), 29);
}

TEST(ThirtytwoScene, StandsStillUntilNineThenIsBlownApartWhileTurning) {
    Thirtytwo scene(screenWidth, screenHeight);
    std::vector<Vec3> corners = {{-0.3, 0.15, 0.0}, {-0.205, 0.213, 0.009}};
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {6.5, 8.9, thirtytwoScatters}) {
        expectShowsTime(scene, t);
        expectModel(scene.program, corners, [](Vec3 p) { return p; });
    }
    expectUntouched(*scene.text, built);

    double spread = (9.5 - 9.0) / 10.0;
    expectShowsTime(scene, 9.5);
    expectModel(scene.program, corners, [](Vec3 p) { return rotateY(p, (9.5 - 9.0) / 4.0); });
    // Towards +x and -y only, never along z; nothing re-emitted though most points are past their death time.
    expectVelocitiesWithin(*scene.text, {0.0, -spread, 0.0}, {spread, 0.0, 0.0});
    expectAllStepped(*scene.text, built);

    std::vector<CloudData> before = snapshot(*scene.text);
    spread = (12.0 - 9.0) / 10.0;
    scene.show(12.0);
    expectVelocitiesWithin(*scene.text, {0.0, -spread, 0.0}, {spread, 0.0, 0.0});
    expectAllStepped(*scene.text, before);
    // Fresh velocities every frame, spread over the whole range.
    float fastest = 0.0f;
    for (const CloudData& cloud : snapshot(*scene.text))
        for (size_t k = 0; k < cloud.velocities.size(); k += 3)
            fastest = std::max(fastest, cloud.velocities[k]);
    EXPECT_GT(fastest, 0.9 * spread);
}

TEST(N158Scene, WritesOneFiftyEightJustLeftOfTheCentre) {
    N158 scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 8.474);
    EXPECT_EQ(scene.end, 9.939);
    expectText(*scene.text, n158Layout(), 44);
}

TEST(N158Scene, FliesAtTheViewer) {
    N158 scene(screenWidth, screenHeight);
    for (double t : {8.5, 9.0, 9.8}) {
        expectShowsTime(scene, t);
        expectModel(scene.program, {{-0.1, -0.05, 0.0}, {0.045, 0.013, 0.009}},
                    [&](Vec3 p) { return Vec3{p.x, p.y, p.z - (t - 8.474) * 1.4}; });
    }
}

TEST(N158Scene, PointsMoveAfterNinePointThreeOnAClockFromTheSceneStart) {
    N158 scene(screenWidth, screenHeight);
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {8.6, 9.2, n158Dissolves})
        scene.show(t);
    expectUntouched(*scene.text, built);

    scene.show(9.5);
    int reborn = expectSteppedOrReborn(*scene.text, built, 9.5 - 8.474);
    // About 8.5 % of 4400 points are due by 1.026 s.
    EXPECT_GT(reborn, 250);
    EXPECT_LT(reborn, 550);
}

TEST(N271Scene, WritesTwoSeventyOneLeftOfAndAboveTheCentre) {
    N271 scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 10.525);
    EXPECT_EQ(scene.end, 130.0);
    expectText(*scene.text, n271Layout(), 35);
}

TEST(N271Scene, TumblesAboutTheHorizontalAxis) {
    N271 scene(screenWidth, screenHeight);
    for (double t : {10.6, 12.0, 16.81, 40.0}) {
        expectShowsTime(scene, t);
        expectModel(scene.program, {{-0.2, -0.15, 0.0}, {-0.055, -0.087, 0.009}},
                    [&](Vec3 p) { return rotateX(p, (t - 10.525) / 2.0); });
    }
}

TEST(N271Scene, PointsStreamRightAfterTwelveAndNeverReturn) {
    N271 scene(screenWidth, screenHeight);
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {11.0, 11.99, n271StreamsAway})
        scene.show(t);
    expectUntouched(*scene.text, built);

    // Update time 1.975: some points are past their death time, yet none is re-emitted.
    scene.show(12.5);
    expectVelocitiesWithin(*scene.text, {0.0, 0.0, 0.0}, {0.02, 0.0, 0.0});
    expectAllStepped(*scene.text, built);
    std::vector<CloudData> before = snapshot(*scene.text);
    scene.show(60.0);
    expectAllStepped(*scene.text, before);
    std::vector<CloudData> after = snapshot(*scene.text);
    for (size_t c = 0; c < after.size(); c++)
        for (size_t k = 0; k < after[c].positions.size(); k++)
            if (k % 3 != 0) {
                ASSERT_EQ(after[c].positions[k], built[c].positions[k]);
            }
}

TEST(MillionScene, WritesTenToTheSixthUpperLeft) {
    Million scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 12.486);
    EXPECT_EQ(scene.end, 130.0);
    expectText(*scene.text, millionLayout(), 40);
}

TEST(MillionScene, StandsThenBlursThenFallsDownTheScreen) {
    Million scene(screenWidth, screenHeight);
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {12.5, 12.89, millionDrifts}) {
        expectShowsTime(scene, t);
        expectModel(scene.program, {{-0.3, -0.3, 0.0}, {-0.18, -0.187, 0.009}}, [](Vec3 p) { return p; });
    }
    expectUntouched(*scene.text, built);

    // The blur keeps the velocities given at construction and re-emits nothing.
    scene.show(13.0);
    expectAllStepped(*scene.text, built);
    std::vector<CloudData> blurred = snapshot(*scene.text);
    scene.show(millionFalls);
    expectAllStepped(*scene.text, blurred);
    std::vector<CloudData> now = snapshot(*scene.text);
    for (size_t c = 0; c < now.size(); c++)
        ASSERT_EQ(now[c].velocities, built[c].velocities);

    std::vector<CloudData> beforeFall = snapshot(*scene.text);
    scene.show(15.1);
    expectVelocitiesWithin(*scene.text, {0.0, 0.0, 0.0}, {0.0, 0.1, 0.0});
    expectAllStepped(*scene.text, beforeFall);
    now = snapshot(*scene.text);
    for (size_t c = 0; c < now.size(); c++)
        for (size_t k = 0; k < now[c].positions.size(); k++)
            if (k % 3 != 1) {
                ASSERT_EQ(now[c].positions[k], beforeFall[c].positions[k]);
            }
}

TEST(TovelplexScene, WritesTenToThePowerTwelveThousandFourHundredThirtyOne) {
    Tovelplex scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 14.289);
    EXPECT_EQ(scene.end, 17.551);
    expectText(*scene.text, tovelplexLayout(), 86);
}

TEST(TovelplexScene, NeverMoves) {
    Tovelplex scene(screenWidth, screenHeight);
    std::vector<CloudData> built = snapshot(*scene.text);
    for (double t : {14.3, 16.0, 17.55}) {
        expectShowsTime(scene, t);
        expectModel(scene.program, {{-0.35, 0.2, 0.0}, {0.03, 0.39, 0.009}}, [](Vec3 p) { return p; });
    }
    expectUntouched(*scene.text, built);
}

TEST(RandomNumsScene, ScrollsTheRowTwiceWithoutMovingItsPoints) {
    RandomNums scene(screenWidth, screenHeight);
    EXPECT_EQ(scene.start, 18.0);
    EXPECT_EQ(scene.end, 130.0);
    ASSERT_EQ(scene.text->chars.size(), 100u);
    std::vector<CloudData> built = snapshot(*scene.text);
    std::vector<Vec3> corners = {{-0.3, -0.25, 0.0}, {29.65, 0.1, 0.05}};
    struct Pass {
        double t, dx;
    };
    for (Pass pass : {Pass{18.1, -0.3}, Pass{25.0, -21.0}, Pass{28.999, -32.997}, Pass{randomNumsSecondPass, 0.0},
                      Pass{30.0, -5.0}, Pass{129.0, -500.0}}) {
        expectShowsTime(scene, pass.t);
        expectModel(scene.program, corners, [&](Vec3 p) { return Vec3{p.x + pass.dx, p.y, p.z}; });
    }
    expectUntouched(*scene.text, built);
}

template <typename Scene>
void expectProjectionFor(int width, int height, double aspect) {
    Scene scene(width, height);
    for (float value : scene.projection.e)
        ASSERT_TRUE(std::isfinite(value)) << typeid(Scene).name() << " " << width << "x" << height;
    EXPECT_NEAR(scene.projection.e[0], scene.projection.e[5] / aspect, 1e-5)
        << typeid(Scene).name() << " " << width << "x" << height;
}

template <typename... Scenes>
void expectProjectionsFor(int width, int height, double aspect) {
    (expectProjectionFor<Scenes>(width, height, aspect), ...);
}

TEST(SceneAspect, WideScreensKeepTheIntegerAspectAndPortraitOnesTheirOwn) {
    // 16:9 keeps the layout's aspect of 1 and 21:9 gives 2; a portrait window,
    // where the integer quotient would be 0 and the projection would divide by
    // it, gets its true ratio.
    for (auto size : {std::make_pair(1920, 1080), std::make_pair(2560, 1080), std::make_pair(1080, 1920)}) {
        int w = size.first, h = size.second;
        double aspect = w >= h ? double(w / h) : double(w) / h;
        expectProjectionsFor<Begin, Fourteen, Thirtytwo, N158, N271, Million, Tovelplex, RandomNums>(w, h, aspect);
    }
}
