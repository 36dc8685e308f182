#ifndef VQ_ENGINE_SHADERPROGRAM_H
#define VQ_ENGINE_SHADERPROGRAM_H

#include <string>
#include <vector>

#include "engine/Matrix.h"

namespace vq_engine {

class Shader;
class Texture;

// A linked GPU program with uniform setters by name. It owns its program
// object and the stages it compiled, so it cannot be copied: a copy would
// delete the objects the original still draws with.
class ShaderProgram {
public:
    // An empty program object: add its stages, then compile().
    ShaderProgram();
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Compiles the stage from a file and attaches it; the program keeps the
    // stage until it goes itself.
    void addShader(const char* path, unsigned int type);
    // Links, then validates, printing "Link error" or "Validate error" with
    // the program's log on failure.
    void compile();
    // Whether the last link succeeded: a program that did not link draws
    // nothing, so check it once after compile() and stop if it is false.
    bool isLinked();
    // Builds the program again from its stages' files, for editing shaders
    // while the show runs. A new build that does not link is reported as
    // usual and dropped, so the program keeps drawing with its last working
    // object; returns whether the new one took its place.
    bool reload();
    // The GL program object.
    unsigned int getProgramID();
    // The stages' files as added, for messages: "data/ring.vs and data/ring.fs".
    std::string sourceFiles();
    // Makes the program current and starts handing out texture units from 0.
    // A program that was never compiled says so once on standard error.
    void use();

    // The setters act on whichever program is current. A name the linked
    // program does not have (misspelt, or unused and so dropped by the GLSL
    // compiler) is reported once per program and name on standard error:
    // "uniform pmatrx is not in the program built from data/ring.vs and
    // data/ring.fs". On in debug builds; the environment variable
    // VQ_CHECK_UNIFORMS=1 turns it on in any build, and =0 off.
    void setParam(const char* name, float value);
    void setParam(const char* name, int value);
    void setParam(const char* name, Matrix m);
    // Binds a 2D texture on the next unit and points the sampler at it.
    void addTexture(const char* name, unsigned int texture);
    void addTexture(const char* name, Texture* texture);

    // The GL program object.
    unsigned int id;
    // The unit the next addTexture binds.
    int textureUnit;
    // The stages, owned, in the order they were added.
    std::vector<Shader*> shaders;

    // Every program not yet deleted, in the order they were made, so that
    // tools can check or rebuild all of a show's programs without knowing
    // its scenes.
    static std::vector<ShaderProgram*> live;
};

} // namespace vq_engine

#endif
