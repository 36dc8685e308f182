#include "engine/PString.h"

namespace vq_engine {

PString::PString() {}

PString::~PString() {}

void PString::addChar(Character* character) {
    chars.push_back(character);
}

// A null entry is kept in the list but skipped: there is nothing to draw or move.
void PString::draw() {
    for (Character* character : chars)
        if (character)
            character->draw();
}

void PString::update(double time) {
    for (Character* character : chars)
        if (character)
            character->update(time);
}

void PString::unify(double dx, double dy, double dz) {
    for (Character* character : chars)
        if (character)
            character->unify(dx, dy, dz);
}

void PString::noreborn() {
    for (Character* character : chars)
        if (character)
            character->noreborn();
}

} // namespace vq_engine
