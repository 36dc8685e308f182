// look_meter: every measure the show's picture is held to, per part of the
// show and per cue, from a capture of every frame at 480x270 and 30 frames a
// second and the track it plays to. For comparing one look with another by
// numbers, from the build directory:
//     ./look_meter                      captures the show first (about 40 s)
//     ./look_meter --frames DIR [--fps N] [--track TRACK.mp3]
// where DIR holds velquor-capture --size 480x270 --fps 30 --frames DIR.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/Audio.h"
#include "tests/support/CaptureRun.h"
#include "tests/support/LookMeasures.h"
#include "tests/support/Process.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: look_meter [--frames DIR] [--fps N] [--track TRACK.mp3]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string frames, track = "data/quorvin.mp3";
    double fps = 30.0;
    for (int k = 1; k < argc; k++) {
        if (k + 1 >= argc)
            return usage();
        if (std::strcmp(argv[k], "--frames") == 0)
            frames = argv[++k];
        else if (std::strcmp(argv[k], "--track") == 0)
            track = argv[++k];
        else if (std::strcmp(argv[k], "--fps") == 0) {
            char* end = nullptr;
            fps = std::strtod(argv[++k], &end);
            if (*end || !(fps >= 1.0 && fps <= 1000.0)) {
                std::fprintf(stderr, "look_meter: --fps %s is not a frame rate from 1 to 1000\n", argv[k]);
                return 2;
            }
        } else
            return usage();
    }
    std::string error;
    StereoAudio audio = decodeWithMixer(track, error);
    if (audio.left.empty()) {
        std::fprintf(stderr, "look_meter: cannot decode %s: %s\n", track.c_str(), error.c_str());
        return 1;
    }
    TempDir made;
    if (frames.empty()) {
        frames = made.path;
        std::fprintf(stderr, "look_meter: capturing the show at 480x270, 30 frames a second, into %s\n",
                     frames.c_str());
        CaptureRun run = runCapture({"--size", "480x270", "--fps", "30", "--frames", frames});
        if (run.status != 0) {
            std::fprintf(stderr, "look_meter: velquor-capture exited with %d:\n%s", run.status, run.output.c_str());
            return 1;
        }
        fps = 30.0;
    }
    std::vector<FrameLook> looks = measureCapture(frames, fps, error);
    if (looks.empty()) {
        std::fprintf(stderr, "look_meter: %s\n", error.c_str());
        return 1;
    }
    std::printf("%zu frames at %g a second from %s, against %s\n\n", looks.size(), fps, frames.c_str(),
                track.c_str());
    printLook(measureLook(looks, audio), stdout);
    return 0;
}
