#include "tools/shaders/StarsTemplate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "demo/Cues.h"
#include "tools/shaders/LookSections.h"
#include "music/Score.h"

namespace look {

ShowTiming showTiming() {
    ShowTiming timing;
    for (const Section& section : sections)
        timing.sectionStarts.push_back(section.start);
    timing.showEnd = trackLength;
    for (int k = 0; k < cueCount; k++) {
        double time = cues[k].time;
        timing.cueTimes.push_back(time);
        int opens = -1;
        for (int s = 0; s < sectionCount; s++)
            if (std::fabs(sections[s].start - time) < 1e-9)
                opens = s;
        timing.cueSections.push_back(opens);
    }
    for (const soundtrack::TempoMap::Anchor& anchor : soundtrack::trackTempo().anchors) {
        timing.tempoTimes.push_back(anchor.time);
        timing.tempoSixteenths.push_back(anchor.sixteenth);
    }
    return timing;
}

namespace {

std::string glslFloat(double value) {
    char number[32];
    std::snprintf(number, sizeof number, "%.6f", value);
    return number;
}

std::string floatArray(const std::vector<double>& values) {
    std::string text = "float[](";
    for (size_t k = 0; k < values.size(); k++)
        text += (k ? ", " : "") + glslFloat(values[k]);
    return text + ")";
}

std::string intArray(const std::vector<int>& values) {
    std::string text = "int[](";
    for (size_t k = 0; k < values.size(); k++)
        text += (k ? ", " : "") + std::to_string(values[k]);
    return text + ")";
}

std::map<std::string, std::string> tokens(const ShowTiming& timing, Dialect dialect) {
    return {
        {"GLSL_VERSION", dialect == Dialect::webgl2 ? "#version 300 es" : "#version 410 core"},
        {"CUE_COUNT", std::to_string(timing.cueTimes.size())},
        {"CUE_TIMES", floatArray(timing.cueTimes)},
        {"CUE_SECTIONS", intArray(timing.cueSections)},
        {"SECTION_COUNT", std::to_string(timing.sectionStarts.size())},
        {"SECTION_STARTS", floatArray(timing.sectionStarts)},
        {"SHOW_END", glslFloat(timing.showEnd)},
        {"TEMPO_COUNT", std::to_string(timing.tempoTimes.size())},
        {"TEMPO_TIMES", floatArray(timing.tempoTimes)},
        {"TEMPO_SIXTEENTHS", floatArray(timing.tempoSixteenths)},
    };
}

std::string lineOf(const std::string& text, size_t at) {
    return "line " + std::to_string(1 + std::count(text.begin(), text.begin() + long(at), '\n'));
}

} // namespace

std::string fillStarsTemplate(const std::string& text, const ShowTiming& timing, Dialect dialect, std::string& error) {
    std::map<std::string, std::string> known = tokens(timing, dialect);
    std::string result;
    size_t at = 0;
    while (true) {
        size_t open = text.find('@', at);
        if (open == std::string::npos)
            break;
        size_t close = text.find('@', open + 1);
        size_t lineEnd = text.find('\n', open);
        if (close == std::string::npos || (lineEnd != std::string::npos && close > lineEnd)) {
            error = "an unterminated @ token on " + lineOf(text, open);
            return "";
        }
        std::string name = text.substr(open + 1, close - open - 1);
        auto found = known.find(name);
        if (found == known.end()) {
            error = "an unknown token @" + name + "@ on " + lineOf(text, open);
            return "";
        }
        result += text.substr(at, open - at) + found->second;
        at = close + 1;
    }
    return result + text.substr(at);
}

} // namespace look
