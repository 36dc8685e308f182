// engine_mistakes MODE: makes one of a newcomer's mistakes with the engine,
// for engine_mistakes_test to watch from outside. Run where data/ is.
//   particle-first    a Particle before any GL context
//   program-first     a ShaderProgram before any GL context
//   after-context     a Particle after the context was deleted again
//   misspelt-uniform  three frames setting "pmatrx" (and "time") on the stars program
//   never-compiled    three frames of use() on a program never compiled
#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>
#include <string>

#include "engine/Particle.h"
#include "engine/ShaderProgram.h"

namespace {

SDL_GLContext openContext() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("engine_mistakes", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    glewExperimental = GL_TRUE;
    return context && glewInit() == GLEW_OK ? context : nullptr;
}

// Three frames of what a scene's show() does with its program.
void drawFrames(bool compiled) {
    vq_engine::ShaderProgram program;
    program.addShader("data/stars.vs", GL_VERTEX_SHADER);
    program.addShader("data/stars.fs", GL_FRAGMENT_SHADER);
    if (compiled)
        program.compile();
    for (int frame = 0; frame < 3; frame++) {
        program.use();
        program.setParam("pmatrx", vq_engine::Matrix());
        program.setParam("time", 1.0f);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc == 2 ? argv[1] : "";
    if (mode == "particle-first")
        new vq_engine::Particle(10, 0.0f, 0.0f, 0.0f);
    if (mode == "program-first")
        new vq_engine::ShaderProgram();
    SDL_GLContext context = openContext();
    if (!context) {
        std::fprintf(stderr, "engine_mistakes: no OpenGL 4.1 context: %s\n", SDL_GetError());
        return 2;
    }
    if (mode == "after-context") {
        SDL_GL_DeleteContext(context);
        new vq_engine::Particle(10, 0.0f, 0.0f, 0.0f);
    }
    if (mode != "misspelt-uniform" && mode != "never-compiled") {
        std::fprintf(stderr, "engine_mistakes: no such mistake: %s\n", mode.c_str());
        return 2;
    }
    drawFrames(mode == "misspelt-uniform");
    // The window and GL stay until exit, so that what Mesa keeps for the
    // process is reported under its library's name and suppressed.
    return 0;
}
