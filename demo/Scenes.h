#ifndef VELQUOR_SCENES_H
#define VELQUOR_SCENES_H

#include <vector>

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Particle.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

// The nine scenes of the show, in drawing order. Each is built by its
// constructor for a window of width x height: its window in show time from
// demo/Cues.h, its content, its own particle program and its projection.
// The glyph scenes build their string in create followed by the class name.

class Background : public vq_engine::Scene {
public:
    static constexpr int cloudCount = 122;

    Background(int width, int height);
    void show(double t) override;

    vq_engine::Particle* clouds[cloudCount];
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class Begin : public vq_engine::Scene {
public:
    Begin(int width, int height);
    void show(double t) override;
    void createBegin();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class Fourteen : public vq_engine::Scene {
public:
    Fourteen(int width, int height);
    void show(double t) override;
    void createFourteen();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class Thirtytwo : public vq_engine::Scene {
public:
    Thirtytwo(int width, int height);
    void show(double t) override;
    void createThirtytwo();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class N158 : public vq_engine::Scene {
public:
    N158(int width, int height);
    void show(double t) override;
    void createN158();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class N271 : public vq_engine::Scene {
public:
    N271(int width, int height);
    void show(double t) override;
    void createN271();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class Million : public vq_engine::Scene {
public:
    Million(int width, int height);
    void show(double t) override;
    void createMillion();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class Tovelplex : public vq_engine::Scene {
public:
    Tovelplex(int width, int height);
    void show(double t) override;
    void createTovelplex();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

class RandomNums : public vq_engine::Scene {
public:
    static constexpr int digitCount = 100;

    RandomNums(int width, int height);
    void show(double t) override;
    void createRandomNums();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

// One row of the show's table of scenes: how to build the scene, what to call
// it, and how tools reach its clouds (all the state it carries from frame to
// frame) and its projection (for a window that changes shape).
struct SceneKind {
    const char* name;
    vq_engine::Scene* (*build)(int width, int height);
    std::vector<vq_engine::Particle*> (*clouds)(vq_engine::Scene* scene);
    vq_engine::Matrix* (*projection)(vq_engine::Scene* scene);
};

// The nine scenes in drawing order. Background clears the frame, so it is
// first; RandomNums is last, since its digits come from the random stream
// after every cloud built before it.
extern const SceneKind showScenes[];
extern const int showSceneCount;

#endif
