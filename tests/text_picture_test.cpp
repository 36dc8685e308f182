#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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
#include "tests/support/ShowCamera.h"
#include "tests/support/TextGlyphs.h"

// Frames of the text scenes drawn offscreen in a 16:9 frame, so with the
// show's aspect of 1 the picture is stretched sideways as on a 1920 x 1080
// screen. Where the text must be, and where it cannot be, is worked out here
// from the glyph pictures, their places and the stated transforms.

namespace {

const int frameWidth = 960;
const int frameHeight = 540;

struct Vec3 {
    double x, y, z;
};

using Move = std::function<Vec3(Vec3)>;

Vec3 unmoved(Vec3 p) {
    return p;
}

Vec3 rotateX(Vec3 p, double a) {
    return {p.x, p.y * std::cos(a) - p.z * std::sin(a), p.y * std::sin(a) + p.z * std::cos(a)};
}

Vec3 rotateY(Vec3 p, double a) {
    return {p.x * std::cos(a) + p.z * std::sin(a), p.y, -p.x * std::sin(a) + p.z * std::cos(a)};
}

// The screen rectangle holding a moved cell box (the projection of a box lies
// within the hull of its projected corners), grown by margin pixels.
PixelRect cellRect(const PlacedGlyph& glyph, int cell, const Move& move, int margin) {
    const GlyphPlace& at = glyph.place;
    double x0 = at.x + (cell % 5) * at.size, y0 = at.y + (cell / 5) * at.size;
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (double x : {x0, x0 + at.size})
        for (double y : {y0, y0 + at.size})
            for (double z : {double(at.z), double(at.z) + at.size}) {
                Vec3 p = move({x, y, z});
                ScreenPoint s = projectToScreen(p.x, p.y, p.z, frameWidth, frameHeight);
                left = std::min(left, s.x);
                right = std::max(right, s.x);
                top = std::min(top, s.y);
                bottom = std::max(bottom, s.y);
            }
    return {int(std::floor(left)) - margin, int(std::floor(top)) - margin, int(std::ceil(right)) + margin,
            int(std::ceil(bottom)) + margin};
}

struct Text {
    std::vector<PlacedGlyph> glyphs;
    Move move;
};

bool onScreen(const PixelRect& r) {
    return r.x0 >= 0 && r.y0 >= 0 && r.x1 <= frameWidth && r.y1 <= frameHeight;
}

std::string saveForInspection(const Image& picture, const std::string& name) {
    std::string path = std::string(VQ_BUILD_DIR) + "/text_picture_" + name + ".ppm";
    writePPM(picture, path);
    return path;
}

// Every lit cell that lies on screen shows points within its rectangle, and
// no pixel is lit farther than margin from a lit cell. Returns the number of
// lit cells checked on screen.
int expectTextWhereItMustBe(const Image& picture, const std::vector<Text>& texts, int margin,
                            const std::string& name) {
    std::vector<char> allowed(size_t(frameWidth) * frameHeight, 0);
    int cellsOnScreen = 0;
    for (const Text& text : texts)
        for (const PlacedGlyph& glyph : text.glyphs)
            for (int cell : pictureCells(glyph.picture)) {
                PixelRect tight = cellRect(glyph, cell, text.move, 0);
                if (onScreen(tight)) {
                    cellsOnScreen++;
                    int area = (tight.x1 - tight.x0) * (tight.y1 - tight.y0);
                    int needed = std::max(1, std::min(area / 4, 40));
                    EXPECT_GE(picture.litPixels(tight.x0, tight.y0, tight.x1, tight.y1), needed)
                        << name << ": cell " << cell << " at (" << tight.x0 << ", " << tight.y0 << ") is dark; see "
                        << saveForInspection(picture, name);
                }
                PixelRect grown = cellRect(glyph, cell, text.move, margin);
                for (int y = std::max(0, grown.y0); y < std::min(frameHeight, grown.y1); y++)
                    for (int x = std::max(0, grown.x0); x < std::min(frameWidth, grown.x1); x++)
                        allowed[size_t(y) * frameWidth + x] = 1;
            }
    int stray = 0;
    for (int y = 0; y < frameHeight; y++)
        for (int x = 0; x < frameWidth; x++)
            if (!allowed[size_t(y) * frameWidth + x] && picture.litPixels(x, y, x + 1, y + 1) > 0)
                stray++;
    EXPECT_EQ(stray, 0) << name << ": pixels lit where no text can be; see " << saveForInspection(picture, name);
    return cellsOnScreen;
}

// A program that draws every point as one white pixel, so that the picture
// shows exactly where the points are.
vq_engine::ShaderProgram* pixelProgram() {
    static vq_engine::ShaderProgram* program = nullptr;
    if (program)
        return program;
    TempDir dir;
    std::ofstream(dir.path + "/pixel.vs") << "#version 410 core\n"
                                             "layout(location = 0) in vec3 position;\n"
                                             "uniform mat4 pmatrix;\n"
                                             "void main() {\n"
                                             "    gl_Position = pmatrix * vec4(position, 1.0);\n"
                                             "    gl_PointSize = 1.0;\n"
                                             "}\n";
    std::ofstream(dir.path + "/pixel.fs") << "#version 410 core\n"
                                             "out vec4 colour;\n"
                                             "void main() { colour = vec4(1.0); }\n";
    program = new vq_engine::ShaderProgram();
    program->addShader((dir.path + "/pixel.vs").c_str(), GL_VERTEX_SHADER);
    program->addShader((dir.path + "/pixel.fs").c_str(), GL_FRAGMENT_SHADER);
    program->compile();
    return program;
}

class TextPicture : public ::testing::Test {
protected:
    // The show's GL state, set as the demo sets it.
    TextPicture() : demo(frameWidth, frameHeight) {}

