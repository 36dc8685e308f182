// The particle shaders' templates filled with the show's timing, and the
// built pair in build/data/ against the cue list and the tempo map it was
// built from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "demo/Cues.h"
#include "tools/shaders/LookSections.h"
#include "tools/shaders/StarsTemplate.h"
#include "music/Score.h"

using look::fillStarsTemplate;
using look::ShowTiming;

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ShowTiming smallTiming() {
    ShowTiming timing;
    timing.cueTimes = {0.0, 2.5, 18.0};
    timing.cueSections = {0, -1, 1};
    timing.sectionStarts = {0.0, 18.0};
    timing.showEnd = 38.5;
    timing.tempoTimes = {0.0, 18.0};
    timing.tempoSixteenths = {0.0, 144.0};
    return timing;
}

// The text after "name = " up to the end of its line in a built shader.
std::string definition(const std::string& shader, const std::string& name) {
    size_t at = shader.find(name + " = ");
    if (at == std::string::npos)
        return "";
    at += name.size() + 3;
    return shader.substr(at, shader.find('\n', at) - at);
}

std::string glslFloat(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

} // namespace

TEST(StarsTemplate, FillsEveryTokenOnItsOwnLine) {
    std::string text = "#version 410 core\n"
                       "const int cueCount = @CUE_COUNT@;\n"
                       "const float cueTimes[cueCount] = @CUE_TIMES@;\n"
                       "const int cueSections[cueCount] = @CUE_SECTIONS@;\n"
                       "const float starts[@SECTION_COUNT@] = @SECTION_STARTS@;\n"
                       "const float end = @SHOW_END@;\n"
                       "const float tempo[@TEMPO_COUNT@] = @TEMPO_TIMES@; // @TEMPO_SIXTEENTHS@\n"
                       "void main() {}\n";
    std::string error;
    std::string shader = fillStarsTemplate(text, smallTiming(), error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(shader, "#version 410 core\n"
                      "const int cueCount = 3;\n"
                      "const float cueTimes[cueCount] = float[](0.000000, 2.500000, 18.000000);\n"
                      "const int cueSections[cueCount] = int[](0, -1, 1);\n"
                      "const float starts[2] = float[](0.000000, 18.000000);\n"
                      "const float end = 38.500000;\n"
                      "const float tempo[2] = float[](0.000000, 18.000000); // float[](0.000000, 144.000000)\n"
                      "void main() {}\n");
}

TEST(StarsTemplate, RetimingACueMovesItInTheShader) {
    ShowTiming timing = smallTiming();
    timing.cueTimes[1] = 2.75;
    std::string error;
    EXPECT_EQ(fillStarsTemplate("x = @CUE_TIMES@;", timing, error), "x = float[](0.000000, 2.750000, 18.000000);");
}

TEST(StarsTemplate, AnUnknownOrUnterminatedTokenIsNamedWithItsLine) {
    std::string error;
    EXPECT_EQ(fillStarsTemplate("one\ntwo @CUE_TIME@\n", smallTiming(), error), "");
    EXPECT_EQ(error, "an unknown token @CUE_TIME@ on line 2");
    error.clear();
    EXPECT_EQ(fillStarsTemplate("one\ntwo\nthree @CUE_TIMES\n@CUE_COUNT@\n", smallTiming(), error), "");
    EXPECT_EQ(error, "an unterminated @ token on line 3");
}

TEST(StarsTemplate, TheShowsTimingIsTheCueListsAndTheTempoMaps) {
    ShowTiming timing = look::showTiming();
    ASSERT_EQ(timing.cueTimes.size(), size_t(cueCount));
    for (int k = 0; k < cueCount; k++)
        EXPECT_EQ(timing.cueTimes[k], cues[k].time);
    // Every section but the close opens on a cue, and the drops are sections.
    for (int s = 0; s < look::sectionCount; s++) {
        if (look::sections[s].start >= finalChord)
            continue;
        auto opening = std::find(timing.cueSections.begin(), timing.cueSections.end(), s);
        EXPECT_NE(opening, timing.cueSections.end()) << look::sections[s].name;
    }
    EXPECT_EQ(timing.showEnd, trackLength);
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    ASSERT_EQ(timing.tempoTimes.size(), tempo.anchors.size());
    for (size_t k = 0; k < tempo.anchors.size(); k++) {
        EXPECT_EQ(timing.tempoTimes[k], tempo.anchors[k].time);
        EXPECT_EQ(timing.tempoSixteenths[k], tempo.anchors[k].sixteenth);
    }
}

TEST(StarsTemplate, TheBuiltShadersCarryTheCurrentTiming) {
    std::string vertex = readText(VQ_BUILD_DIR "/data/stars.vs");
    ASSERT_FALSE(vertex.empty()) << "no " VQ_BUILD_DIR "/data/stars.vs";
    EXPECT_EQ(vertex.find('@'), std::string::npos);
    std::string cues = definition(vertex, "const float cueTimes[cueCount]");
    for (const Cue& cue : ::cues)
        EXPECT_NE(cues.find(glslFloat(cue.time)), std::string::npos) << cue.event << " is not in " << cues;
    std::string sixteenths = definition(vertex, "const float tempoSixteenths[tempoCount]");
    for (const soundtrack::TempoMap::Anchor& anchor : soundtrack::trackTempo().anchors)
        EXPECT_NE(sixteenths.find(glslFloat(anchor.sixteenth)), std::string::npos) << sixteenths;
    // The built pair keeps its templates' lines, so a shader error's line number is the template's.
    for (const char* name : {"stars.vs", "stars.fs"}) {
        std::string built = readText(std::string(VQ_BUILD_DIR "/data/") + name);
        std::string source = readText(std::string(VQ_SOURCE_DIR "/data/") + name + ".in");
        EXPECT_EQ(std::count(built.begin(), built.end(), '\n'), std::count(source.begin(), source.end(), '\n'))
            << name;
    }
}
