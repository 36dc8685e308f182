#include "tools/preview/Presenter.h"

namespace preview {

Presenter::Presenter(SDL_Window* window, SDL_GLContext context, const TimelineBar& bar)
    : window(window), context(context), bar(bar), thread(&Presenter::run, this) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return started; });
}

Presenter::~Presenter() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void Presenter::show(const Frame& frame) {
    std::unique_lock<std::mutex> lock(mutex);
    if (!error.empty()) {
        glDeleteSync(frame.drawn);
        return;
    }
    changed.wait(lock, [this] { return !pending; });
    next = frame;
    pending = true;
    changed.notify_all();
}

void Presenter::finish() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !pending && !busy; });
}

void Presenter::run() {
    bool current = SDL_GL_MakeCurrent(window, context) == 0;
    std::unique_lock<std::mutex> lock(mutex);
    started = true;
    if (!current)
        error = std::string("cannot make the window's OpenGL context current on the presenter's thread: ") +
                SDL_GetError();
    changed.notify_all();
    if (!current)
        return;
    // Paced by the display where it can; the play clock decides the frame either way.
    SDL_GL_SetSwapInterval(1);
    for (;;) {
        changed.wait(lock, [this] { return pending || stopping; });
        if (!pending)
            break;
        Frame frame = next;
        pending = false;
        busy = true;
        changed.notify_all();
        lock.unlock();
        put(frame);
        lock.lock();
        busy = false;
        framesShown++;
        changed.notify_all();
    }
    lock.unlock();
    SDL_GL_MakeCurrent(window, nullptr);
}

void Presenter::put(const Frame& frame) {
    glClientWaitSync(frame.drawn, 0, GL_TIMEOUT_IGNORED);
    glDeleteSync(frame.drawn);
    // Framebuffers are not shared between contexts: one of this context's
    // own reads the show's texture, made for the frame, since a texture of
    // the same name after a resize is another texture.
    GLuint source = 0;
    glGenFramebuffers(1, &source);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame.texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, frame.width, frame.height, 0, 0, frame.width, frame.height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &source);
    if (frame.barShown)
        bar.draw(frame.width, frame.time, frame.clock);
    SDL_GL_SwapWindow(window);
}

} // namespace preview
