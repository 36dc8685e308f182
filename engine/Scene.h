#ifndef VQ_ENGINE_SCENE_H
#define VQ_ENGINE_SCENE_H

namespace vq_engine {

// One part of the show: drawn by Demo::show while start < t < end.
class Scene {
public:
    // Starts with an empty window (0, 0); the subclass sets start and end.
    Scene();
    // Draws the scene at show time t in seconds: binds its program, sets its
    // uniforms, moves its clouds if its thresholds say so, and draws them.
    virtual void show(double t) = 0;

    // The aspect every scene hands to its projection. The show is laid out for
    // the integer quotient (1 on a 16:9 screen); a portrait window, where that
    // quotient would be 0, gets its true ratio instead.
    static double aspect(int width, int height);

    // Whether Demo::show draws the scene at t: start < t < end, both strict.
    bool showsAt(double t) const;

    // The window in show seconds; the scene is drawn only while start < t < end.
    double start;
    double end;
};

} // namespace vq_engine

#endif
