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
    // An empty line.
    PString();
    ~PString();

    // Appends a glyph; a null pointer is kept in the list and skipped.
    void addChar(Character* character);
    // Each of these runs on every glyph in order, as Character does on its clouds.
    void draw();
    void update(double time);
    void unify(double dx, double dy, double dz);
    void noreborn();

    // The glyphs in the order they were added; not owned.
    std::vector<Character*> chars;
};

} // namespace vq_engine

#endif