    template <typename Scene>
    Scene* build(bool pixelPoints = true) {
        Scene* scene = new Scene(frameWidth, frameHeight);
        if (pixelPoints)
            scene->program = pixelProgram();
        return scene;
    }

    // One frame of the given scenes at t, in list order, over a cleared target.
    Image frame(std::vector<vq_engine::Scene*> scenes, double t) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (vq_engine::Scene* scene : scenes)
            scene->show(t);
        return target.read();
    }

    MyDemo demo;
    OffscreenTarget target{frameWidth, frameHeight};
};

// One step of a point's own drift, a thousandth of a unit at most, is under a pixel.
const int margin = 2;

} // namespace

TEST_F(TextPicture, BeginTurnsUpperLeft) {
    double t = 2.5;
    Image picture = frame({build<Begin>()}, t);
    Move turn = [t](Vec3 p) { return rotateY(p, (t - 1.983) / 4.0); };
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{beginLayout(), turn}}, margin, "begin"), 85);
}

TEST_F(TextPicture, FourteenAndThirtytwoAtSeven) {
    double t = 7.0, st = t - 4.012;
    Image picture = frame({build<Fourteen>(), build<Thirtytwo>()}, t);
    Move drift = [st](Vec3 p) { return rotateX({p.x - st / 5.0, p.y + st / 10.0, p.z}, st / 5.0); };
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{fourteenLayout(), drift}, {thirtytwoLayout(), unmoved}}, margin,
                                      "fourteen_thirtytwo"),
              21 + 29);
}

TEST_F(TextPicture, OneFiftyEightComesCloser) {
    double t = 9.0;
    Image picture = frame({build<N158>()}, t);
    Move approach = [t](Vec3 p) { return Vec3{p.x, p.y, p.z - (t - 8.474) * 1.4}; };
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{n158Layout(), approach}}, margin, "n158"), 44);
}

TEST_F(TextPicture, TwoSeventyOneTumbles) {
    double t = 11.5;
    Image picture = frame({build<N271>()}, t);
    Move tumble = [t](Vec3 p) { return rotateX(p, (t - 10.525) / 2.0); };
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{n271Layout(), tumble}}, margin, "n271"), 35);
}

TEST_F(TextPicture, TenToTheSixthStands) {
    Image picture = frame({build<Million>()}, 12.7);
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{millionLayout(), unmoved}}, margin, "million"), 40);
}

TEST_F(TextPicture, TenToThePowerTwelveThousandFourHundredThirtyOne) {
    Image picture = frame({build<Tovelplex>()}, 16.0);
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{tovelplexLayout(), unmoved}}, margin, "tovelplex"), 86);
}

TEST_F(TextPicture, TheDigitRowInBothPasses) {
    RandomNums* row = build<RandomNums>();
    // The digits are random; which ones were drawn is read from the clouds.
    std::vector<PlacedGlyph> glyphs;
    for (int k = 0; k < 100; k++) {
        GlyphPlace place = rowPlace(k);
        int digit = digitOf(cloudCells(*row->text->chars[size_t(k)], place));
        ASSERT_GE(digit, 0) << "glyph " << k;
        glyphs.push_back({digitPictures()[size_t(digit)], place});
    }
    struct Moment {
        double t, dx;
        const char* name;
    };
    for (Moment m : {Moment{18.2, -0.6, "row_first_pass"}, Moment{29.2, -1.0, "row_second_pass"}}) {
        Image picture = frame({row}, m.t);
        Move scroll = [m](Vec3 p) { return Vec3{p.x + m.dx, p.y, p.z}; };
        // Four or five digits in view, each of 10 to 17 cells.
        EXPECT_GE(expectTextWhereItMustBe(picture, {{glyphs, scroll}}, margin, m.name), 40) << m.name;
    }
    // Just before the second pass the whole row has gone off to the left.
    Image gone = frame({row}, 28.99);
    EXPECT_EQ(gone.litPixels(0, 0, frameWidth, frameHeight), 0);
}

TEST_F(TextPicture, TheShowsOwnPointsStayNearTheText) {
    // With the stars shader the points are larger discs; they still light
    // every cell and stay close to the word.
    double t = 2.5;
    Image picture = frame({build<Begin>(false)}, t);
    Move turn = [t](Vec3 p) { return rotateY(p, (t - 1.983) / 4.0); };
    EXPECT_EQ(expectTextWhereItMustBe(picture, {{beginLayout(), turn}}, 16, "begin_stars"), 85);
}
