#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "demo/SceneCommon.h"
#include "engine/GLCheck.h"
#include "engine/Particle.h"
#include "tests/support/GLContext.h"

using vq_engine::Particle;

namespace {

// Cloud i's point, as three floats.
struct Position {
    float x, y, z;
};

Position at(const Particle& cloud, int i) {
    return {cloud.positions.at(3 * i), cloud.positions.at(3 * i + 1), cloud.positions.at(3 * i + 2)};
}

// A one-point cloud resting at the origin with a chosen velocity and death time.
Particle* restingPoint(float vx, float vy, float vz, float death = 100.0f) {
    Particle* cloud = new Particle(1, 0.0f, 0.0f, 0.0f);
    cloud->velocities = {vx, vy, vz};
    cloud->deathTimes = {death};
    return cloud;
}

void expectGpuMatchesCpu(const Particle& cloud) {
    EXPECT_EQ(readBuffer(cloud.vbo[0], cloud.positions.size()), cloud.positions);
    EXPECT_EQ(readBuffer(cloud.vbo[1], cloud.velocities.size()), cloud.velocities);
    EXPECT_EQ(readBuffer(cloud.vbo[2], cloud.birthTimes.size()), cloud.birthTimes);
    EXPECT_EQ(readBuffer(cloud.vbo[3], cloud.deathTimes.size()), cloud.deathTimes);
}

} // namespace

TEST(ParticleBox, DrawsSevenValuesPerPointInOrder) {
    srand48(1234);
    double u[7];
    for (double& value : u)
        value = drand48();
    srand48(1234);
    Particle cloud(1, 1.0f, 3.0f, -1.0f, 1.0f, 10.0f, 14.0f);

    EXPECT_EQ(cloud.positions[0], float(1.0 + u[0] * 2.0));
    EXPECT_EQ(cloud.positions[1], float(-1.0 + u[1] * 2.0));
    EXPECT_EQ(cloud.positions[2], float(10.0 + u[2] * 4.0));
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(cloud.velocities[k], float((u[3 + k] - 0.5) / 1000.0));
    EXPECT_EQ(cloud.birthTimes[0], 0.0f);
    EXPECT_EQ(cloud.deathTimes[0], float(u[6] * 12.0));
    // The next draw belongs to whoever comes next.
    srand48(1234);
    for (int i = 0; i < 7; i++)
        drand48();
    double next = drand48();
    srand48(1234);
    Particle again(1, 1.0f, 3.0f, -1.0f, 1.0f, 10.0f, 14.0f);
    EXPECT_EQ(drand48(), next);
}

TEST(ParticleBox, ScattersOverTheBoxWithTheFirstBoundIncluded) {
    // x runs downward here, as the background's z does: points lie in (x1, x0].
    Particle cloud(500, 5.0f, 4.0f, -1.0f, 1.0f, 22.0f, 20.0f);
    ASSERT_EQ(cloud.count, 500);
    ASSERT_EQ(cloud.positions.size(), 1500u);
    ASSERT_EQ(cloud.velocities.size(), 1500u);
    ASSERT_EQ(cloud.birthTimes.size(), 500u);
    ASSERT_EQ(cloud.deathTimes.size(), 500u);
    EXPECT_TRUE(cloud.reborn);
    EXPECT_TRUE(cloud.constraints.empty());
    EXPECT_EQ(cloud.emitX, 4.0f);
    EXPECT_EQ(cloud.emitY, 1.0f);
    EXPECT_EQ(cloud.emitZ, 20.0f);
    for (int i = 0; i < cloud.count; i++) {
        Position p = at(cloud, i);
        EXPECT_TRUE(p.x > 4.0f && p.x <= 5.0f) << p.x;
        EXPECT_TRUE(p.y >= -1.0f && p.y < 1.0f) << p.y;
        EXPECT_TRUE(p.z > 20.0f && p.z <= 22.0f) << p.z;
        for (int k = 0; k < 3; k++) {
            EXPECT_GE(cloud.velocities[3 * i + k], -0.0005f);
            EXPECT_LT(cloud.velocities[3 * i + k], 0.0005f);
        }
        EXPECT_EQ(cloud.birthTimes[i], 0.0f);
        EXPECT_GE(cloud.deathTimes[i], 0.0f);
        EXPECT_LT(cloud.deathTimes[i], 12.0f);
    }
    expectGpuMatchesCpu(cloud);
}

