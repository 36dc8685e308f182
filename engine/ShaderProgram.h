#ifndef VQ_ENGINE_SHADERPROGRAM_H
#define VQ_ENGINE_SHADERPROGRAM_H

#include "engine/Matrix.h"

namespace vq_engine {

class Texture;

// A linked GPU program with uniform setters by name. It owns its program
// object, so it cannot be copied: a copy would delete the object the original
// still draws with.
class ShaderProgram {
public:
    ShaderProgram();
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Compiles the stage from a file and attaches it; the stage stays attached
    // for the life of the context.
    void addShader(const char* path, unsigned int type);
    // Links, then validates, printing "Link error" or "Validate error" with
    // the program's log on failure.
    void compile();
    unsigned int getProgramID();
    // Makes the program current and starts handing out texture units from 0.
    void use();

    // The setters act on whichever program is current.
    void setParam(const char* name, float value);
    void setParam(const char* name, int value);
    void setParam(const char* name, Matrix m);
    // Binds a 2D texture on the next unit and points the sampler at it.
    void addTexture(const char* name, unsigned int texture);
    void addTexture(const char* name, Texture* texture);

    unsigned int id;
    int textureUnit;
};

} // namespace vq_engine

#endif
