// The first demo of docs/engine.md, its frame at 3 s: install_test writes
// the guide's main.cpp beside this file and builds both against an install.
// The frame is drawn into an offscreen buffer of the given size and written
// as a PNG, as the examples' --shot does.
#define main guideMain
#include "main.cpp"
#undef main

#include <png.h>

#include <vector>

#include "engine/RenderBuffer.h"

int main(int argc, char** argv) {
    int width = 0, height = 0;
    if (argc != 3 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
        std::fprintf(stderr, "usage: guide-shot WIDTHxHEIGHT FILE.png\n");
        return 2;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_Init(SDL_INIT_VIDEO) != 0 ? nullptr
                                                      : SDL_CreateWindow("guide-shot", 0, 0, width, height,
                                                                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    glewExperimental = GL_TRUE;
    if (!window || !SDL_GL_CreateContext(window) || glewInit() != GLEW_OK) {
        std::fprintf(stderr, "guide-shot: no OpenGL 4.1 core context: %s\n", SDL_GetError());
        return 1;
    }
    SpinDemo* demo = new SpinDemo(width, height);
    demo->init();
    RenderBuffer offscreen(width, height, 0, 1, true);
    offscreen.firstPass();
    demo->show(3.0);
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    png_image png = {nullptr, PNG_IMAGE_VERSION, unsigned(width), unsigned(height), PNG_FORMAT_RGB, 0, 0, 0, {}};
    if (png_image_write_to_file(&png, argv[2], 0, rgb.data(), -width * 3, nullptr)) // rows bottom up
        return 0;
    std::fprintf(stderr, "guide-shot: %s: %s\n", argv[2], png.message);
    return 1;
}
