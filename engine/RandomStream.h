#ifndef VQ_ENGINE_RANDOMSTREAM_H
#define VQ_ENGINE_RANDOMSTREAM_H

namespace vq_engine {

// The process-wide drand48 stream that every cloud draws from, in a fixed
// order: with the clouds themselves, all of a show's state between frames.

// Its position, read and set without drawing from it.
void saveRandom(unsigned short state[3]);
void restoreRandom(const unsigned short state[3]);
// Back where an unseeded process starts it: a show built after this is the
// show a fresh run builds.
void restartRandom();

} // namespace vq_engine

#endif
