#ifndef VELQUOR_SHADERS_STARSTEMPLATE_H
#define VELQUOR_SHADERS_STARSTEMPLATE_H

#include <string>
#include <vector>

// The particle shaders are written as templates in data/*.in; the build fills
// in the show's timing, so the picture's hits move when a cue or the tempo
// map moves.
namespace look {

struct ShowTiming {
    std::vector<double> cueTimes;
    std::vector<int> cueSections;   // the section a cue opens, or -1
    std::vector<double> sectionStarts;
    double showEnd = 0.0;           // where the track ends
    std::vector<double> tempoTimes; // where the tempo map pins ...
    std::vector<double> tempoSixteenths; // ... these sixteenths of the score
};

// The cues of demo/Cues.h, the sections of LookSections.h and the anchors of
// the score's tempo map.
ShowTiming showTiming();

// The GLSL a template is built for: the native show's OpenGL 4.1 core, or
// the web page's WebGL 2 (GLSL ES 3.00). Only @GLSL_VERSION@ differs.
enum class Dialect { desktop, webgl2 };

// The template with every @NAME@ replaced by its GLSL text, each on the line
// the token stood on, so the built shader's line numbers are the template's.
// An unknown or unterminated token leaves the result empty and says which in
// error.
std::string fillStarsTemplate(const std::string& text, const ShowTiming& timing, Dialect dialect, std::string& error);
inline std::string fillStarsTemplate(const std::string& text, const ShowTiming& timing, std::string& error) {
    return fillStarsTemplate(text, timing, Dialect::desktop, error);
}

} // namespace look

#endif
