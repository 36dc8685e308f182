#ifndef VELQUOR_DIGITS_H
#define VELQUOR_DIGITS_H

#include <array>

#include "engine/Character.h"

// The shapes of the digits 0 to 9 that every number of the show is written
// in: the lit cells of the 5 x 7 glyph grid, the first count entries of cells
// (the rest of the array is 0).
struct DigitCells {
    int count;
    int cells[vq_engine::Character::cellCount];
};

extern const std::array<DigitCells, 10> digitCells;

// A new glyph of the digit with its grid's origin at (x, y, z).
vq_engine::Character* createDigit(int digit, float x, float y, float z, float size);

#endif
