#include "music/Wav.h"

#include <cmath>

namespace soundtrack {

namespace {

const int channels = 2;
const int bytesPerSample = 2;
const size_t headerBytes = 44;

void put(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putTag(std::vector<unsigned char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

int16_t pcmSample(float sample) {
    double scaled = std::nearbyint(double(sample) * 32767.0);
    if (scaled > 32767.0)
        return 32767;
    if (scaled < -32768.0)
        return -32768;
    return int16_t(scaled);
}

std::vector<unsigned char> encodeWav(const StereoBuffer& track) {
    const uint32_t dataBytes = uint32_t(track.frames() * channels * bytesPerSample);
    std::vector<unsigned char> out;
    out.reserve(headerBytes + dataBytes);
    putTag(out, "RIFF");
    put(out, uint32_t(headerBytes - 8) + dataBytes, 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put(out, 16, 4); // the PCM format block's size
    put(out, 1, 2);  // PCM
    put(out, channels, 2);
    put(out, sampleRate, 4);
    put(out, uint32_t(sampleRate * channels * bytesPerSample), 4);
    put(out, channels * bytesPerSample, 2);
    put(out, 8 * bytesPerSample, 2);
    putTag(out, "data");
    put(out, dataBytes, 4);
    for (size_t i = 0; i < track.frames(); i++) {
        put(out, uint16_t(pcmSample(track.left[i])), 2);
        put(out, uint16_t(pcmSample(track.right[i])), 2);
    }
    return out;
}

} // namespace soundtrack
