// The show's picture at key moments, rendered by velquor-capture at 480x270
// and 30 frames a second, against the reference pictures in tests/reference/.
// After an intended change to the look, render the references (and the
// scene pictures in demo/pictures/) again and review them before committing:
//   cmake --build build --target update_references
// which runs, from the build directory:
//   ./capture_reference_test --update-references
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/CaptureRun.h"
#include "tests/support/GLDriver.h"
#include "tests/support/PictureCompare.h"
#include "tests/support/Process.h"
#include "tests/support/ReferenceMoments.h"
#include "tests/support/ShowCamera.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/common/PngFile.h"

using tools::RgbImage;

namespace {

const int frameWidth = referenceWidth;
const int frameHeight = referenceHeight;
const std::string framesPerSecond = std::to_string(referenceFps);
// Long enough for the last moment; the soundtrack's length does not matter.
const char* const showSeconds = "30";

std::string renderedPath(const std::string& directory, const Moment& moment) {
    return directory + "/" + capture::atFrameName(moment.seconds);
}

// Renders every moment in one run of the capture on the driver; the run's
// output on failure.
std::string renderMoments(const std::string& directory, const GLDriver& driver = defaultDriver) {
    std::string times;
    for (const Moment& moment : moments)
        times += (times.empty() ? "" : ",") + std::to_string(moment.seconds);
    CaptureSettings settings;
    settings.environment = driver.environment;
    CaptureRun run = runCapture({"--size", std::to_string(frameWidth) + "x" + std::to_string(frameHeight), "--fps",
                                 framesPerSecond, "--duration", showSeconds, "--at", times, "--frames", directory},
                                settings);
    std::printf("%s: velquor-capture drew with %s\n", driver.name, captureRenderer(run.output).c_str());
    if (run.status != 0)
        return "velquor-capture exited with " + std::to_string(run.status) + ":\n" + run.output;
    return wrongRenderer(driver, run.output);
}

RgbImage load(const std::string& path) {
    RgbImage image;
    std::string error = tools::readPng(path, image);
    EXPECT_EQ(error, "");
    return image;
}

class Rendered : public ::testing::TestWithParam<Moment> {
protected:
    static void SetUpTestSuite() {
        directory = new TempDir;
        renderError = new std::string(renderMoments(directory->path));
    }
    static void TearDownTestSuite() {
        delete directory;
        delete renderError;
    }
    static TempDir* directory;
    static std::string* renderError;
};

TempDir* Rendered::directory = nullptr;
std::string* Rendered::renderError = nullptr;

TEST_P(Rendered, MatchesItsReference) {
    ASSERT_EQ(*renderError, "");
    const Moment& moment = GetParam();
    RgbImage actual = load(renderedPath(directory->path, moment));
    RgbImage reference = load(referencePath(moment));
    ASSERT_EQ(actual.width, frameWidth);
    ASSERT_EQ(reference.width, frameWidth) << referencePath(moment);
    PictureDifference difference = comparePictures(actual, reference);
    if (!difference.differs)
        return;
    std::string stem = std::string(VQ_BUILD_DIR "/reference-failures/") + moment.name;
    commandOutput("mkdir -p '" VQ_BUILD_DIR "/reference-failures'");
    tools::writePng(actual, stem + "-actual.png", 6);
    tools::writePng(difference.picture, stem + "-diff.png", 6);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g s", moment.seconds);
    ADD_FAILURE() << "the picture at " << seconds << " (" << moment.name << ") is not its reference "
                  << referencePath(moment) << ": " << difference.summary() << "\n  actual: " << stem
                  << "-actual.png\n  differences (red: brighter in the actual frame, blue: brighter in the reference): "
                  << stem << "-diff.png\n  after an intended change of the look: cmake --build <build> --target "
                     "update_references";
}

INSTANTIATE_TEST_SUITE_P(KeyMoments, Rendered, ::testing::ValuesIn(moments),
                         [](const ::testing::TestParamInfo<Moment>& info) { return testNameOf(info.param); });

// The same moments drawn by zink, another rasteriser, against the same
// references and rules.
TEST(RenderedOnZink, EveryMomentMatchesItsReference) {
    TempDir directory;
    ASSERT_EQ(renderMoments(directory.path, zinkDriver), "");
    for (const Moment& moment : moments) {
        PictureDifference difference =
            comparePictures(load(renderedPath(directory.path, moment)), load(referencePath(moment)));
        EXPECT_FALSE(difference.differs) << "on zink, the picture at " << moment.seconds << " s (" << moment.name
                                         << ") is not its reference: " << difference.summary();
    }
}

// The rules themselves, tried on the references: what another rasteriser
// may do to a frame passes, and a wrong glyph fails.

RgbImage shifted(const RgbImage& image, int dx, int dy) {
    RgbImage moved(image.width, image.height);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            int sx = std::min(std::max(x - dx, 0), image.width - 1);
            int sy = std::min(std::max(y - dy, 0), image.height - 1);
            std::copy_n(image.pixel(sx, sy), 3, moved.pixel(x, y));
        }
    return moved;
}

