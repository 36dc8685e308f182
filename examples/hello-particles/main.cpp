// hello-particles: the smallest complete demo on vq_engine, to copy as the start of your own. One
// scene, ten seconds of silence: the word HELLO in particle glyphs before a cloud of stars, turning.
#include <GL/glew.h>
#include <SDL.h>
#include <png.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "engine/Alphabet.h"
#include "engine/Demo.h"
#include "engine/RegularFile.h"
#include "engine/RenderBuffer.h"
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

int fail(const char* what, const char* why) {
    std::fprintf(stderr, "hello-particles: %s: %s\n", what, why);
    return 1;
}

int main(int argc, char** argv) {
    int width = 960, height = 540;
    const char* shot = nullptr;
    for (int i = 1; i < argc; i += 2) {
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (!std::strcmp(argv[i], "--shot") && *value)
            shot = value;
        else if (std::strcmp(argv[i], "--size") || std::sscanf(value, "%dx%d", &width, &height) != 2 ||
                 width < 1 || height < 1)
            return fail(argv[i], "usage: hello-particles [--size WIDTHxHEIGHT] [--shot FILE.png]");
    }
    if (!regularFileProblem("data/stars.vs").empty()) // a regular file: a pipe there would block the read
        return fail("cannot read data/stars.vs", "run it where data/ is, such as the build directory");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return fail("no display", SDL_GetError());
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("hello-particles", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                          height, SDL_WINDOW_OPENGL | (shot ? SDL_WINDOW_HIDDEN : 0));
    glewExperimental = GL_TRUE;
    if (!window || !SDL_GL_CreateContext(window) || glewInit() != GLEW_OK)
        return fail("no OpenGL 4.1 core window", *SDL_GetError() ? SDL_GetError() : "GLEW cannot load OpenGL");
    HelloDemo* demo = new HelloDemo(width, height);
    demo->init();

    if (shot) { // the frame at 3 s, drawn into an offscreen buffer of exactly this size
        RenderBuffer offscreen(width, height, 0, 1, true);
        offscreen.firstPass();
        demo->show(3.0);
        std::vector<unsigned char> rgb(size_t(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        png_image png = {nullptr, PNG_IMAGE_VERSION, unsigned(width), unsigned(height), PNG_FORMAT_RGB, 0, 0, 0, {}};
        bool written = png_image_write_to_file(&png, shot, 0, rgb.data(), -width * 3, nullptr); // rows bottom up
        return written ? 0 : fail(shot, png.message);
    }
    Uint32 started = SDL_GetTicks();
    for (double t = 0.0; t < showSeconds; t = (SDL_GetTicks() - started) / 1000.0) {
        for (SDL_Event event; SDL_PollEvent(&event);)
            if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
                return 0;
        demo->show(t);
        SDL_GL_SwapWindow(window);
    }
}
