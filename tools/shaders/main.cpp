// velquor-stars-shaders: builds the particle shader pair from its templates,
// with the show's cue list and the score's beat grid written in.
//     velquor-stars-shaders TEMPLATE OUTPUT [TEMPLATE OUTPUT]...
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/shaders/StarsTemplate.h"
#include "tools/common/AtomicFile.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: velquor-stars-shaders TEMPLATE OUTPUT [TEMPLATE OUTPUT]...\n");
        return 2;
    }
    look::ShowTiming timing = look::showTiming();
    for (int k = 1; k + 1 < argc; k += 2) {
        std::ifstream in(argv[k], std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) {
            std::fprintf(stderr, "velquor-stars-shaders: cannot read %s\n", argv[k]);
            return 1;
        }
        std::string error;
        std::string shader = look::fillStarsTemplate(text.str(), timing, error);
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