// The picture resampled half a pixel down and to the right.
RgbImage shiftedHalfAPixel(const RgbImage& image) {
    RgbImage right = shifted(image, 1, 0), down = shifted(image, 0, 1), both = shifted(image, 1, 1);
    RgbImage result = image;
    for (size_t k = 0; k < result.rgb.size(); k++)
        result.rgb[k] = (unsigned char)((image.rgb[k] + right.rgb[k] + down.rgb[k] + both.rgb[k] + 2) / 4);
    return result;
}

// Each 3x3 block (about one point) dimmed by its own random factor.
RgbImage twinkled(const RgbImage& image, double lowestGain) {
    RgbImage result = image;
    unsigned seed = 7;
    std::vector<double> gains(size_t((image.width / 3 + 1) * (image.height / 3 + 1)));
    for (double& gain : gains)
        gain = lowestGain + (1.0 - lowestGain) * double(rand_r(&seed)) / RAND_MAX;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            for (int c = 0; c < 3; c++)
                result.pixel(x, y)[c] =
                    (unsigned char)std::lround(image.pixel(x, y)[c] * gains[size_t((y / 3) * (image.width / 3 + 1) + x / 3)]);
    return result;
}

RgbImage mirroredAcross(const RgbImage& image, PixelRect r, bool leftRight) {
    RgbImage result = image;
    for (int y = r.y0; y < r.y1; y++)
        for (int x = r.x0; x < r.x1; x++) {
            int sx = leftRight ? r.x1 - 1 - (x - r.x0) : x;
            int sy = leftRight ? y : r.y1 - 1 - (y - r.y0);
            std::copy_n(image.pixel(sx, sy), 3, result.pixel(x, y));
        }
    return result;
}

RgbImage blanked(const RgbImage& image, PixelRect r) {
    RgbImage result = image;
    for (int y = r.y0; y < r.y1; y++)
        for (int x = r.x0; x < r.x1; x++)
            std::fill_n(result.pixel(x, y), 3, 0);
    return result;
}

// The rectangle's lit pixels drawn dy lower, and nothing where they were.
RgbImage movedDown(const RgbImage& image, PixelRect r, int dy) {
    RgbImage result = blanked(image, r);
    for (int y = r.y0; y < r.y1; y++)
        for (int x = r.x0; x < r.x1; x++) {
            const unsigned char* p = image.pixel(x, y);
            if (std::max({p[0], p[1], p[2]}) > 20 && y + dy < image.height)
                std::copy_n(p, 3, result.pixel(x, y + dy));
        }
    return result;
}

// The show's warm colour of fast points, at the same brightness.
RgbImage gilded(const RgbImage& image, PixelRect r) {
    RgbImage result = image;
    for (int y = r.y0; y < r.y1; y++)
        for (int x = r.x0; x < r.x1; x++) {
            const unsigned char* p = image.pixel(x, y);
            int level = std::max({p[0], p[1], p[2]});
            unsigned char* q = result.pixel(x, y);
            q[0] = (unsigned char)level;
            q[1] = (unsigned char)(level * 0.70);
            q[2] = (unsigned char)(level * 0.38);
        }
    return result;
}

const Moment& momentNamed(const char* name) {
    for (const Moment& moment : moments)
        if (std::strcmp(moment.name, name) == 0)
            return moment;
    std::abort();
}

TEST(CompareRules, PassJitterOfPointsOnEveryReference) {
    for (const Moment& moment : moments) {
        RgbImage reference = load(referencePath(moment));
        // Half-pixel conventions and rounding of point sizes move points by
        // half a pixel; another driver's exp and smoothstep change each
        // point's brightness a little (the twinkle's phase is an integer
        // hash, the same everywhere).
        PictureDifference difference = comparePictures(twinkled(shiftedHalfAPixel(reference), 0.9), reference);
        EXPECT_FALSE(difference.differs) << moment.name << ": " << difference.summary();
    }
}

TEST(CompareRules, CatchAWrongGlyph) {
    struct Glyph {
        const char* moment;
        const char* what;
        double x0, x1, y0, y1, z1;
        // A small glyph's cells are 3 x 2 pixels here: its mirror image
        // differs from it by a few faint pixels at most (BEGIN's N drawn
        // mirrored changes 67 pixels, none by much), so only a large glyph's
        // mirror image can be told.
        bool mirrorShows;
    };
    // Glyph boxes in world units (Begin and Tovelplex), small and large.
    const Glyph glyphs[] = {
        {"begin", "BEGIN's B", -0.3, -0.255, -0.25, -0.187, 0.009, false},
        {"begin", "BEGIN's N", -0.1, -0.055, -0.25, -0.187, 0.009, false},
        {"tovelplex", "the 1 of the base 10", -0.35, -0.25, 0.25, 0.39, 0.02, true},
    };
    for (const Glyph& glyph : glyphs) {
        RgbImage reference = load(referencePath(momentNamed(glyph.moment)));
        PixelRect box = screenBounds(glyph.x0, glyph.x1, glyph.y0, glyph.y1, 0.0, glyph.z1, frameWidth, frameHeight, 1);
        std::vector<std::pair<const char*, RgbImage>> faults = {
            {"missing", blanked(reference, box)},
            {"moved 4 pixels down", movedDown(reference, box, 4)},
            {"gold", gilded(reference, box)},
        };
        if (glyph.mirrorShows)
            faults.push_back({"mirrored", mirroredAcross(reference, box, true)});
        for (const auto& fault : faults)
            EXPECT_TRUE(comparePictures(fault.second, reference).differs) << glyph.what << " " << fault.first;
    }
}

