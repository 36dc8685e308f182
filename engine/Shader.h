#ifndef VQ_ENGINE_SHADER_H
#define VQ_ENGINE_SHADER_H

namespace vq_engine {

// One compiled shader stage, read whole from a GLSL file. A stage that fails to
// compile is reported on standard output and still keeps its shader object.
class Shader {
public:
    Shader(const char* path, unsigned int type);
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    unsigned int getShaderId();

    unsigned int id;
};

} // namespace vq_engine

#endif
