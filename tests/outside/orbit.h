// Orbit: a show on the engine that is nothing like Velquor, for the tests of
// the tools for any show. A silent 40 s, two scenes of its own shaders: a
// swarm streaming from an emitter that circles the centre, and from 10 s a
// cube of points that turns and, from 15 s, scatters.
#ifndef ORBIT_H
#define ORBIT_H

#include <GL/glew.h>

#include <cmath>

#include "engine/Demo.h"
#include "engine/Matrix.h"
#include "engine/Particle.h"
#include "engine/ShaderProgram.h"
#include "tools/ShowTools.h"

namespace orbit {

using namespace vq_engine;

const double length = 40.0;

inline ShaderProgram* orbitProgram() {
    ShaderProgram* program = new ShaderProgram();
    program->addShader("data/orbit.vs", GL_VERTEX_SHADER);
    program->addShader("data/orbit.fs", GL_FRAGMENT_SHADER);
    program->compile();
    return program;
}

// The eye 3 units back, the true aspect ratio, y up.
inline Matrix camera(int width, int height) {
    double eye[3] = {0, 0, 3}, centre[3] = {0, 0, 0}, up[3] = {0, 1, 0};
    Matrix view, lens;
    view.lookAt(eye, centre, up);
    lens.perspective(50.0, double(width) / height, 0.1, 50.0);
    return view * lens;
}

struct Swarm : Scene {
    Swarm(int width, int height) : lens(camera(width, height)) {
        start = 0.0;
        end = length;
    }
    void show(double t) override {
        glClearColor(0.02f, 0.02f, 0.06f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        program->use();
        program->setParam("pmatrix", lens);
        program->setParam("time", float(t));
        cloud->update(t, 0.8 * std::cos(t), 0.5 * std::sin(2.0 * t), 0.3 * std::sin(t));
        cloud->draw();
    }
    Particle* cloud = new Particle(2000, 0.8f, 0.0f, 0.0f);
    ShaderProgram* program = orbitProgram();
    Matrix lens;
};

struct Cube : Scene {
    Cube(int width, int height) : lens(camera(width, height)) {
        start = 10.0;
        end = length;
    }
    void show(double t) override {
        program->use();
        Matrix turn;
        turn.rotate(0.3 * t, 0.7 * t, 0.0);
        program->setParam("pmatrix", turn * lens);
        program->setParam("time", float(t));
        if (t > 15.0) { // new random drifts every frame: the random stream is part of the state
            cloud->noreborn();
            cloud->unifydir(0.006, -0.004, 0.003);
        }
        cloud->update(t);
        cloud->draw();
    }
    Particle* cloud = new Particle(1200, -0.4f, 0.4f, -0.4f, 0.4f, -0.4f, 0.4f);
    ShaderProgram* program = orbitProgram();
    Matrix lens;
};

struct OrbitDemo : Demo {
    using Demo::Demo;
    void init() override {
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_PROGRAM_POINT_SIZE);
        scenes.push_back(new Swarm(width, height));
        scenes.push_back(new Cube(width, height));
    }
};

inline vq_tools::Show orbitShow() {
    vq_tools::Show show;
    show.name = "orbit";
    show.make = [](int width, int height) -> Demo* {
        Demo* demo = new OrbitDemo(width, height);
        demo->init();
        return demo;
    };
    show.seconds = length;
    show.cues = {{10.0, "the cube"}, {15.0, "the cube scatters"}};
    show.files = {"data/orbit.vs", "data/orbit.fs"};
    return show;
}

} // namespace orbit

#endif
