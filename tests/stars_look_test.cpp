// The particle shader pair's look, drawn point by point into an offscreen
// frame with the show's GL state, camera and projection: hot centres with
// colour in the rim, streaks along fast motion, no dark notches where points
// overlap, and a flash on a cue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo/SceneCommon.h"
#include "engine/Matrix.h"
#include "engine/ShaderProgram.h"
#include "tests/support/GLContext.h"
#include "tests/support/ShowCamera.h"

namespace {

const int width = 480;
const int height = 270;

struct Star {
    float x, y, z;
    float vx = 0.0f, vy = 0.0f, vz = 0.0f;
    float birth = 0.0f, death = 7.0f;
};

// The stars program drawing a few points at a time, as a scene draws its clouds.
class StarsFrame : public ::testing::Test {
protected:
    void SetUp() override {
        program = createStarsProgram();
        ASSERT_TRUE(program->isLinked());
        glGenVertexArrays(1, &vao);
        glGenBuffers(4, buffers);
    }
    void TearDown() override {
        glDeleteBuffers(4, buffers);
        glDeleteVertexArrays(1, &vao);
        starsPrograms().clear();
        delete program;
    }

    // The frame with these points drawn in order at show time t.
    Image draw(const std::vector<Star>& stars, double t) {
        OffscreenTarget target(width, height);
        glClearColor(0, 0, 0, 0);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_PROGRAM_POINT_SIZE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vq_engine::Matrix projection;
        projection.perspective(fieldOfView, double(width / height), nearPlane, farPlane);
        program->use();
        program->setParam("pmatrix", cameraView() * projection);
        program->setParam("time", float(t));
        glBindVertexArray(vao);
        for (const Star& star : stars) {
            const float attributes[4][3] = {{star.x, star.y, star.z}, {star.vx, star.vy, star.vz}, {star.birth}, {star.death}};
            for (int k = 0; k < 4; k++) {
                glBindBuffer(GL_ARRAY_BUFFER, buffers[k]);
                glBufferData(GL_ARRAY_BUFFER, sizeof(float) * (k < 2 ? 3 : 1), attributes[k], GL_STREAM_DRAW);
                glVertexAttribPointer(GLuint(k), k < 2 ? 3 : 1, GL_FLOAT, GL_FALSE, 0, nullptr);
                glEnableVertexAttribArray(GLuint(k));
            }
            glDrawArrays(GL_POINTS, 0, 1);
        }
        glBindVertexArray(0);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_PROGRAM_POINT_SIZE);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return target.read();
    }

    vq_engine::ShaderProgram* program = nullptr;
    GLuint vao = 0;
    GLuint buffers[4] = {0, 0, 0, 0};
};

struct LitBox {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    int lit = 0;
    long sum = 0; // of every channel of every pixel
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
};

LitBox litBox(const Image& image, int threshold = 24) {
    LitBox box;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            const unsigned char* p = image.pixel(x, y);
            box.sum += p[0] + p[1] + p[2];
            if (image.brightness(x, y) <= threshold)
                continue;
            box.lit++;
            box.x0 = std::min(box.x0, x);
            box.x1 = std::max(box.x1, x);
            box.y0 = std::min(box.y0, y);
            box.y1 = std::max(box.y1, y);
        }
    return box;
}

int spread(const unsigned char* p) {
    return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
}

// Text sits at z 0, two units from the eye; 7.5 s is more than a beat from any cue.
const double quietTime = 7.5;

} // namespace

