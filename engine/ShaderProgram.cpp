#include "engine/ShaderProgram.h"

#include <GL/glew.h>

#include <iostream>
#include <utility>

#include "engine/GLCheck.h"
#include "engine/Shader.h"
#include "engine/ShaderError.h"
#include "engine/Texture.h"

namespace vq_engine {

ShaderProgram::ShaderProgram() : id(VQ_GL_VALUE(glCreateProgram())), textureUnit(0) {}

ShaderProgram::~ShaderProgram() {
    // Attached stages are only flagged for deletion; they go with the program.
    for (Shader* shader : shaders)
        delete shader;
    VQ_GL(glDeleteProgram(id));
}

void ShaderProgram::addShader(const char* path, unsigned int type) {
    Shader* shader = new Shader(path, type);
    VQ_GL(glAttachShader(id, shader->getShaderId()));
    shaders.push_back(shader);
}

void ShaderProgram::compile() {
    GLint status = 0;
    VQ_GL(glLinkProgram(id));
    VQ_GL(glGetProgramiv(id, GL_LINK_STATUS, &status));
    if (status == 0) {
        std::cout << "Link error" << std::endl;
        ShaderError::errorStr(id, PROGRAM_ERROR);
    }

    status = 0;
    VQ_GL(glValidateProgram(id));
    VQ_GL(glGetProgramiv(id, GL_VALIDATE_STATUS, &status));
    if (status == 0) {
        std::cout << "Validate error" << std::endl;
        ShaderError::errorStr(id, PROGRAM_ERROR);
    }
}

bool ShaderProgram::isLinked() {
    GLint status = 0;
    VQ_GL(glGetProgramiv(id, GL_LINK_STATUS, &status));
    return status != 0;
}

bool ShaderProgram::reload() {
    ShaderProgram fresh;
    for (Shader* shader : shaders)
        fresh.addShader(shader->path.c_str(), shader->type);
    fresh.compile();
    if (!fresh.isLinked())
        return false;
    // The old objects leave with fresh; GL keeps a current program alive until
    // another is made current.
    std::swap(id, fresh.id);
    std::swap(shaders, fresh.shaders);
    return true;
}

unsigned int ShaderProgram::getProgramID() {
    return id;
}

void ShaderProgram::use() {
    VQ_GL(glUseProgram(id));
    textureUnit = 0;
}

void ShaderProgram::setParam(const char* name, float value) {
    VQ_GL(glUniform1f(glGetUniformLocation(id, name), value));
}

void ShaderProgram::setParam(const char* name, int value) {
    VQ_GL(glUniform1i(glGetUniformLocation(id, name), value));
}

void ShaderProgram::setParam(const char* name, Matrix m) {
    VQ_GL(glUniformMatrix4fv(glGetUniformLocation(id, name), 1, GL_FALSE, m.matrix()));
}

void ShaderProgram::addTexture(const char* name, unsigned int texture) {
    VQ_GL(glActiveTexture(GL_TEXTURE0 + textureUnit));
    VQ_GL(glBindTexture(GL_TEXTURE_2D, texture));
    setParam(name, textureUnit);
    textureUnit++;
}

void ShaderProgram::addTexture(const char* name, Texture* texture) {
    addTexture(name, texture->getTexID());
}

} // namespace vq_engine
