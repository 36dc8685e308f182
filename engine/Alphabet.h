#ifndef VQ_ENGINE_ALPHABET_H
#define VQ_ENGINE_ALPHABET_H

#include <string>
#include <vector>

#include "engine/PString.h"

namespace vq_engine {

// A small 5x7 alphabet for particle text: the capitals A to Z (a lower-case
// letter takes its capital's glyph), the digits 0 to 9, the marks
// . , : ! ? ' - + / and the space. It is data for Character, as the show's
// own glyphs are theirs; the show does not use it.

// Glyphs of a line stand this many cells apart: five of glyph, one of gap.
const int glyphAdvance = Character::columns + 1;

// The lit cells of c's glyph in Character's numbering (cell i in column
// i % 5, row i / 5 from the top), ascending. Empty for the space; null for a
// character the alphabet lacks.
const std::vector<int>* glyphCells(char c);

// Appends one Character per character of text to line, left to right: the
// first glyph's top-left corner at (x, y, z), cells of size world units, each
// next glyph glyphAdvance cells further along +x (with y growing downwards
// the glyphs read upright). A space leaves a gap; a character the alphabet
// lacks is named on standard error and leaves a gap too. The glyphs are
// made with new and, as for every PString, stay the caller's.
void addText(PString* line, const std::string& text, float x, float y, float z, float size);

// The width, in world units, of a line of length glyphs of cells of size:
// centre one on x = 0 by starting it at -textWidth(length, size) / 2.
float textWidth(int length, float size);

} // namespace vq_engine

#endif
