#ifndef VELQUOR_MUSIC_WAV_H
#define VELQUOR_MUSIC_WAV_H

#include <cstdint>
#include <vector>

#include "music/Dsp.h"

namespace soundtrack {

// The track as a 16-bit stereo PCM WAV file at sampleRate, the render as it
// is before any lossy encoding: velquor-soundtrack writes it, and the web
// page offers it for saving and plays its samples.
std::vector<unsigned char> encodeWav(const StereoBuffer& track);

// One sample of [-1, 1] as 16 bits, rounded to the nearest step; beyond the
// range it is held at the end.
int16_t pcmSample(float sample);

} // namespace soundtrack

#endif
