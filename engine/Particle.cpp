#include "engine/Particle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/GLCheck.h"

namespace vq_engine {

namespace {

const int attributeCount = 4;
// Floats per point in positions, velocities, birthTimes and deathTimes.
const int components[attributeCount] = {3, 3, 1, 1};
const int lifeSpan = 12;
// Velocity spread of scattered and re-emitted points, and the wider one of a point emitter.
const double driftDivisor = 1000.0;
const double burstDivisor = 100.0;

double u() {
    return drand48();
}

double sgn(double v) {
    return std::copysign(1.0, v);
}

bool sameArray(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace

Particle::Particle(int count, float x, float y, float z)
    : emitX(x), emitY(y), emitZ(z), count(count), vao(0), vbo{0, 0, 0, 0}, reborn(true) {
    for (int i = 0; i < count; i++) {
        positions.push_back(x);
        positions.push_back(y);
        positions.push_back(z);
        for (int k = 0; k < 3; k++)
            velocities.push_back(float((u() - 0.5) / burstDivisor));
        birthTimes.push_back(0.0f);
        deathTimes.push_back(float(u() * lifeSpan));
    }
    createOpenGLBinding();
    live.push_back(this);
}

Particle::Particle(int count, float x0, float x1, float y0, float y1, float z0, float z1)
    : emitX((x1 - x0) + x0), emitY((y1 - y0) + y0), emitZ((z1 - z0) + z0), count(count), vao(0),
      vbo{0, 0, 0, 0}, reborn(true) {
    float dx = x1 - x0;
    float dy = y1 - y0;
    float dz = z1 - z0;
    for (int i = 0; i < count; i++) {
        positions.push_back(float(x0 + u() * dx));
        positions.push_back(float(y0 + u() * dy));
        positions.push_back(float(z0 + u() * dz));
        for (int k = 0; k < 3; k++)
            velocities.push_back(float((u() - 0.5) / driftDivisor));
        birthTimes.push_back(0.0f);
        deathTimes.push_back(float(u() * lifeSpan));
    }
    createOpenGLBinding();
    live.push_back(this);
}

Particle::~Particle() {
    live.erase(std::find(live.begin(), live.end(), this));
    VQ_GL(glDeleteBuffers(attributeCount, vbo));
    VQ_GL(glDeleteVertexArrays(1, &vao));
}

void Particle::createOpenGLBinding() {
    requireGLContext("Particle");
    std::vector<float>* arrays[attributeCount] = {&positions, &velocities, &birthTimes, &deathTimes};
    if (vao != 0) {
        VQ_GL(glDeleteBuffers(attributeCount, vbo));
        VQ_GL(glDeleteVertexArrays(1, &vao));
    }
    for (int k = 0; k < attributeCount; k++)
        arrays[k]->resize(size_t(components[k]) * size_t(std::max(count, 0))); // GL reads count points from each

    VQ_GL(glGenVertexArrays(1, &vao));
    VQ_GL(glBindVertexArray(vao));
    VQ_GL(glGenBuffers(attributeCount, vbo));
    for (int k = 0; k < attributeCount; k++) {
        VQ_GL(glBindBuffer(GL_ARRAY_BUFFER, vbo[k]));
        VQ_GL(glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(sizeof(float) * components[k] * count),
                           arrays[k]->data(), GL_DYNAMIC_DRAW));
        VQ_GL(glVertexAttribPointer(k, components[k], GL_FLOAT, GL_FALSE, 0, nullptr));
        VQ_GL(glEnableVertexAttribArray(k));
    }
    VQ_GL(glBindVertexArray(0));
}

bool Particle::skipDraws = false;
std::vector<Particle*> Particle::live;

void Particle::draw() {
    if (skipDraws)
        return;
    VQ_GL(glBindVertexArray(vao));
    VQ_GL(glDrawArrays(GL_POINTS, 0, count));
}

void Particle::update(double time) {
    for (int i = 0; i < count; i++) {
        if (time > double(deathTimes.at(i)) && reborn)
            rebirth(i, time);
        else
            step(i);
    }
    upload();
}

void Particle::update(double time, double x, double y, double z) {
    emitX = float(x);
    emitY = float(y);
    emitZ = float(z);
    update(time);
}

void Particle::rebirth(int i, double time) {
    positions.at(3 * i) = emitX;
    positions.at(3 * i + 1) = emitY;
    positions.at(3 * i + 2) = emitZ;
    for (int k = 0; k < 3; k++)
        velocities.at(3 * i + k) = float((u() - 0.5) / driftDivisor);
    birthTimes.at(i) = float(time);
    deathTimes.at(i) = float(time + u() * lifeSpan);
}

void Particle::step(int i) {
    int triangles = int(constraints.size() / 9);
    for (int c = 0; c < triangles; c++) {
        if (collision(i, c)) {
            for (int k = 0; k < 3; k++)
                velocities.at(3 * i + k) = -velocities.at(3 * i + k);
        }
    }
    for (int k = 0; k < 3; k++)
        positions.at(3 * i + k) += velocities.at(3 * i + k);
}

void Particle::upload() {
    std::vector<float>* arrays[attributeCount] = {&positions, &velocities, &birthTimes, &deathTimes};
    const char* names[attributeCount] = {"positions", "velocities", "birthTimes", "deathTimes"};
    for (int k = 0; k < attributeCount; k++) {
        size_t expected = size_t(components[k]) * size_t(std::max(count, 0));
        if (arrays[k]->size() != expected) {
            std::fprintf(stderr, "Particle::upload: %s holds %zu floats, but %d points need %zu; nothing sent\n",
                         names[k], arrays[k]->size(), count, expected);
            return;
        }
    }
    VQ_GL(glBindVertexArray(vao));
    for (int k = 0; k < attributeCount; k++) {
        VQ_GL(glBindBuffer(GL_ARRAY_BUFFER, vbo[k]));
        VQ_GL(glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(sizeof(float) * arrays[k]->size()),
                              arrays[k]->data()));
    }
    VQ_GL(glBindVertexArray(0));
}

void Particle::unifydir(double dx, double dy, double dz) {
    for (int i = 0; i < count; i++) {
        velocities.at(3 * i) = float(u() * dx);
        velocities.at(3 * i + 1) = float(u() * dy);
        velocities.at(3 * i + 2) = float(u() * dz);
    }
}

void Particle::noreborn() {
    reborn = false;
}

void Particle::addConstrait(float ax, float ay, float az, float bx, float by, float bz, float cx,
                            float cy, float cz) {
    const float corners[9] = {ax, ay, az, bx, by, bz, cx, cy, cz};
    constraints.insert(constraints.end(), corners, corners + 9);
}

bool Particle::collision(int index, int triangle) {
    auto position = [&](int k) { return positions.at(3 * index + k); };
    auto next = [&](int k) { return positions.at(3 * index + k) + velocities.at(3 * index + k); };
    auto corner = [&](int v) {
        size_t base = size_t(9 * triangle + 3 * v); // a negative index wraps and fails .at()
        return Point3D(constraints.at(base), constraints.at(base + 1), constraints.at(base + 2));
    };
    Point3D p(position(0), position(1), position(2));
    Point3D q(next(0), next(1), next(2));
    Point3D a = corner(0), b = corner(1), c = corner(2);

    double s1 = sgn(volume(p, a, b, c));
    double s2 = sgn(volume(q, a, b, c));
    double s3 = sgn(volume(p, q, a, b));
    double s4 = sgn(volume(p, q, b, c));
    double s5 = sgn(volume(p, q, c, a));
    return s1 != s2 && s3 == s4 && s4 == s5;
}

double Particle::volume(Point3D a, Point3D b, Point3D c, Point3D d) {
    return Point3D::dot(Point3D::cross(b - a, c - a), d - a) * 1.6666666666666667;
}

Particle::State Particle::save() const {
    return State{positions, velocities, birthTimes, deathTimes, {emitX, emitY, emitZ}, reborn};
}

void Particle::restore(const State& state) {
    positions = state.positions;
    velocities = state.velocities;
    birthTimes = state.birthTimes;
    deathTimes = state.deathTimes;
    emitX = state.emit[0];
    emitY = state.emit[1];
    emitZ = state.emit[2];
    reborn = state.reborn;
    // Between frames the buffers hold exactly the arrays: every change of
    // velocities is followed by an update, which uploads all four.
    upload();
}

bool Particle::holds(const State& state) const {
    // The arrays compare bitwise, so that a NaN position still matches its copy.
    return reborn == state.reborn && emitX == state.emit[0] && emitY == state.emit[1] && emitZ == state.emit[2] &&
           sameArray(positions, state.positions) && sameArray(velocities, state.velocities) &&
           sameArray(birthTimes, state.birthTimes) && sameArray(deathTimes, state.deathTimes);
}

} // namespace vq_engine
