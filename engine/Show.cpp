#include "engine/Show.h"

#include <cmath>

namespace vq_engine {

std::string Show::problem() const {
    if (name.empty())
        return "the show has no name: set Show::name";
    if (!make)
        return "the show \"" + name + "\" has no make: set Show::make to a function that builds its Demo";
    if (track.empty() && !(seconds > 0.0 && std::isfinite(seconds)))
        return "the show \"" + name + "\" has neither a track nor a length: set Show::track, or Show::seconds for a silent show";
    return "";
}

} // namespace vq_engine
