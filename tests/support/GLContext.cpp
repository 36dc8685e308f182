#include "tests/support/GLContext.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "tests/support/XServer.h"
#include "tools/common/GLWindow.h"

namespace {

std::unique_ptr<XServer> privateDisplay;
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;

// Mesa unloads its driver when the display closes, before LeakSanitizer looks
// at what is left at exit; kept loaded, the driver's own never-freed state is
// reported under the driver's name, which the suppressions file lists.
int keepDriverLoaded(dl_phdr_info* library, size_t, void*) {
    const char* name = library->dlpi_name;
    if (std::strstr(name, "_dri.so") || std::strstr(name, "libGLX_mesa.so"))
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

} // namespace

void GLContext::SetUp() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        privateDisplay.reset(new XServer(1280, 720));
        ASSERT_TRUE(privateDisplay->running()) << "could not start Xvfb";
        setenv("DISPLAY", privateDisplay->display.c_str(), 1);
    }
    ASSERT_EQ(tools::openGLWindow("velquor tests", 64, 64, SDL_WINDOW_HIDDEN, false, window, context), "");
    // Every failure below is one on this driver.
    std::printf("OpenGL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    dl_iterate_phdr(keepDriverLoaded, nullptr);
}

void GLContext::TearDown() {
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    privateDisplay.reset();
}

std::vector<float> readBuffer(GLuint buffer, size_t count) {
    std::vector<float> values(count);
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(count * sizeof(float)), values.data());
    glBindBuffer(GL_ARRAY_BUFFER, GLuint(previous));
    return values;
}

OffscreenTarget::OffscreenTarget(int width, int height) : width(width), height(height) {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glViewport(0, 0, width, height);
}

OffscreenTarget::~OffscreenTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &depth);
    glDeleteRenderbuffers(1, &colour);
    glDeleteFramebuffers(1, &framebuffer);
}

Image OffscreenTarget::read() const {
    Image image;
    image.width = width;
    image.height = height;
    std::vector<unsigned char> rgba(size_t(4) * width * height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    image.rgb.resize(size_t(3) * width * height);
    for (int y = 0; y < height; y++) {
        const unsigned char* row = &rgba[size_t(4) * width * (height - 1 - y)];
        for (int x = 0; x < width; x++)
            for (int c = 0; c < 3; c++)
                image.rgb[size_t(3) * (size_t(y) * width + x) + c] = row[4 * x + c];
    }
    return image;
}
