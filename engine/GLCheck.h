#ifndef VQ_ENGINE_GLCHECK_H
#define VQ_ENGINE_GLCHECK_H

#include <string>

namespace vq_engine {

// Reports every pending GL error with the call, file and line that raised it.
// Returns true when there was none.
bool glCheck(const char* call, const char* file, int line);

// Every engine class that makes GL objects calls this first in its
// constructor (never per frame). Without a current OpenGL 4.1 context whose
// entry points glewInit() has loaded, it prints one line naming the class
// and aborts: the first GL call would otherwise crash without a word.
void requireGLContext(const char* className);

// The value of a checked call that returns one.
template <typename T>
T glChecked(T value, const char* call, const char* file, int line) {
    glCheck(call, file, line);
    return value;
}

// Receives each problem the GL debug output reports, as its text.
using GLMessageSink = void (*)(const char* message, void* user);

// Turns on the GL debug output (KHR_debug) of the current context, every
// message, each delivered inside the call that caused it, and hands sink
// every one that is a problem: errors, undefined behaviour, deprecated or
// unportable use and performance warnings; not notifications or group
// markers. The context must be a debug one; the output proves itself with
// one message of its own first. Returns why it cannot, or empty.
std::string startGLDebugOutput(GLMessageSink sink, void* user);

} // namespace vq_engine

// With VQ_GL_CHECKS (a CMake option: on in the test and sanitizer builds, off
// in release builds) every engine GL call that can fail is checked after it
// returns; without it, only the call is made. VQ_GL wraps a statement,
// VQ_GL_VALUE a call whose value is used.
#ifdef VQ_GL_CHECKS
#define VQ_GL(call)                                          \
    do {                                                     \
        call;                                                \
        ::vq_engine::glCheck(#call, __FILE__, __LINE__);     \
    } while (0)
#define VQ_GL_VALUE(call) ::vq_engine::glChecked((call), #call, __FILE__, __LINE__)
#else
#define VQ_GL(call) call
#define VQ_GL_VALUE(call) (call)
#endif

#endif
