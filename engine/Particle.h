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
    // Every point starts at (x, y, z) (world units), also the emission point.
    Particle(int count, float x, float y, float z);
    // Points scattered over the box (world units); the emission point is its
    // far corner (x1, y1, z1).
    Particle(int count, float x0, float x1, float y0, float y1, float z0, float z1);
    ~Particle();
    Particle(const Particle&) = delete;
    Particle& operator=(const Particle&) = delete;

    // Makes the vertex array and the four buffers, sized for count points,
    // and uploads the arrays; the constructors call it. The arrays are cut,
    // or padded with zeros, to count points first. Called again, for a new
    // count, it deletes the objects it made before, so nothing leaks.
    void createOpenGLBinding();
    // Sends the four arrays to the GPU buffers as they are now, for a cloud
    // whose positions, velocities or times the caller wrote itself (update
    // does this after its step). Each array must hold its floats for count
    // points; an array of another size is named on standard error and
    // nothing is sent.
    void upload();
    // Draws with whatever program and uniforms the caller has set; nothing
    // while skipDraws is set.
    void draw();
    // Set while Demo::step moves a show on where GL itself cannot be told
    // to skip draws (WebGL has no conditional rendering): every cloud's
    // draw then sends nothing, and its points are not even shaded.
    static bool skipDraws;
    // Every cloud not yet deleted, in the order they were made: with the
    // random stream, all that a show carries from one frame to the next, so
    // tools can save and restore a show without knowing its scenes.
    static std::vector<Particle*> live;

    // One motion step at time (seconds on the caller's clock): every point moves
    // by its velocity, expired points are re-emitted while reborn is set, and all
    // four arrays are uploaded. Call it at most once per frame: motion is per call.
    void update(double time);
    // Moves the emission point to (x, y, z), then steps as update(time).
    void update(double time, double x, double y, double z);
    // New random velocities for every point, each component in [0, scale)
    // with dx, dy, dz the scales in world units per update call:
    // with positive scales every point drifts the same way (+x, +y, +z), and
    // a negative scale turns that axis round. The show relies on exactly
    // this; for a burst in every direction write velocities yourself and
    // upload().
    void unifydir(double dx, double dy, double dz);
    // Stops re-emission for good: expired points keep drifting.
    void noreborn();
    // Adds a triangle A, B, C that points bounce off (their velocity reverses).
    void addConstrait(float ax, float ay, float az, float bx, float by, float bz, float cx, float cy,
                      float cz);
    // Whether point index, taking its next step, crosses triangle number triangle.
    bool collision(int index, int triangle);
    // The signed volume measure of the tetrahedron a, b, c, d that collision uses.
    double volume(Point3D a, Point3D b, Point3D c, Point3D d);

    // All that a cloud carries from one frame to the next: a saved state put
    // back makes the cloud move, re-emit and draw on exactly as it did then.
    struct State {
        std::vector<float> positions;
        std::vector<float> velocities;
        std::vector<float> birthTimes;
        std::vector<float> deathTimes;
        float emit[3];
        bool reborn;
    };
    State save() const;
    // Puts the state back into the arrays and the GPU buffers.
    void restore(const State& state);
    // Whether the cloud is in exactly this state now.
    bool holds(const State& state) const;

    // Where re-emitted points appear.
    float emitX;
    float emitY;
    float emitZ;
    // Number of points, fixed at construction.
    int count;
    // The vertex array over the four buffers.
    GLuint vao;
    // Positions, velocities, birth times, death times, at locations 0 to 3.
    GLuint vbo[4];
    // While true, update re-emits expired points.
    bool reborn;
    // x, y, z of every point, in world units.
    std::vector<float> positions;
    // Displacement of every point per update call.
    std::vector<float> velocities;
    // When each point was last emitted.
    std::vector<float> birthTimes;
    // When each point is due to be emitted again.
    std::vector<float> deathTimes;
    // Nine floats per bounce triangle.
    std::vector<float> constraints;

private:
    void rebirth(int i, double time);
    void step(int i);
};

} // namespace vq_engine

#endif
