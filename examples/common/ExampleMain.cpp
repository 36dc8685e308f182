#include "examples/common/ExampleMain.h"

#include <GL/glew.h>
#include <SDL.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/RegularFile.h"
#include "engine/RenderBuffer.h"
#include "engine/ShaderProgram.h"

#include "tools/common/GLWindow.h"

namespace {

const int defaultWidth = 960;
const int defaultHeight = 540;
const int largestSide = 8192;
const int shotFramesPerSecond = 30;

struct Options {
    int width = defaultWidth;
    int height = defaultHeight;
    const char* shot = nullptr;
};

int complain(const char* name, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", name, message.c_str());
    return 1;
}

// Empty when the arguments are good, else what is wrong with them.
std::string parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        std::string name = argv[i];
        if (name != "--size" && name != "--shot")
            return "unknown option '" + name + "'; usage: [--size WIDTHxHEIGHT] [--shot FILE.png]";
        if (i + 1 == argc || !*argv[i + 1])
            return name + " needs a value";
        if (name == "--shot") {
            options.shot = argv[i + 1];
            continue;
        }
        char rest = 0;
        if (std::sscanf(argv[i + 1], "%dx%d%c", &options.width, &options.height, &rest) != 2 ||
            options.width < 1 || options.height < 1 || options.width > largestSide || options.height > largestSide)
            return "--size '" + std::string(argv[i + 1]) + "' is not a size such as 960x540 (1 to " +
                   std::to_string(largestSide) + " a side)";
    }
    return "";
}

bool escapeOrClose(Example* example) {
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
            quit = true;
        else if (event.type == SDL_KEYDOWN)
            example->key(event.key.keysym.sym);
    }
    return quit;
}

// The bound read framebuffer as a PNG; empty, or what went wrong.
std::string writeShot(const char* path, int width, int height) {
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(width);
    png.height = png_uint_32(height);
    png.format = PNG_FORMAT_RGB;
    // GL's rows run bottom to top: a negative stride writes the last one first.
    if (!png_image_write_to_file(&png, path, 0, rgb.data(), -width * 3, nullptr))
        return std::string("cannot write ") + path + ": " + png.message;
    return "";
}

int shoot(const ExampleSetup& setup, const Options& options, Example* example, vq_engine::RenderBuffer* target) {
    int frames = int(setup.shotSeconds * shotFramesPerSecond + 0.5);
    for (int n = 1; n <= frames; n++) {
        if (target)
            target->firstPass();
        example->show(double(n) / shotFramesPerSecond);
    }
    if (target)
        glBindFramebuffer(GL_READ_FRAMEBUFFER, target->getFramebuffer());
    else
        glReadBuffer(GL_BACK);
    std::string error = writeShot(options.shot, options.width, options.height);
    return error.empty() ? 0 : complain(setup.name, error);
}

void play(SDL_Window* window, Example* example) {
    Uint32 started = SDL_GetTicks();
    while (!escapeOrClose(example)) {
        example->show((SDL_GetTicks() - started) / 1000.0);
        SDL_GL_SwapWindow(window);
    }
}

} // namespace

int runExample(int argc, char** argv, const ExampleSetup& setup, MakeExample make) {
    Options options;
    std::string error = parse(argc, argv, options);
    if (!error.empty()) {
        complain(setup.name, error);
        return 2;
    }
    for (const char* path : setup.dataFiles) {
        std::string reason;
        FILE* file = vq_engine::openRegularFile(path, reason);
        if (!file)
            return complain(setup.name, std::string("cannot read ") + path + ": " + reason +
                                            " (run it where data/ is, such as the build directory)");
        std::fclose(file);
    }

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    error = tools::openGLWindow(setup.name, options.width, options.height, options.shot ? SDL_WINDOW_HIDDEN : 0, false,
                                window, context);
    if (!error.empty())
        return complain(setup.name, error);

    vq_engine::RenderBuffer* target = nullptr;
    if (options.shot && !setup.drawsToWindow) {
        target = new vq_engine::RenderBuffer(options.width, options.height, 0, 1, true);
        if (target->getError())
            return complain(setup.name, "cannot draw offscreen at " + std::to_string(options.width) + "x" +
                                           std::to_string(options.height));
    }
    // Like the demo's, the example lives until the process ends.
    Example* example = make(options.width, options.height);
    example->init();
    int status = 0;
    if (options.shot)
        status = shoot(setup, options, example, target);
    else
        play(window, example);
    delete target;
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return status;
}

void stopUnlessLinked(vq_engine::ShaderProgram* program, const char* example) {
    if (program->isLinked())
        return;
    std::fprintf(stderr, "%s: the program built from %s did not link (the shader errors are above)\n", example,
                 program->sourceFiles().c_str());
    std::exit(1);
}
