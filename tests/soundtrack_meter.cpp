// soundtrack_meter: every measure the soundtrack's tests hold the music to,
// printed for one track, decoded as the demo decodes it. For comparing one
// render with another by numbers:
//     cd build && ./soundtrack_meter [TRACK.mp3]
#include <cstdio>
#include <string>

#include "tests/support/Audio.h"
#include "tests/support/MusicMeasures.h"

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: soundtrack_meter [TRACK.mp3]\n");
        return 2;
    }
    std::string path = argc == 2 ? argv[1] : "data/quorvin.mp3";
    std::string error;
    StereoAudio track = decodeWithMixer(path, error);
    if (track.left.empty()) {
        std::fprintf(stderr, "soundtrack_meter: cannot decode %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::printf("length                               %6.2f s\n", track.seconds());
    std::printf("integrated loudness                  %6.1f LUFS\n", integratedLoudness(track));
    std::printf("true peak (left, right)              %6.2f, %.2f dBTP\n", truePeakDb(track.left),
                truePeakDb(track.right));
    printMeasures(measureMusic(track), stdout);
    return 0;
}
