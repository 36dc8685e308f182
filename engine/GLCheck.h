#ifndef VQ_ENGINE_GLCHECK_H
#define VQ_ENGINE_GLCHECK_H

namespace vq_engine {

// Reports every pending GL error with the call, file and line that raised it.
// Returns true when there was none.
bool glCheck(const char* call, const char* file, int line);

// Every engine class that makes GL objects calls this first in its
// constructor (never per frame). Without a current OpenGL 4.1 context whose
// entry points glewInit() has loaded, it prints one line naming the class
// and aborts: the first GL call would otherwise crash without a word.
void requireGLContext(const char* className);

} // namespace vq_engine

// Debug builds check after the wrapped call; release builds make only the call.
#ifdef NDEBUG
#define VQ_GL(call) call
#else
#define VQ_GL(call)                                          \
    do {                                                     \
        call;                                                \
        ::vq_engine::glCheck(#call, __FILE__, __LINE__);     \
    } while (0)
#endif

#endif
