#ifndef VQ_ENGINE_PSTRING_H
#define VQ_ENGINE_PSTRING_H

#include <vector>

#include "engine/Character.h"

namespace vq_engine {

// A line of particle text handled as one: every operation runs on the glyphs
// in the order they were added. The glyphs stay the caller's; destroying the
// string frees only its list.
class PString {
public:
    PString();
    ~PString();

    void addChar(Character* character);
    void draw();
    void update(double time);
    void unify(double dx, double dy, double dz);
    void noreborn();

    std::vector<Character*> chars;
};

} // namespace vq_engine

#endif
