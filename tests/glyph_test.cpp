#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "demo/SceneCommon.h"
#include "engine/Alphabet.h"
#include "engine/Character.h"
#include "engine/PString.h"
#include "tests/support/GLContext.h"
#include "tests/support/TextGlyphs.h"

using vq_engine::Character;
using vq_engine::Particle;
using vq_engine::PString;

namespace {

const GlyphPlace place = {-0.3f, -0.25f, 0.0f, 0.009f};

std::unique_ptr<Character> glyph(std::vector<int> cells, GlyphPlace at = place) {
    return std::unique_ptr<Character>(new Character(at.x, at.y, at.z, at.size, cells.data(), int(cells.size())));
}

// Points that one draw call of the string sends down the pipeline.
GLuint pointsDrawn(PString& text) {
    static vq_engine::ShaderProgram* program = createStarsProgram();
    program->use();
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    text.draw();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint points = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &points);
    glDeleteQueries(1, &query);
    return points;
}

} // namespace

TEST(CharacterCells, EveryCellIsAHundredPointBoxAtItsColumnAndRow) {
    std::vector<int> all;
    for (int i = 0; i < 35; i++)
        all.push_back(i);
    auto full = glyph(all);
    ASSERT_EQ(full->particles.size(), 35u);
    // cloudCells checks each cloud's points lie in its cell's box.
    EXPECT_EQ(cloudCells(*full, place), all);
    for (int i = 0; i < 35; i++) {
        const Particle* cloud = full->particles[i];
        EXPECT_FLOAT_EQ(cloud->emitX, place.x + (i % 5 + 1) * place.size) << i;
        EXPECT_FLOAT_EQ(cloud->emitY, place.y + (i / 5 + 1) * place.size) << i;
        EXPECT_EQ(readBuffer(cloud->vbo[0], cloud->positions.size()), cloud->positions);
    }
}

TEST(CharacterCells, RowOneColumnOneSpansItsOwnBox) {
    auto single = glyph({6});
    ASSERT_EQ(single->particles.size(), 1u);
    const Particle* cloud = single->particles[0];
    EXPECT_NEAR(cloud->emitX, -0.282, 1e-6);
    EXPECT_NEAR(cloud->emitY, -0.232, 1e-6);
    EXPECT_NEAR(cloud->emitZ, 0.009, 1e-6);
    for (int i = 0; i < cloud->count; i++) {
        EXPECT_TRUE(within(cloud->positions[3 * i], -0.291, -0.282));
        EXPECT_TRUE(within(cloud->positions[3 * i + 1], -0.241, -0.232));
        EXPECT_TRUE(within(cloud->positions[3 * i + 2], 0.0, 0.009));
    }
}

TEST(CharacterCells, CornersGiveFourCloudsInCellOrder) {
    EXPECT_EQ(cloudCells(*glyph({0, 4, 30, 34}), place), (std::vector<int>{0, 4, 30, 34}));
}

TEST(CharacterCells, CloudsFollowCellOrderNotListOrder) {
    EXPECT_EQ(cloudCells(*glyph({34, 0}), place), (std::vector<int>{0, 34}));
    EXPECT_EQ(cloudCells(*glyph({20, 3, 11}), place), (std::vector<int>{3, 11, 20}));
}

TEST(CharacterCells, ACellListedTwiceGetsTwoClouds) {
    auto dense = glyph({5, 5});
    ASSERT_EQ(dense->particles.size(), 2u);
    EXPECT_EQ(cloudCells(*dense, place), (std::vector<int>{5, 5}));
    EXPECT_NE(dense->particles[0]->positions, dense->particles[1]->positions);
    EXPECT_EQ(cloudCells(*glyph({7, 7, 7, 2}), place), (std::vector<int>{2, 7, 7, 7}));
}