TEST(ParticleBox, ZeroExtentAndZeroCount) {
    Particle point(10, 1.5f, 1.5f, 2.0f, 2.0f, 3.0f, 3.0f);
    for (int i = 0; i < point.count; i++) {
        Position p = at(point, i);
        EXPECT_EQ(p.x, 1.5f);
        EXPECT_EQ(p.y, 2.0f);
        EXPECT_EQ(p.z, 3.0f);
    }
    EXPECT_EQ(point.emitX, 1.5f);

    glGetError();
    Particle empty(0, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_TRUE(empty.positions.empty());
    empty.update(50.0);
    empty.draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(ParticleBox, ConsecutiveCloudsGetDifferentPoints) {
    Particle first(5, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    Particle second(5, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_NE(first.positions, second.positions);
}

TEST(ParticleEmitter, StartsEveryPointAtTheEmissionPointWithAWideSpread) {
    srand48(99);
    double u[4];
    for (double& value : u)
        value = drand48();
    srand48(99);
    Particle cloud(300, 0.25f, -0.5f, 2.0f);
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(cloud.velocities[k], float((u[k] - 0.5) / 100.0));
    EXPECT_EQ(cloud.deathTimes[0], float(u[3] * 12.0));
    bool wide = false;
    for (int i = 0; i < cloud.count; i++) {
        Position p = at(cloud, i);
        EXPECT_EQ(p.x, 0.25f);
        EXPECT_EQ(p.y, -0.5f);
        EXPECT_EQ(p.z, 2.0f);
        for (int k = 0; k < 3; k++) {
            float v = cloud.velocities[3 * i + k];
            EXPECT_GE(v, -0.005f);
            EXPECT_LT(v, 0.005f);
            wide = wide || std::fabs(v) > 0.0005f;
        }
    }
    EXPECT_TRUE(wide);
    EXPECT_EQ(cloud.emitX, 0.25f);
    expectGpuMatchesCpu(cloud);
}

TEST(ParticleUpdate, StepsOncePerCallWhateverTheTime) {
    Particle* cloud = restingPoint(0.25f, -0.5f, 0.125f);
    cloud->update(1.0);
    cloud->update(1.0);
    Position p = at(*cloud, 0);
    EXPECT_EQ(p.x, 0.5f);
    EXPECT_EQ(p.y, -1.0f);
    EXPECT_EQ(p.z, 0.25f);
    expectGpuMatchesCpu(*cloud);
    delete cloud;
}

TEST(ParticleUpdate, ExpiryIsStrictAndARebornPointDoesNotStep) {
    Particle* cloud = restingPoint(0.25f, 0.0f, 0.0f, 5.0f);
    cloud->emitX = 7.0f;
    cloud->emitY = 8.0f;
    cloud->emitZ = 9.0f;

    cloud->update(5.0); // equal to the death time: still alive, steps
    EXPECT_EQ(at(*cloud, 0).x, 0.25f);

    cloud->update(5.5);
    Position p = at(*cloud, 0);
    EXPECT_EQ(p.x, 7.0f);
    EXPECT_EQ(p.y, 8.0f);
    EXPECT_EQ(p.z, 9.0f);
    EXPECT_EQ(cloud->birthTimes[0], 5.5f);
    EXPECT_GE(cloud->deathTimes[0], 5.5f);
    EXPECT_LT(cloud->deathTimes[0], 17.5f);
    for (int k = 0; k < 3; k++) {
        EXPECT_GE(cloud->velocities[k], -0.0005f);
        EXPECT_LT(cloud->velocities[k], 0.0005f);
    }
    expectGpuMatchesCpu(*cloud);
    delete cloud;
}

TEST(ParticleUpdate, MovingTheEmissionPointReEmitsThere) {
    Particle* cloud = restingPoint(0.0f, 0.0f, 0.0f, 1.0f);
    cloud->update(2.0, -1.0, 2.5, 4.0);
    EXPECT_EQ(cloud->emitX, -1.0f);
    Position p = at(*cloud, 0);
    EXPECT_EQ(p.x, -1.0f);
    EXPECT_EQ(p.y, 2.5f);
    EXPECT_EQ(p.z, 4.0f);
    delete cloud;
}

TEST(ParticleUpdate, NotANumberTimeNeverReEmits) {
    Particle* cloud = restingPoint(0.5f, 0.0f, 0.0f, 0.0f);
    cloud->update(std::nan(""));
    EXPECT_EQ(at(*cloud, 0).x, 0.5f);
    delete cloud;
}

TEST(ParticleUpdate, AfterNorebornExpiredPointsKeepMoving) {
    Particle* cloud = restingPoint(0.25f, 0.0f, 0.0f, 1.0f);
    cloud->emitX = 50.0f;
    cloud->noreborn();
    EXPECT_FALSE(cloud->reborn);
    for (int frame = 0; frame < 4; frame++)
        cloud->update(10.0 + frame);
    EXPECT_EQ(at(*cloud, 0).x, 1.0f);
    EXPECT_EQ(cloud->deathTimes[0], 1.0f);
    EXPECT_EQ(cloud->birthTimes[0], 0.0f);
    delete cloud;
}

TEST(ParticleUnify, GivesEveryPointADriftBetweenZeroAndTheScale) {
    Particle cloud(200, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    std::vector<float> before = readBuffer(cloud.vbo[1], cloud.velocities.size());
    cloud.unifydir(0.02, -0.1, 0.0);
    for (int i = 0; i < cloud.count; i++) {
        EXPECT_GE(cloud.velocities[3 * i], 0.0f);
        EXPECT_LT(cloud.velocities[3 * i], 0.02f);
        EXPECT_LE(cloud.velocities[3 * i + 1], 0.0f);
        EXPECT_GT(cloud.velocities[3 * i + 1], -0.1f);
        EXPECT_EQ(cloud.velocities[3 * i + 2], 0.0f);
    }
    // Nothing is uploaded until the next update.
    EXPECT_EQ(readBuffer(cloud.vbo[1], cloud.velocities.size()), before);
    cloud.update(0.0);
    expectGpuMatchesCpu(cloud);

    cloud.unifydir(0.0, 0.0, 0.0);
    std::vector<float> frozen = cloud.positions;
    cloud.update(0.0);
    EXPECT_EQ(cloud.positions, frozen);
}

TEST(ParticleUpload, SendsArraysTheCallerWroteAndRefusesWrongSizes) {
    Particle cloud(3, 0.0f, 0.0f, 0.0f);
    cloud.noreborn();
    cloud.positions = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    cloud.velocities.assign(9, 0.0f);
    cloud.upload();
    expectGpuMatchesCpu(cloud);

    std::vector<float> sent = cloud.positions;
    cloud.positions.push_back(10.0f); // a tenth float: no longer three points
    testing::internal::CaptureStderr();
    cloud.upload();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Particle::upload: positions holds 10 floats, but 3 points need 9; nothing sent\n");
    EXPECT_EQ(readBuffer(cloud.vbo[0], 9), sent);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(ParticleUpload, BindingAgainFreesTheOldObjectsAndTakesTheNewCount) {
    Particle cloud(4, 0.0f, 0.0f, 0.0f);
    GLuint oldVao = cloud.vao;
    GLuint oldBuffer = cloud.vbo[2];
    cloud.count = 2;
    cloud.createOpenGLBinding();
    EXPECT_FALSE(glIsVertexArray(oldVao) && oldVao != cloud.vao);
    EXPECT_FALSE(glIsBuffer(oldBuffer) && oldBuffer != cloud.vbo[2]);
    EXPECT_EQ(cloud.positions.size(), 6u);
    EXPECT_EQ(cloud.deathTimes.size(), 2u);
    cloud.update(0.0);
    expectGpuMatchesCpu(cloud);

    cloud.count = 3; // more points than the arrays held: the new one is zeros
    cloud.createOpenGLBinding();
    EXPECT_EQ(cloud.velocities.size(), 9u);
    EXPECT_EQ(at(cloud, 2).x, 0.0f);
    expectGpuMatchesCpu(cloud);
}

class Bounce : public ::testing::Test {
protected:
    // A unit triangle in the plane z = 1.
    void SetUp() override { addTriangle(*point, 1.0f); }
    void TearDown() override { delete point; }
    static void addTriangle(Particle& cloud, float z) {
        cloud.addConstrait(-1.0f, -1.0f, z, 1.0f, -1.0f, z, 0.0f, 1.0f, z);
    }
    Particle* point = restingPoint(0.0f, 0.0f, 0.0f);
    void placeAt(float x, float y, float z, float vz) {
        point->positions = {x, y, z};
        point->velocities = {0.0f, 0.0f, vz};
    }
};

TEST_F(Bounce, AStepThroughTheTriangleReversesAndStepsBack) {
    placeAt(0.0f, 0.0f, 0.75f, 0.5f);
    EXPECT_TRUE(point->collision(0, 0));
    point->update(0.0);
    EXPECT_EQ(point->velocities[2], -0.5f);
    EXPECT_EQ(at(*point, 0).z, 0.25f);
}

TEST_F(Bounce, StepsBesideOrShortOfTheTriangleAreLeftAlone) {
    placeAt(3.0f, 0.0f, 0.75f, 0.5f); // beside
    EXPECT_FALSE(point->collision(0, 0));
    placeAt(0.0f, 0.0f, 0.25f, 0.5f); // stops short of the plane
    EXPECT_FALSE(point->collision(0, 0));
    point->update(0.0);
    EXPECT_EQ(point->velocities[2], 0.5f);
    EXPECT_EQ(at(*point, 0).z, 0.75f);
}

TEST_F(Bounce, ASecondTriangleTestsTheReversedStep) {
    // Both triangles lie across the forward step; the second sees the backward
    // step, which crosses nothing, so the point bounces once.
    addTriangle(*point, 1.1f);
    placeAt(0.0f, 0.0f, 0.75f, 0.5f);
    point->update(0.0);
    EXPECT_EQ(point->velocities[2], -0.5f);

    // A triangle behind the point that the backward step crosses cancels the bounce.
    Particle* pair = restingPoint(0.0f, 0.0f, 0.5f);
    addTriangle(*pair, 1.0f);
    addTriangle(*pair, 0.5f);
    pair->positions = {0.0f, 0.0f, 0.75f};
    pair->update(0.0);
    EXPECT_EQ(pair->velocities[2], 0.5f);
    EXPECT_EQ(at(*pair, 0).z, 1.25f);
    delete pair;
}

TEST_F(Bounce, IndicesOutsideTheListsAreOutOfRange) {
    EXPECT_THROW(point->collision(0, 1), std::out_of_range);
    EXPECT_THROW(point->collision(0, -1), std::out_of_range);
    EXPECT_THROW(point->collision(1, 0), std::out_of_range);
}

TEST(ParticleVolume, IsFiveThirdsOfTheTripleProduct) {
    Particle* cloud = restingPoint(0.0f, 0.0f, 0.0f);
    Point3D a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), d(0, 0, 1);
    EXPECT_DOUBLE_EQ(cloud->volume(a, b, c, d), 5.0 / 3.0);
    EXPECT_DOUBLE_EQ(cloud->volume(a, c, b, d), -5.0 / 3.0);
    delete cloud;
}

TEST(Point3DMath, DifferenceDotAndCross) {
    Point3D p = Point3D(3, 5, 7) - Point3D(1, 1, 1);
    EXPECT_EQ(p.x, 2.0);
    EXPECT_EQ(p.y, 4.0);
    EXPECT_EQ(p.z, 6.0);
    EXPECT_EQ(Point3D::dot(Point3D(1, 2, 3), Point3D(4, 5, 6)), 32.0);
    Point3D z = Point3D::cross(Point3D(1, 0, 0), Point3D(0, 1, 0));
    EXPECT_EQ(z.x, 0.0);
    EXPECT_EQ(z.y, 0.0);
    EXPECT_EQ(z.z, 1.0);
    Point3D origin;
    EXPECT_EQ(origin.x + origin.y + origin.z, 0.0);
}

TEST(GLCheck, NamesTheCallThePlaceAndTheError) {
    glGetError();
    EXPECT_TRUE(vq_engine::glCheck("glFlush()", "quiet.cpp", 1));
    glBindBuffer(GL_ARRAY_BUFFER, 987654); // never generated: invalid in a core context
    testing::internal::CaptureStderr();
    EXPECT_FALSE(vq_engine::glCheck("glBindBuffer(GL_ARRAY_BUFFER, 987654)", "Particle.cpp", 42));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Particle.cpp:42: glBindBuffer(GL_ARRAY_BUFFER, 987654) failed: GL_INVALID_OPERATION (0x0502)\n");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A saved state put back rewinds the cloud: the arrays, the emission point,
// the reborn flag and the GPU buffers are as they were, and from there the
// cloud moves and re-emits exactly as it did the first time.
TEST(ParticleState, RestoringASavedStateRewindsTheCloud) {
    srand48(99);
    Particle cloud(50, -1.0f, 1.0f, -1.0f, 1.0f, 0.0f, 1.0f);
    Particle::State saved = cloud.save();
    unsigned short random[3] = {7, 8, 9};
    unsigned short* now = seed48(random);
    unsigned short streamAtSave[3] = {now[0], now[1], now[2]};
    seed48(streamAtSave);
    EXPECT_TRUE(cloud.holds(saved));

    for (int frame = 1; frame <= 20; frame++)
        cloud.update(frame * 0.8, 0.5, 0.5, 0.5);
    cloud.noreborn();
    Particle::State later = cloud.save();
    EXPECT_FALSE(cloud.holds(saved));

    cloud.restore(saved);
    EXPECT_TRUE(cloud.holds(saved));
    EXPECT_TRUE(cloud.reborn);
    EXPECT_EQ(cloud.emitX, saved.emit[0]);
    expectGpuMatchesCpu(cloud);

    seed48(streamAtSave);
    for (int frame = 1; frame <= 20; frame++)
        cloud.update(frame * 0.8, 0.5, 0.5, 0.5);
    cloud.noreborn();
    EXPECT_TRUE(cloud.holds(later));
    expectGpuMatchesCpu(cloud);
}

TEST(ParticleState, HoldsComparesEveryPart) {
    Particle cloud(3, 0.0f, 0.0f, 0.0f);
    Particle::State saved = cloud.save();
    cloud.birthTimes[2] = 5.0f;
    EXPECT_FALSE(cloud.holds(saved));
    cloud.restore(saved);
    cloud.emitZ = 1.0f;
    EXPECT_FALSE(cloud.holds(saved));
    cloud.restore(saved);
    cloud.noreborn();
    EXPECT_FALSE(cloud.holds(saved));
    // A NaN position still matches its own copy.
    cloud.restore(saved);
    cloud.positions[0] = std::nanf("");
    EXPECT_TRUE(cloud.holds(cloud.save()));
}

// An engine call that fails is named with its call, its file and its line,
// and the line is the one that holds the call.
TEST(GLCheck, AFailingEngineCallIsNamedWhereItIs) {
#ifdef VQ_GL_CHECKS
    Particle* cloud = new Particle(4, 0.0f, 0.0f, 0.0f);
    glDeleteVertexArrays(1, &cloud->vao); // the name is gone: binding it is invalid
    glGetError();
    testing::internal::CaptureStderr();
    cloud->draw();
    std::string report = testing::internal::GetCapturedStderr();
    // The file as the compiler was given it (absolute, or relative to the
    // build), then the line and the call.
    const std::string file = "engine/Particle.cpp:";
    size_t at = report.find(file);
    ASSERT_NE(at, std::string::npos) << report;
    EXPECT_EQ(report.rfind('\n', at), std::string::npos) << report;
    size_t digits = 0;
    int lineNumber = std::stoi(report.substr(at + file.size()), &digits);
    size_t rest = at + file.size() + digits;
    EXPECT_EQ(report.substr(rest, report.find('\n', rest) - rest),
              ": glBindVertexArray(vao) failed: GL_INVALID_OPERATION (0x0502)");
    std::ifstream source(std::string(VQ_SOURCE_DIR) + "/engine/Particle.cpp");
    std::string line;
    for (int n = lineNumber; n > 0 && std::getline(source, line); n--) {
    }
    EXPECT_NE(line.find("VQ_GL(glBindVertexArray(vao))"), std::string::npos) << "line " << lineNumber << ": " << line;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    cloud->vao = 0;
    delete cloud;
#else
    GTEST_SKIP() << "built without VQ_GL_CHECKS: the engine's GL calls are not checked";
#endif
}

// How Demo::step moves a show on where GL cannot be told to skip draws: the
// cloud sends no points at all, and draws again once the flag is down.
TEST(ParticleDraw, SendsNoPointsWhileDrawsAreSkipped) {
    vq_engine::ShaderProgram* program = createStarsProgram();
    program->use();
    Particle cloud(50, 0.0f, 0.0f, 0.0f);
    GLuint query = 0;
    glGenQueries(1, &query);
    auto pointsSent = [&](bool skip) {
        Particle::skipDraws = skip;
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        cloud.draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        Particle::skipDraws = false;
        GLuint points = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &points);
        return points;
    };
    EXPECT_EQ(pointsSent(true), 0u);
    EXPECT_EQ(pointsSent(false), 50u);
    glDeleteQueries(1, &query);
    starsPrograms().clear();
    delete program;
}
