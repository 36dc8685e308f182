// velquor-soundtrack: composes and renders the show's music and writes it as
// an MP3, by default to data/quorvin.mp3 where the demo reads it.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "tools/common/AtomicFile.h"
#include "tools/soundtrack/Mp3Encoder.h"
#include "tools/soundtrack/Score.h"

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: velquor-soundtrack [OUTPUT.mp3]\n");
        return 2;
    }
    std::string output = argc == 2 ? argv[1] : "data/quorvin.mp3";
    try {
        auto begin = std::chrono::steady_clock::now();
        soundtrack::StereoBuffer track = soundtrack::renderTrack();
        std::vector<unsigned char> mp3 = soundtrack::encodeMp3(track);
        std::string error = tools::writeFileAtomically(output, mp3);
        if (!error.empty()) {
            std::fprintf(stderr, "velquor-soundtrack: %s\n", error.c_str());
            return 1;
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        std::printf("velquor-soundtrack: wrote %s (%.1f s of music, %zu bytes) in %.1f s\n", output.c_str(),
                    double(track.frames()) / soundtrack::sampleRate, mp3.size(), seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velquor-soundtrack: %s\n", error.what());
        return 1;
    }
    return 0;
}
