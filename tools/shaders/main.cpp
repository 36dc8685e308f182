// velquor-stars-shaders: builds the particle shader pair from its templates,
// with the show's cue list and the score's beat grid written in.
//     velquor-stars-shaders [--webgl2] TEMPLATE OUTPUT [TEMPLATE OUTPUT]...
// --webgl2 builds them in GLSL ES 3.00 for the web page.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/shaders/StarsTemplate.h"
#include "tools/common/AtomicFile.h"

int main(int argc, char** argv) {
    int first = 1;
    look::Dialect dialect = look::Dialect::desktop;
    if (argc > 1 && std::string(argv[1]) == "--webgl2") {
        dialect = look::Dialect::webgl2;
        first = 2;
    }
    if (argc - first < 2 || (argc - first) % 2 != 0) {
        std::fprintf(stderr, "usage: velquor-stars-shaders [--webgl2] TEMPLATE OUTPUT [TEMPLATE OUTPUT]...\n");
        return 2;
    }
    look::ShowTiming timing = look::showTiming();
    for (int k = first; k + 1 < argc; k += 2) {
        std::ifstream in(argv[k], std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) {
            std::fprintf(stderr, "velquor-stars-shaders: cannot read %s\n", argv[k]);
            return 1;
        }
        std::string error;
        std::string shader = look::fillStarsTemplate(text.str(), timing, dialect, error);
        if (!error.empty()) {
            std::fprintf(stderr, "velquor-stars-shaders: %s: %s\n", argv[k], error.c_str());
            return 1;
        }
        error = tools::writeFileAtomically(argv[k + 1], std::vector<unsigned char>(shader.begin(), shader.end()));
        if (!error.empty()) {
            std::fprintf(stderr, "velquor-stars-shaders: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
