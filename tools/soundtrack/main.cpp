// velquor-soundtrack: composes and renders the show's music and writes it as
// an MP3, by default to data/quorvin.mp3 where the demo reads it, or, for a
// name ending in .wav, as the 16-bit render itself before any MP3 encoding.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "music/Score.h"
#include "music/Wav.h"
#include "tools/common/AtomicFile.h"
#include "tools/soundtrack/Mp3Encoder.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: velquor-soundtrack [OUTPUT.mp3 | OUTPUT.wav]\n");
        return 2;
    }
    std::string output = argc == 2 ? argv[1] : "data/quorvin.mp3";
    bool wav = endsWith(output, ".wav");
    if (!wav && !endsWith(output, ".mp3")) {
        std::fprintf(stderr, "velquor-soundtrack: %s: the name must end in .mp3 or .wav, which say how to write it\n",
                     output.c_str());
        return 2;
    }
    try {
        auto begin = std::chrono::steady_clock::now();
        soundtrack::StereoBuffer track = soundtrack::renderTrack();
        std::vector<unsigned char> bytes = wav ? soundtrack::encodeWav(track) : soundtrack::encodeMp3(track);
        std::string error = tools::writeFileAtomically(output, bytes);
        if (!error.empty()) {
            std::fprintf(stderr, "velquor-soundtrack: %s\n", error.c_str());
            return 1;
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        std::printf("velquor-soundtrack: wrote %s (%.1f s of music, %zu bytes) in %.1f s\n", output.c_str(),
                    double(track.frames()) / soundtrack::sampleRate, bytes.size(), seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velquor-soundtrack: %s\n", error.what());
        return 1;
    }
    return 0;
}
