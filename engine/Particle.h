#ifndef VQ_ENGINE_PARTICLE_H
#define VQ_ENGINE_PARTICLE_H

#include <GL/glew.h>

#include <vector>

#include "engine/Point3D.h"

namespace vq_engine {

// A cloud of points, kept both as CPU arrays and as four GPU buffers (position,
// velocity, birth time, death time at attribute locations 0 to 3). Each update
// moves every point by its velocity once, re-emits expired points at the
// emission point while reborn is set, and uploads all four arrays again.
// Random values come from the process-wide drand48 stream, in a fixed order.
class Particle {
public:
    // Every point starts at (x, y, z), which is also the emission point.
    Particle(int count, float x, float y, float z);
    // Points scattered over the box; the emission point is its far corner (x1, y1, z1).
    Particle(int count, float x0, float x1, float y0, float y1, float z0, float z1);
    ~Particle();
    Particle(const Particle&) = delete;
    Particle& operator=(const Particle&) = delete;

    void createOpenGLBinding();
    // Draws with whatever program and uniforms the caller has set.
    void draw();

    void update(double time);
    void update(double time, double x, double y, double z);
    // New random velocities for every point, each component in [0, scale).
    void unifydir(double dx, double dy, double dz);
    void noreborn();
    void addConstrait(float ax, float ay, float az, float bx, float by, float bz, float cx, float cy,
                      float cz);
    // Whether point index, taking its next step, crosses triangle number triangle.
    bool collision(int index, int triangle);
    double volume(Point3D a, Point3D b, Point3D c, Point3D d);

    float emitX;
    float emitY;
    float emitZ;
    int count;
    GLuint vao;
    GLuint vbo[4];
    bool reborn;
    std::vector<float> positions;
    std::vector<float> velocities;
    std::vector<float> birthTimes;
    std::vector<float> deathTimes;
    std::vector<float> constraints;

private:
    void upload();
    void rebirth(int i, double time);
    void step(int i);
};

} // namespace vq_engine

#endif
