#ifndef VQ_ENGINE_SCENE_H
#define VQ_ENGINE_SCENE_H

namespace vq_engine {

// One part of the show: drawn by Demo::show while start < t < end.
class Scene {
public:
    Scene();
    virtual void show(double t) = 0;

    // The aspect every scene hands to its projection. The show is laid out for
    // the integer quotient (1 on a 16:9 screen); a portrait window, where that
    // quotient would be 0, gets its true ratio instead.
    static double aspect(int width, int height);

    double start;
    double end;
};

} // namespace vq_engine

#endif
