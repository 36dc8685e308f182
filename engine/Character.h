#ifndef VQ_ENGINE_CHARACTER_H
#define VQ_ENGINE_CHARACTER_H

#include <vector>

#include "engine/Particle.h"

namespace vq_engine {

// One glyph of particle text: a grid of 5 columns by 7 rows of cubic cells,
// cell i in column i % 5 and row i / 5, each lit cell filled by its own cloud
// of points. The glyph knows no letters; the caller names the lit cells.
class Character {
public:
    // The grid and the size of every cell's cloud.
    static constexpr int columns = 5;
    static constexpr int rows = 7;
    static constexpr int cellCount = columns * rows;
    static constexpr int pointsPerCell = 100;

    // (x, y, z) is the glyph's top-left front corner in world units: cell i
    // fills the cube from (x + (i % 5) * size, y + (i / 5) * size, z) to
    // size further along each axis, so the glyph is 5 * size wide and
    // 7 * size tall, rows going down as y grows (the camera's y points down
    // the screen). size is the edge of one cell in world units. One cloud
    // per entry of cells that names a cell (0 to 34), in ascending cell
    // order; a cell named twice gets two clouds. Other entries are ignored.
    // cells is only read here. engine/Alphabet.h has cells for letters.
    Character(float x, float y, float z, float size, const int* cells, int count);
    ~Character();
    Character(const Character&) = delete;
    Character& operator=(const Character&) = delete;

    // Each of these runs on every cloud of the glyph, in cell order.
    void draw();
    void update(double time);
    // Sends every point drifting into one octant: each velocity component in
    // [0, scale) (Particle::unifydir; a negative scale turns an axis round).
    void unify(double dx, double dy, double dz);
    void noreborn();

    // One cloud per lit cell, owned by the glyph.
    std::vector<Particle*> particles;
};

} // namespace vq_engine

#endif
