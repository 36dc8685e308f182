#ifndef VQ_ENGINE_SHADER_H
#define VQ_ENGINE_SHADER_H

#include <string>

namespace vq_engine {

// One compiled shader stage, read whole from a GLSL file. A stage that fails to
// compile is reported on standard output and still keeps its shader object.
// It remembers where it came from, so a program can build it again.
class Shader {
public:
    Shader(const char* path, unsigned int type);
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    unsigned int getShaderId();

    unsigned int id;
    std::string path;
    unsigned int type;
};

} // namespace vq_engine

#endif
