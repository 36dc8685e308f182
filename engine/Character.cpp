#include "engine/Character.h"

namespace vq_engine {

Character::Character(float x, float y, float z, float size, const int* cells, int count) {
    if (!cells)
        return;
    for (int i = 0; i < cellCount; i++) {
        for (int e = 0; e < count; e++) {
            if (cells[e] != i)
                continue;
            float x0 = x + (i % columns) * size;
            float y0 = y + (i / columns) * size;
            particles.push_back(new Particle(pointsPerCell, x0, x0 + size, y0, y0 + size, z, z + size));
        }
    }
}

Character::~Character() {
    for (Particle* cloud : particles)
        delete cloud;
}

void Character::draw() {
    for (Particle* cloud : particles)
        cloud->draw();
}

void Character::update(double time) {
    for (Particle* cloud : particles)
        cloud->update(time);
}

void Character::unify(double dx, double dy, double dz) {
    for (Particle* cloud : particles)
        cloud->unifydir(dx, dy, dz);
}

void Character::noreborn() {
    for (Particle* cloud : particles)
        cloud->noreborn();
}

} // namespace vq_engine
