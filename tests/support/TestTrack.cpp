#include "tests/support/TestTrack.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

#include "tests/support/Process.h"

bool makeTestTrack(const std::string& path, double seconds) {
    const int rate = 44100;
    const double pi = 3.141592653589793;
    std::string raw = path + ".raw";
    {
        std::ofstream out(raw, std::ios::binary);
        int frames = int(seconds * rate);
        for (int i = 0; i < frames; i++) {
            double t = double(i) / rate;
            double sample = 0.15 * std::sin(2 * pi * 220.0 * t) + 0.1 * std::sin(2 * pi * 330.0 * t);
            int16_t value = int16_t(sample * 32767.0);
            out.write(reinterpret_cast<const char*>(&value), sizeof value); // left
            out.write(reinterpret_cast<const char*>(&value), sizeof value); // right
        }
    }
    std::string command = "lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m j '" + raw + "' '" +
                          path + "' && echo encoded";
    bool encoded = commandOutput(command).find("encoded") != std::string::npos;
    std::remove(raw.c_str());
    return encoded;
}

std::string prepareShowDirectory(const std::string& directory, double trackSeconds) {
    std::string data = directory + "/data";
    commandOutput("mkdir -p '" + data + "' && cp '" VQ_BUILD_DIR "/data/stars.vs' '" VQ_BUILD_DIR
                  "/data/stars.fs' '" + data + "/'");
    makeTestTrack(data + "/quorvin.mp3", trackSeconds);
    return data;
}
