#ifndef VQ_ENGINE_SHADERERROR_H
#define VQ_ENGINE_SHADERERROR_H

namespace vq_engine {

enum ERROR_TYPE { SHADER_ERROR = 0, PROGRAM_ERROR = 1 };

// Prints the info log of a shader or program object on standard output.
class ShaderError {
public:
    ShaderError();
    ~ShaderError();

    static void errorStr(unsigned int id, ERROR_TYPE type);
};

} // namespace vq_engine

#endif
