#include "engine/GLCheck.h"

#include <GL/glew.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

#ifdef __EMSCRIPTEN__
// A WebGL 2 context is OpenGL ES 3.0, which has everything the engine's
// classes use on the web; it answers "OpenGL ES 3.0 (WebGL 2.0 ...)".
const int requiredVersion = 30;
const char* const requiredContext = "WebGL 2";
const char* const versionPrefix = "OpenGL ES ";
#else
const int requiredVersion = 41;
const char* const requiredContext = "OpenGL 4.1";
const char* const versionPrefix = "";
#endif

// "MAJOR.MINOR..." after prefix as 10 * MAJOR + MINOR, 0 when it is not that.
// Read by hand: the scanf family is most of a small WebAssembly module.
int parseVersion(const char* version, const char* prefix) {
    size_t length = std::strlen(prefix);
    if (std::strncmp(version, prefix, length) != 0)
        return 0;
    const char* major = version + length;
    char* dot = nullptr;
    long majorNumber = std::strtol(major, &dot, 10);
    if (dot == major || *dot != '.' || !std::isdigit(static_cast<unsigned char>(dot[1])))
        return 0;
    return int(10 * majorNumber + std::strtol(dot + 1, nullptr, 10));
}

// The version of the current context, 0 when there is none. Before glewInit
// the loaded entry points are null; without a current context GL answers
// glGetString with null.
int currentGLVersion() {
#ifndef __EMSCRIPTEN__
    if (!glCreateProgram || !glGenVertexArrays)
        return 0;
#endif
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return version ? parseVersion(version, versionPrefix) : 0;
}

#ifndef __EMSCRIPTEN__
// Sent through the debug output once it is on, to show that it reports.
const GLuint selfTestId = 0x5e1f;

struct DebugOutput {
    GLMessageSink sink = nullptr;
    void* user = nullptr;
    bool selfTestSeen = false;
};

// The one receiver of the process; a later start replaces it.
DebugOutput debugOutput;

void GLAPIENTRY onDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei,
                               const GLchar* message, const void* output) {
    DebugOutput* to = static_cast<DebugOutput*>(const_cast<void*>(output));
    if (source == GL_DEBUG_SOURCE_APPLICATION && id == selfTestId) {
        to->selfTestSeen = true;
        return;
    }
    if (severity == GL_DEBUG_SEVERITY_NOTIFICATION || type == GL_DEBUG_TYPE_PUSH_GROUP ||
        type == GL_DEBUG_TYPE_POP_GROUP || type == GL_DEBUG_TYPE_MARKER)
        return;
    to->sink(message, to->user);
}
#endif

} // namespace

void requireGLContext(const char* className) {
    int version = currentGLVersion();
    if (version >= requiredVersion)
        return;
    std::fprintf(stderr,
                 "vq_engine: a %s needs a current %s context (%s): make the context current and call "
                 "glewInit() before making engine objects\n",
                 className, requiredContext, version ? "this one is older" : "there is none");
    std::abort();
}

std::string startGLDebugOutput(GLMessageSink sink, void* user) {
#ifdef __EMSCRIPTEN__
    (void)sink;
    (void)user;
    return "WebGL gives no debug output";
#else
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    if (!(flags & GL_CONTEXT_FLAG_DEBUG_BIT) || !glDebugMessageCallback)
        return "this OpenGL gives no debug context";
    debugOutput = DebugOutput{sink, user, false};
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onDebugMessage, &debugOutput);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_OTHER, selfTestId, GL_DEBUG_SEVERITY_LOW, -1,
                         "vq_engine: debug output self-test");
    if (!debugOutput.selfTestSeen)
        return "the GL debug output reports nothing";
    return "";
#endif
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
