#include "engine/RandomStream.h"

#include <cstdlib>
#include <cstring>

namespace vq_engine {

void saveRandom(unsigned short state[3]) {
    // seed48 hands back the position it replaces; putting it straight back
    // leaves the stream where it was (shows never change its multiplier).
    unsigned short any[3] = {0, 0, 0};
    std::memcpy(state, seed48(any), sizeof(unsigned short) * 3);
    restoreRandom(state);
}

void restoreRandom(const unsigned short state[3]) {
    unsigned short copy[3] = {state[0], state[1], state[2]};
    seed48(copy);
}

void restartRandom() {
    // glibc and musl both start drand48 at zero, with the standard multiplier
    // and addend, which seed48 puts back as well. (srand48 would not do: it
    // sets the low 16 bits to 0x330E.)
    const unsigned short unseeded[3] = {0, 0, 0};
    restoreRandom(unseeded);
}

} // namespace vq_engine