TEST(CharacterCells, CellsOutsideTheGridAreIgnored) {
    EXPECT_EQ(cloudCells(*glyph({-1, 35, 40, 12, 1000}), place), (std::vector<int>{12}));

    auto empty = glyph({-1, 35, 40});
    EXPECT_TRUE(empty->particles.empty());
    empty->noreborn();
    empty->unify(1.0, 1.0, 1.0);
    empty->update(100.0);
    PString text;
    text.addChar(empty.get());
    EXPECT_EQ(pointsDrawn(text), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(CharacterCells, NoCellsMakeAnEmptyGlyph) {
    EXPECT_TRUE(glyph({})->particles.empty());
    Character missing(0.0f, 0.0f, 0.0f, 1.0f, nullptr, 3);
    EXPECT_TRUE(missing.particles.empty());
}

TEST(CharacterCells, CloudsDrawFromTheSharedStreamOneCellAfterAnother) {
    srand48(99);
    auto built = glyph({12, 3});
    double next = drand48();
    srand48(99);
    // Cell 3 is row 0, column 3; cell 12 is row 2, column 2.
    float x3 = place.x + 3 * place.size, y3 = place.y;
    float x12 = place.x + 2 * place.size, y12 = place.y + 2 * place.size;
    Particle cell3(100, x3, x3 + place.size, y3, y3 + place.size, 0.0f, place.size);
    Particle cell12(100, x12, x12 + place.size, y12, y12 + place.size, 0.0f, place.size);
    EXPECT_EQ(built->particles[0]->positions, cell3.positions);
    EXPECT_EQ(built->particles[0]->deathTimes, cell3.deathTimes);
    EXPECT_EQ(built->particles[1]->positions, cell12.positions);
    EXPECT_EQ(built->particles[1]->velocities, cell12.velocities);
    EXPECT_EQ(drand48(), next);
}

TEST(CharacterMotion, OperationsReachEveryCloud) {
    auto g = glyph({0, 17, 34});
    g->noreborn();
    for (const Particle* cloud : g->particles)
        EXPECT_FALSE(cloud->reborn);
    g->unify(0.02, 0.0, -0.01);
    std::vector<std::vector<float>> before;
    for (const Particle* cloud : g->particles) {
        before.push_back(cloud->positions);
        for (int i = 0; i < cloud->count; i++) {
            EXPECT_TRUE(cloud->velocities[3 * i] >= 0.0f && cloud->velocities[3 * i] < 0.02f);
            EXPECT_EQ(cloud->velocities[3 * i + 1], 0.0f);
            EXPECT_TRUE(cloud->velocities[3 * i + 2] <= 0.0f && cloud->velocities[3 * i + 2] > -0.01f);
        }
    }
    g->update(50.0);
    for (size_t c = 0; c < g->particles.size(); c++) {
        const Particle* cloud = g->particles[c];
        for (size_t k = 0; k < cloud->positions.size(); k++)
            EXPECT_EQ(cloud->positions[k], before[c][k] + cloud->velocities[k]);
        EXPECT_EQ(readBuffer(cloud->vbo[0], cloud->positions.size()), cloud->positions);
    }
}

TEST(CharacterLifetime, DestroyingAGlyphReleasesItsClouds) {
    auto g = glyph({1, 2});
    GLuint vao = g->particles[0]->vao;
    GLuint buffer = g->particles[1]->vbo[3];
    ASSERT_TRUE(glIsVertexArray(vao));
    ASSERT_TRUE(glIsBuffer(buffer));
    g.reset();
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(buffer));
}

TEST(PStringList, KeepsGlyphsInInsertionOrderAndDrawsThemAll) {
    auto a = glyph({0, 1, 2});
    auto b = glyph({10});
    PString text;
    EXPECT_TRUE(text.chars.empty());
    EXPECT_EQ(pointsDrawn(text), 0u);
    text.addChar(b.get());
    text.addChar(a.get());
    ASSERT_EQ(text.chars.size(), 2u);
    EXPECT_EQ(text.chars[0], b.get());
    EXPECT_EQ(text.chars[1], a.get());
    EXPECT_EQ(pointsDrawn(text), 400u);
}

TEST(PStringList, AGlyphAddedTwiceIsDrawnAndMovedTwice) {
    auto g = glyph({8});
    PString text;
    text.addChar(g.get());
    text.addChar(g.get());
    EXPECT_EQ(pointsDrawn(text), 200u);

    text.noreborn();
    text.unify(0.01, 0.01, 0.0);
    Particle* cloud = g->particles[0];
    std::vector<float> before = cloud->positions;
    text.update(100.0);
    for (size_t k = 0; k < before.size(); k++)
        EXPECT_EQ(cloud->positions[k], (before[k] + cloud->velocities[k]) + cloud->velocities[k]);
}

TEST(PStringList, UnifyDrawsGlyphByGlyphCloudByCloud) {
    auto first = glyph({0, 1});
    auto second = glyph({2});
    PString text;
    text.addChar(first.get());
    text.addChar(second.get());
    srand48(5);
    text.unify(1.0, 2.0, 3.0);
    srand48(5);
    for (const Character* g : {first.get(), second.get()})
        for (const Particle* cloud : g->particles)
            for (int i = 0; i < cloud->count; i++) {
                EXPECT_EQ(cloud->velocities[3 * i], float(drand48() * 1.0));
                EXPECT_EQ(cloud->velocities[3 * i + 1], float(drand48() * 2.0));
                EXPECT_EQ(cloud->velocities[3 * i + 2], float(drand48() * 3.0));
            }
}

TEST(PStringList, DestroyingTheStringLeavesItsGlyphsAlive) {
    auto g = glyph({3, 4});
    PString* text = new PString();
    text->addChar(g.get());
    delete text;
    ASSERT_EQ(g->particles.size(), 2u);
    EXPECT_TRUE(glIsVertexArray(g->particles[0]->vao));
    PString again;
    again.addChar(g.get());
    EXPECT_EQ(pointsDrawn(again), 200u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(PStringList, ANullEntryIsSkipped) {
    auto g = glyph({3});
    PString text;
    text.addChar(nullptr);
    text.addChar(g.get());
    EXPECT_EQ(text.chars.size(), 2u);
    text.noreborn();
    text.unify(0.0, 0.0, 0.0);
    text.update(1.0);
    EXPECT_EQ(pointsDrawn(text), 100u);
    EXPECT_FALSE(g->particles[0]->reborn);
}

TEST(Alphabet, HasCapitalsDigitsAndMarksInsideTheGrid) {
    const std::string known = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,:!?'-+/";
    for (char c : known) {
        const std::vector<int>* cells = vq_engine::glyphCells(c);
        ASSERT_NE(cells, nullptr) << c;
        EXPECT_FALSE(cells->empty()) << c;
        EXPECT_TRUE(std::is_sorted(cells->begin(), cells->end())) << c;
        EXPECT_GE(cells->front(), 0) << c;
        EXPECT_LT(cells->back(), Character::cellCount) << c;
    }
    EXPECT_EQ(*vq_engine::glyphCells('i'), *vq_engine::glyphCells('I'));
    ASSERT_NE(vq_engine::glyphCells(' '), nullptr);
    EXPECT_TRUE(vq_engine::glyphCells(' ')->empty());
    EXPECT_EQ(vq_engine::glyphCells('~'), nullptr);
    EXPECT_EQ(*vq_engine::glyphCells('L'), (std::vector<int>{0, 5, 10, 15, 20, 25, 30, 31, 32, 33, 34}));
}

TEST(Alphabet, AddTextPlacesGlyphsSixCellsApartAndLeavesGapsForSpacesAndUnknowns) {
    PString line;
    testing::internal::CaptureStderr();
    vq_engine::addText(&line, "I ~t", -0.2f, 0.1f, 0.0f, 0.01f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "vq_engine: no glyph for '~' in \"I ~t\": left as a gap\n");
    ASSERT_EQ(line.chars.size(), 2u);
    // T's first lit cell is its top-left one, so its first cloud starts where its glyph does.
    Particle* t = line.chars[1]->particles[0];
    for (int i = 0; i < t->count; i++) {
        EXPECT_GE(t->positions[3 * i], -0.2f + 18 * 0.01f - 1e-6f);
        EXPECT_LE(t->positions[3 * i], -0.2f + 19 * 0.01f + 1e-6f);
        EXPECT_GE(t->positions[3 * i + 1], 0.1f - 1e-6f);
        EXPECT_LE(t->positions[3 * i + 1], 0.11f + 1e-6f);
    }
    EXPECT_EQ(line.chars[1]->particles.size(), vq_engine::glyphCells('T')->size());
    EXPECT_FLOAT_EQ(vq_engine::textWidth(4, 0.01f), 0.23f);
    for (Character* glyph : line.chars)
        delete glyph;
}
