#ifndef VQ_ENGINE_SHADER_H
#define VQ_ENGINE_SHADER_H

#include <string>

namespace vq_engine {

// One compiled shader stage, read whole from a GLSL file. A stage that fails to
// compile is reported on standard output and still keeps its shader object.
// It remembers where it came from, so a program can build it again.
class Shader {
public:
    // Reads the file and compiles it as a stage of type (GL_VERTEX_SHADER, ...),
    // printing "Shader error", the source and the log when it does not compile.
    Shader(const char* path, unsigned int type);
    // Deletes the shader object (GL keeps it while a program has it attached).
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    // The GL shader object.
    unsigned int getShaderId();

    // The GL shader object, and the file and stage type it was compiled from.
    unsigned int id;
    std::string path;
    unsigned int type;
};

} // namespace vq_engine

#endif
