// hello-particles: the smallest complete demo on vq_engine, to copy as the start of your own. One
// scene, ten seconds of silence: the word HELLO in particle glyphs before a cloud of stars, turning.
#include <GL/glew.h>
#include <SDL.h>
#include <png.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "engine/RegularFile.h"
#include "engine/RenderBuffer.h"
#include "hello.h"

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
