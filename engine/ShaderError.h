#ifndef VQ_ENGINE_SHADERERROR_H
#define VQ_ENGINE_SHADERERROR_H

namespace vq_engine {

// Whether errorStr is given a shader or a program object.
enum ERROR_TYPE { SHADER_ERROR = 0, PROGRAM_ERROR = 1 };

// Prints the info log of a shader or program object on standard output.
class ShaderError {
public:
    // Nothing to build or release: the class only groups errorStr.
    ShaderError();
    ~ShaderError();

    // Prints the object's info log and a newline (an empty line for an empty log).
    static void errorStr(unsigned int id, ERROR_TYPE type);
};

} // namespace vq_engine

#endif
