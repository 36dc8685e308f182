#include "engine/GLCheck.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

namespace vq_engine {

namespace {

const char* errorName(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    default: return "unknown GL error";
    }
}

// The version of the current context, 0 when there is none. Before glewInit
// the loaded entry points are null; without a current context GL answers
// glGetString with null.
int currentGLVersion() {
    if (!glCreateProgram || !glGenVertexArrays)
        return 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2)
        return 0;
    return 10 * major + minor;
}

} // namespace

void requireGLContext(const char* className) {
    int version = currentGLVersion();
    if (version >= 41)
        return;
    std::fprintf(stderr,
                 "vq_engine: a %s needs a current OpenGL 4.1 context (%s): make the context current and call "
                 "glewInit() before making engine objects\n",
                 className, version ? "this one is older" : "there is none");
    std::abort();
}

bool glCheck(const char* call, const char* file, int line) {
    bool clean = true;
    // A broken context can report the same error forever: bound the drain.
    for (int i = 0; i < 16; i++) {
        GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            break;
        std::fprintf(stderr, "%s:%d: %s failed: %s (0x%04x)\n", file, line, call, errorName(error),
                     error);
        clean = false;
    }
    return clean;
}

} // namespace vq_engine
