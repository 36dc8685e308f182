#include "tools/capture/ShowRenderer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "demo/StartChecks.h"
#include "demo/MyDemo.h"
#include "engine/GLCheck.h"
#include "engine/RenderBuffer.h"
#include "tools/capture/GLWindow.h"

namespace capture {

namespace {

// The window only carries the context; frames go to the framebuffer.
const int windowSide = 16;
const size_t keptGLReports = 10;

} // namespace

ShowRenderer::ShowRenderer(int width, int height) : width(width), height(height) {}

ShowRenderer::~ShowRenderer() {
    if (context) {
        delete target;
        SDL_GL_DeleteContext(context);
    }
    if (window)
        SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::string ShowRenderer::open() {
    std::string error =
        openGLWindow("velquor-capture", windowSide, windowSide, SDL_WINDOW_HIDDEN, glCheck, window, context);
    if (!error.empty())
        return error;

    error = glCheck ? startGLCheck() : "";
    if (!error.empty())
        return error;
    error = makeFramebuffer();
    if (!error.empty())
        return error;
    // MyDemo's constructor sets the global GL state; each frame's first pass
    // binds the offscreen buffer and sets its viewport.
    demo = new MyDemo(width, height);
    demo->init();
    return brokenProgramReason();
}

std::string ShowRenderer::makeFramebuffer() {
    // Checked here for a message naming the limit; the buffer itself would only say it failed.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width > largest || height > largest)
        return "the frame size " + std::to_string(width) + "x" + std::to_string(height) +
               " is larger than this OpenGL allows (" + std::to_string(largest) + " a side)";
    target = new vq_engine::RenderBuffer(width, height, 0, 1, true);
    if (target->getError())
        return "cannot make an offscreen framebuffer of " + std::to_string(width) + "x" + std::to_string(height);
    return "";
}

void ShowRenderer::onGLMessage(const char* message, void* renderer) {
    ShowRenderer* self = static_cast<ShowRenderer*>(renderer);
    self->glProblems++;
    if (self->glReports.size() < keptGLReports) {
        char time[32];
        std::snprintf(time, sizeof time, "%.3f", self->drawing);
        self->glReports.push_back(std::string("GL at ") + time + " s: " + message);
    }
}

// Each message arrives inside the call that caused it, so the time is the frame's.
std::string ShowRenderer::startGLCheck() {
    std::string error = vq_engine::startGLDebugOutput(onGLMessage, this);
    return error.empty() ? "" : "--gl-check: " + error;
}

void ShowRenderer::draw(double t) {
    drawing = t;
    target->firstPass();
    demo->show(t);
    // Keeps the driver's queue short on frames that are never read.
    glFlush();
}

void ShowRenderer::read(RgbImage& frame) {
    readFramebuffer(target->getFramebuffer(), width, height, frame, rows);
}

void readFramebuffer(GLuint framebuffer, int width, int height, RgbImage& frame, std::vector<unsigned char>& rows) {
    if (frame.width != width || frame.height != height)
        frame = RgbImage(width, height);
    rows.resize(frame.rgb.size());
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(previous));
    // GL's rows run bottom to top.
    size_t stride = size_t(3) * width;
    for (int y = 0; y < height; y++)
        std::copy_n(&rows[stride * (height - 1 - y)], stride, frame.pixel(0, y));
}

} // namespace capture
