#ifndef VELQUOR_CAPTURE_SHOWRENDERER_H
#define VELQUOR_CAPTURE_SHOWRENDERER_H

#include <GL/glew.h>
#include <SDL.h>

#include <string>
#include <vector>

#include "tools/common/PngFile.h"

class MyDemo;
namespace vq_engine {
class RenderBuffer;
}

namespace capture {

// The show, built in a hidden window's OpenGL 4.1 core context and drawn into
// an offscreen framebuffer of exactly the capture's size, whatever the screen.
class ShowRenderer {
public:
    ShowRenderer(int width, int height);
    ~ShowRenderer();
    ShowRenderer(const ShowRenderer&) = delete;
    ShowRenderer& operator=(const ShowRenderer&) = delete;

    // Opens the window and the context and builds the demo; an error
    // message, or empty.
    std::string open();
    // Draws the show at time t, as one frame of the live demo would.
    void draw(double t);
    // The last frame drawn, row 0 at the top.
    void read(RgbImage& frame);

    int width;
    int height;
    // Set before open(): a debug context that collects every GL error and
    // driver warning, each as one line with the time being drawn.
    bool glCheck = false;
    long long glProblems = 0;
    std::vector<std::string> glReports; // the first few

private:
    std::string makeFramebuffer();
    std::string startGLCheck();
    static void GLAPIENTRY onGLMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                                       const GLchar* message, const void* renderer);

    double drawing = 0.0;
    bool selfTestSeen = false;

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    // The engine's render-to-texture buffer: one colour texture and depth.
    vq_engine::RenderBuffer* target = nullptr;
    // GL's bottom-up rows, kept between frames: a fresh frame-sized buffer
    // each time costs more than the read itself.
    std::vector<unsigned char> rows;
    // Like the live demo's, created once and never deleted: its scenes own GL
    // objects for the life of the process.
    MyDemo* demo = nullptr;
};

// A framebuffer's colour picture, row 0 at the top; rows is scratch space
// kept between calls. The read framebuffer binding is left as it was.
void readFramebuffer(GLuint framebuffer, int width, int height, RgbImage& frame, std::vector<unsigned char>& rows);

} // namespace capture

#endif
