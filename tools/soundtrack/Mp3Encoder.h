#ifndef VELQUOR_SOUNDTRACK_MP3ENCODER_H
#define VELQUOR_SOUNDTRACK_MP3ENCODER_H

#include <vector>

#include "music/Dsp.h"

namespace soundtrack {

// The whole track as a 44.1 kHz stereo MP3 at 192 kbit/s. Its first frame is
// an info frame that records the encoder's delay and padding, so decoders
// that read it (SDL_mixer's does) start at the track's first sample: show
// time 0 is musical time 0. Throws std::runtime_error when LAME fails.
std::vector<unsigned char> encodeMp3(const StereoBuffer& track);

} // namespace soundtrack

#endif
