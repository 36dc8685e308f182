#include "engine/GLCheck.h"

#include <GL/glew.h>

#include <cstdio>

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

} // namespace

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
