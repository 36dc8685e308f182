#ifndef VQ_ENGINE_GLCHECK_H
#define VQ_ENGINE_GLCHECK_H

namespace vq_engine {

// Reports every pending GL error with the call, file and line that raised it.
// Returns true when there was none.
bool glCheck(const char* call, const char* file, int line);

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