TEST(CompareRules, CatchAMirroredOrShiftedFrame) {
    for (const Moment& moment : moments) {
        RgbImage reference = load(referencePath(moment));
        PixelRect whole = {0, 0, frameWidth, frameHeight};
        EXPECT_TRUE(comparePictures(mirroredAcross(reference, whole, false), reference).differs)
            << moment.name << " upside down";
        EXPECT_TRUE(comparePictures(shifted(reference, 3, 0), reference).differs) << moment.name << " shifted";
        // The face alone is the same mirrored left to right.
        if (std::strcmp(moment.name, "face") != 0) {
            EXPECT_TRUE(comparePictures(mirroredAcross(reference, whole, true), reference).differs)
                << moment.name << " mirrored";
        }
    }
}

// Text is read against the far face: at every moment, the text's lit pixels
// must stand clearly brighter than the face's.

double luma(const unsigned char* p) {
    return (0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255.0;
}

// Whether a pixel can show the face: its eyes, mouth and outline (demo/Background.cpp),
// anywhere between its near and far planes and with its points' drift.
bool onTheFace(int px, int py) {
    const double drift = 0.35;
    for (double z : {20.0, 21.0, 22.0}) {
        ScreenPoint origin = projectToScreen(0, 0, z, frameWidth, frameHeight);
        ScreenPoint unit = projectToScreen(1, 1, z, frameWidth, frameHeight);
        double x = (px + 0.5 - origin.x) / (unit.x - origin.x), y = (py + 0.5 - origin.y) / (unit.y - origin.y);
        double r = std::hypot(x, y);
        bool eye = std::fabs(std::fabs(x) - 2.5) < 0.5 + drift && std::fabs(y + 2.5) < 0.5 + drift;
        bool mouth = std::fabs(r - 2.0) < 0.1 + drift && y > -0.1 - drift;
        bool outline = std::fabs(r - 5.0) < 0.2 + drift;
        if (eye || mouth || outline)
            return true;
    }
    return false;
}

struct TextAgainstFace {
    std::vector<double> text, face; // lumas of lit pixels
};

// Lit pixels off the face are text; lit pixels on the face, away from the
// text's bounding box, are the face behind it.
TextAgainstFace litText(const RgbImage& image) {
    const double litLuma = 0.12;
    const int clearance = 6;
    TextAgainstFace lit;
    PixelRect box = {image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            if (luma(image.pixel(x, y)) > litLuma && !onTheFace(x, y)) {
                lit.text.push_back(luma(image.pixel(x, y)));
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
            }
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            bool nearText = x >= box.x0 - clearance && x <= box.x1 + clearance && y >= box.y0 - clearance &&
                            y <= box.y1 + clearance;
            if (!nearText && luma(image.pixel(x, y)) > litLuma && onTheFace(x, y))
                lit.face.push_back(luma(image.pixel(x, y)));
        }
    return lit;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

TEST(ReferenceLook, EveryMomentsTextIsClearlyBrighterThanTheFaceBehindIt) {
    for (const Moment& moment : moments) {
        TextAgainstFace lit = litText(load(referencePath(moment)));
        // The face is alone only before the first word; 14 lies mostly over the outline.
        const size_t someText = 25;
        if (std::strcmp(moment.name, "face") == 0) {
            EXPECT_LT(lit.text.size(), someText) << "lit pixels off the face at " << moment.name;
            continue;
        }
        EXPECT_GT(lit.text.size(), someText) << moment.name;
        EXPECT_GT(lit.face.size(), someText) << moment.name;
        EXPECT_GE(median(lit.text), 1.5 * median(lit.face))
            << moment.name << ": text " << median(lit.text) << ", face " << median(lit.face);
    }
}

int updateReferences() {
    commandOutput("mkdir -p '" VQ_SOURCE_DIR "/tests/reference' '" VQ_SOURCE_DIR "/demo/pictures'");
    TempDir directory;
    std::string error = renderMoments(directory.path);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const Moment& moment : moments) {
        RgbImage frame;
        error = tools::readPng(renderedPath(directory.path, moment), frame);
        std::vector<std::string> targets = {referencePath(moment)};
        if (moment.scene)
            targets.push_back(std::string(VQ_SOURCE_DIR "/demo/pictures/") + moment.scene + ".png");
        for (const std::string& target : targets) {
            if (error.empty())
                error = writeReferencePicture(frame, target);
            if (!error.empty()) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 1;
            }
            std::printf("wrote %s\n", target.c_str());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--update-references") == 0)
        return updateReferences();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
