#include "tools/common/OffscreenShow.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

#include "engine/GLCheck.h"
#include "engine/RenderBuffer.h"
#include "tools/common/GLWindow.h"

namespace tools {

namespace {

// The window only carries the context; frames go to the framebuffer.
const int windowSide = 16;
const size_t keptGLReports = 10;

} // namespace

OffscreenShow::OffscreenShow(const vq_tools::Show& description, int width, int height)
    : width(width), height(height), description(description), runner(description) {}

// Built in someone else's context, it leaves the context and SDL to them.
OffscreenShow::~OffscreenShow() {
    if (!ownsWindow)
        return;
    if (context) {
        close();
        SDL_GL_DeleteContext(context);
    }
    if (window)
        SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void OffscreenShow::close() {
    deleteFramebuffers();
    if (inFlight)
        glDeleteSync(inFlight);
    inFlight = nullptr;
}

std::string OffscreenShow::open(const char* title) {
    ownsWindow = true;
    // Only asked for when sharing: before SDL's video starts it cannot be set.
    if (shareWithCurrent)
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    std::string error = openGLWindow(title, windowSide, windowSide, SDL_WINDOW_HIDDEN, glCheck, window, context);
    if (shareWithCurrent)
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    if (!error.empty())
        return error;
    error = glCheck ? startGLCheck() : "";
    return error.empty() ? build() : error;
}

std::string OffscreenShow::build() {
    // Checked before the demo is built: a failing buffer would only say it failed.
    std::string error = makeFramebuffer();
    if (!error.empty())
        return error;
    error = buildShow();
    return error.empty() ? brokenProgramReason() : error;
}

std::string OffscreenShow::buildShow() {
    // The first pass of each frame binds the offscreen buffer and sets its viewport.
    std::string error = runner.build(width, height);
    demo = runner.demo;
    return error;
}

std::string OffscreenShow::brokenProgramReason() const {
    std::string reason = runner.brokenProgramReason();
    return reason.empty() ? "" : reason + " (the shader errors are above)";
}

std::string OffscreenShow::sceneName(vq_engine::Scene* scene) {
    const char* mangled = typeid(*scene).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return status == 0 && name ? name.get() : mangled;
}

std::string OffscreenShow::rebuild(int width, int height, bool fresh) {
    finish();
    // The buffers stay for a show started afresh at its size: the last frame
    // drawn into them may still be on its way to a window.
    if (width != this->width || height != this->height) {
        deleteFramebuffers();
        this->width = width;
        this->height = height;
        std::string error = makeFramebuffer();
        if (!error.empty())
            return error;
    }
    // The old show's clouds and programs go while the context is current.
    std::string error = runner.rebuild(width, height, fresh);
    demo = runner.demo;
    return error;
}

GLuint OffscreenShow::framebuffer() const {
    return targets[current]->getFramebuffer();
}

GLuint OffscreenShow::texture() const {
    return targets[current]->getRenderTexture(0);
}

std::string OffscreenShow::makeFramebuffer() {
    // Checked here for a message naming the limit; the buffer itself would only say it failed.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width > largest || height > largest)
        return "the frame size " + std::to_string(width) + "x" + std::to_string(height) +
               " is larger than this OpenGL allows (" + std::to_string(largest) + " a side)";
    if (buffers < 1 || buffers > maxBuffers)
        return "an offscreen show draws into 1 to " + std::to_string(maxBuffers) + " buffers, not " +
               std::to_string(buffers);
    for (int i = 0; i < buffers; i++) {
        targets[i] = new vq_engine::RenderBuffer(width, height, 0, 1, true);
        if (targets[i]->getError())
            return "cannot make an offscreen framebuffer of " + std::to_string(width) + "x" + std::to_string(height);
    }
    return "";
}

void OffscreenShow::deleteFramebuffers() {
    for (vq_engine::RenderBuffer*& target : targets) {
        delete target;
        target = nullptr;
    }
}

// Errors, undefined behaviour, deprecated or unportable use and performance
// warnings all count; only notifications (the driver's chatter) do not.
void OffscreenShow::onGLMessage(const char* message, void* show) {
    OffscreenShow* self = static_cast<OffscreenShow*>(show);
    self->glProblems++;
    if (self->glReports.size() < keptGLReports) {
        char time[32];
        std::snprintf(time, sizeof time, "%.3f", self->drawing);
        self->glReports.push_back(std::string("GL at ") + time + " s: " + message);
    }
}

// Each message arrives inside the call that caused it, so the time is the frame's.
std::string OffscreenShow::startGLCheck() {
    std::string error = vq_engine::startGLDebugOutput(onGLMessage, this);
    return error.empty() ? "" : "--gl-check: " + error;
}

void OffscreenShow::draw(double t) {
    drawing = t;
    current = (current + 1) % buffers;
    targets[current]->firstPass();
    demo->show(t);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    fence();
}

void OffscreenShow::step(double t) {
    drawing = t;
    demo->step(t);
}

// The previous frame's fence is waited on only once this frame's commands
// are sent: the work of sending one frame overlaps the drawing of the last.
void OffscreenShow::fence() {
    GLsync sent = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    if (inFlight) {
        glClientWaitSync(inFlight, 0, GL_TIMEOUT_IGNORED);
        glDeleteSync(inFlight);
    }
    inFlight = sent;
}

void OffscreenShow::finish() {
    if (!inFlight)
        return;
    glClientWaitSync(inFlight, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
    glDeleteSync(inFlight);
    inFlight = nullptr;
}

void OffscreenShow::read(RgbImage& frame) {
    readFramebuffer(framebuffer(), width, height, frame, rows);
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

} // namespace tools
