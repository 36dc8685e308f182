#ifndef VELQUOR_TOOLS_TRACKLENGTH_H
#define VELQUOR_TOOLS_TRACKLENGTH_H

#include <string>

namespace tools {

// The length in seconds of a music file as SDL_mixer, the demo's player,
// reads it, on SDL's silent dummy audio driver. 0 and a message in error
// when it cannot tell.
double trackSeconds(const std::string& path, std::string& error);

} // namespace tools

#endif
