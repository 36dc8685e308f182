// The show of hello-particles, for its own main and for its preview and
// capture: one scene, ten seconds of silence, the word HELLO in particle
// glyphs before a cloud of stars, turning.
#ifndef HELLO_H
#define HELLO_H

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

#include "engine/Alphabet.h"
#include "engine/Demo.h"
#include "engine/ShaderProgram.h"

using namespace vq_engine;

const double showSeconds = 10.0;
const float cell = 0.04f; // glyph cell size in world units

struct HelloScene : Scene {
    HelloScene(int width, int height) {
        start = 0.0;
        end = showSeconds;
        addText(text, "HELLO", -textWidth(5, cell) / 2, -3.5f * cell, 0, cell); // centred on the origin
        program->addShader("data/stars.vs", GL_VERTEX_SHADER);
        program->addShader("data/stars.fs", GL_FRAGMENT_SHADER);
        program->compile();
        if (!program->isLinked()) { // it would draw nothing
            std::fprintf(stderr, "hello-particles: the program built from %s did not link (the shader errors are above)\n",
                         program->sourceFiles().c_str());
            std::exit(1);
        }
        double eye[3] = {0, 0, -2}, centre[3] = {0, 0, 0}, up[3] = {0, -1, 0}; // world y runs down the screen
        Matrix view, lens;
        view.lookAt(eye, centre, up);
        lens.perspective(35.0, double(width) / height, 0.1, 100.0);
        camera = view * lens; // A * B applies A first: model, then view, then lens
    }

    void show(double t) override {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        program->use();
        program->setParam("time", float(t));
        Matrix turn;
        turn.rotate(0.0, t * 0.1, 0.0);
        program->setParam("pmatrix", turn * camera);
        stars->update(t); // one step of motion per frame
        stars->draw();
        text->draw();
    }

    Particle* stars = new Particle(3000, -2.0f, 2.0f, -1.2f, 1.2f, 1.0f, 4.0f);
    PString* text = new PString();
    ShaderProgram* program = new ShaderProgram();
    Matrix camera;
};

struct HelloDemo : Demo {
    using Demo::Demo;
    void init() override {
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_PROGRAM_POINT_SIZE); // the vertex shader sizes the points
        scenes.push_back(new HelloScene(width, height));
    }
};

#endif