TEST_F(StarsFrame, AStillPointIsRoundWithAWhiteCentreAndAColouredRim) {
    Image frame = draw({{0.0f, 0.0f, 0.0f}}, quietTime);
    LitBox box = litBox(frame);
    ASSERT_GT(box.lit, 0);
    EXPECT_LE(std::abs(box.width() - box.height()), 1) << box.width() << "x" << box.height();
    ScreenPoint centre = projectToScreen(0, 0, 0, width, height);
    const unsigned char* core = frame.pixel(int(centre.x), int(centre.y));
    EXPECT_GE(int(std::min({core[0], core[1], core[2]})), 200) << int(core[0]) << "," << int(core[1]) << "," << int(core[2]);
    // The outermost lit pixels carry the colour.
    int colouredRim = 0;
    for (int x = box.x0; x <= box.x1; x++)
        for (int y : {box.y0, box.y1})
            colouredRim += frame.brightness(x, y) > 24 && spread(frame.pixel(x, y)) >= 60;
    EXPECT_GT(colouredRim, 0);
}

TEST_F(StarsFrame, AFastPointIsAStreakAlongItsMotionOnScreen) {
    // World +y runs down the screen.
    Image across = draw({{0.0f, 0.0f, 0.0f, 0.02f, 0.0f, 0.0f}}, quietTime);
    Image down = draw({{0.0f, 0.0f, 0.0f, 0.0f, 0.02f, 0.0f}}, quietTime);
    Image diagonal = draw({{0.0f, 0.0f, 0.0f, 0.014f, 0.014f, 0.0f}}, quietTime);
    LitBox a = litBox(across), d = litBox(down);
    EXPECT_GE(a.width(), 2 * a.height()) << a.width() << "x" << a.height();
    EXPECT_GE(d.height(), 2 * d.width()) << d.width() << "x" << d.height();
    // Along the diagonal from top left to bottom right, not the other one.
    LitBox g = litBox(diagonal);
    ASSERT_GT(g.lit, 0);
    EXPECT_GT(diagonal.brightness(g.x0 + 1, g.y0 + 1) + diagonal.brightness(g.x1 - 1, g.y1 - 1),
              diagonal.brightness(g.x1 - 1, g.y0 + 1) + diagonal.brightness(g.x0 + 1, g.y1 - 1));
    // A drifting point, as every cloud's points drift, stays round.
    LitBox drifting = litBox(draw({{0.0f, 0.0f, 0.0f, 0.0005f, 0.0f, 0.0f}}, quietTime));
    EXPECT_LE(std::abs(drifting.width() - drifting.height()), 1);
}

TEST_F(StarsFrame, ANeighboursRimNeverDarkensACentre) {
    ScreenPoint centre = projectToScreen(0, 0, 0, width, height);
    Image alone = draw({{0.0f, 0.0f, 0.0f}}, quietTime);
    int core = alone.brightness(int(centre.x), int(centre.y));
    // Two pixels aside at 480x270, well inside the point's rim; drawn after it,
    // at the same depth and a little nearer, as points of a cloud lie.
    ScreenPoint aside = projectToScreen(0.006, 0, 0, width, height);
    ASSERT_GE(aside.x - centre.x, 1.5);
    for (float z : {0.0f, -0.002f}) {
        Image both = draw({{0.0f, 0.0f, 0.0f}, {0.006f, 0.0f, z}}, quietTime);
        EXPECT_GE(both.brightness(int(centre.x), int(centre.y)), core) << "neighbour at z " << z;
    }
}

TEST_F(StarsFrame, EveryCueFlashesAndTheDropsHardest) {
    const Star star = {0.0f, 0.0f, 0.0f};
    double plain = double(litBox(draw({star}, 6.018 + 0.05)).sum) / double(litBox(draw({star}, 6.018 - 0.2)).sum);
    double drop = double(litBox(draw({star}, 18.0 + 0.05)).sum) / double(litBox(draw({star}, 18.0 - 0.6)).sum);
    EXPECT_GE(plain, 1.3);
    EXPECT_GT(drop, plain);
    // Within about a beat it has gone.
    double later = double(litBox(draw({star}, 6.018 + 0.5)).sum) / double(litBox(draw({star}, 6.018 - 0.2)).sum);
    EXPECT_LT(later, 1.1);
}
