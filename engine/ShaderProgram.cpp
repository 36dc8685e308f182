#include "engine/ShaderProgram.h"

#include <GL/glew.h>

#include <iostream>

#include "engine/Shader.h"
#include "engine/ShaderError.h"
#include "engine/Texture.h"

namespace vq_engine {

ShaderProgram::ShaderProgram() : id(glCreateProgram()), textureUnit(0) {}

ShaderProgram::~ShaderProgram() {
    glDeleteProgram(id);
}

void ShaderProgram::addShader(const char* path, unsigned int type) {
    Shader* shader = new Shader(path, type);
    glAttachShader(id, shader->getShaderId());
}

void ShaderProgram::compile() {
    GLint status = 0;
    glLinkProgram(id);
    glGetProgramiv(id, GL_LINK_STATUS, &status);
    if (status == 0) {
        std::cout << "Link error" << std::endl;
        ShaderError::errorStr(id, PROGRAM_ERROR);
    }

    status = 0;
    glValidateProgram(id);
    glGetProgramiv(id, GL_VALIDATE_STATUS, &status);
    if (status == 0) {
        std::cout << "Validate error" << std::endl;
        ShaderError::errorStr(id, PROGRAM_ERROR);
    }
}

unsigned int ShaderProgram::getProgramID() {
    return id;
}

void ShaderProgram::use() {
    glUseProgram(id);
    textureUnit = 0;
}

void ShaderProgram::setParam(const char* name, float value) {
    glUniform1f(glGetUniformLocation(id, name), value);
}

void ShaderProgram::setParam(const char* name, int value) {
    glUniform1i(glGetUniformLocation(id, name), value);
}

void ShaderProgram::setParam(const char* name, Matrix m) {
    glUniformMatrix4fv(glGetUniformLocation(id, name), 1, GL_FALSE, m.matrix());
}

void ShaderProgram::addTexture(const char* name, unsigned int texture) {
    glActiveTexture(GL_TEXTURE0 + textureUnit);
    glBindTexture(GL_TEXTURE_2D, texture);
    setParam(name, textureUnit);
    textureUnit++;
}

void ShaderProgram::addTexture(const char* name, Texture* texture) {
    addTexture(name, texture->getTexID());
}

} // namespace vq_engine
