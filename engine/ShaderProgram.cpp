#include "engine/ShaderProgram.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "engine/GLCheck.h"
#include "engine/Shader.h"
#include "engine/ShaderError.h"
#include "engine/Texture.h"

namespace vq_engine {

namespace {

// On in debug builds; VQ_CHECK_UNIFORMS=1 turns it on in any build, =0 off.
bool uniformChecks() {
    static const bool on = [] {
        const char* value = std::getenv("VQ_CHECK_UNIFORMS");
        if (value && *value)
            return std::strcmp(value, "0") != 0;
#ifdef NDEBUG
        return false;
#else
        return true;
#endif
    }();
    return on;
}

// GL program objects compile() has linked, and what has been said about each
// (a uniform's name, or "" for use() before compile()), so each is said once.
// A program's entries leave with it, as GL hands its name out again.
std::set<unsigned int>& compiledPrograms() {
    static std::set<unsigned int> programs;
    return programs;
}

std::set<std::pair<unsigned int, std::string>>& reported() {
    static std::set<std::pair<unsigned int, std::string>> said;
    return said;
}

GLint uniformLocation(ShaderProgram& program, const char* name) {
    GLint location = VQ_GL_VALUE(glGetUniformLocation(program.id, name));
    if (location == -1 && uniformChecks() && program.isLinked() && reported().insert({program.id, name}).second)
        std::fprintf(stderr, "uniform %s is not in the program built from %s\n", name,
                     program.sourceFiles().c_str());
    return location;
}

} // namespace

std::vector<ShaderProgram*> ShaderProgram::live;

ShaderProgram::ShaderProgram() : id((requireGLContext("ShaderProgram"), VQ_GL_VALUE(glCreateProgram()))), textureUnit(0) {
    live.push_back(this);
}

ShaderProgram::~ShaderProgram() {
    live.erase(std::find(live.begin(), live.end(), this));
    // Attached stages are only flagged for deletion; they go with the program.
    for (Shader* shader : shaders)
        delete shader;
    VQ_GL(glDeleteProgram(id));
    compiledPrograms().erase(id);
    auto& said = reported();
    said.erase(said.lower_bound({id, ""}), said.lower_bound({id + 1, ""}));
}

void ShaderProgram::addShader(const char* path, unsigned int type) {
    Shader* shader = new Shader(path, type);
    VQ_GL(glAttachShader(id, shader->getShaderId()));
    shaders.push_back(shader);
}

void ShaderProgram::compile() {
    GLint status = 0;
    VQ_GL(glLinkProgram(id));
    compiledPrograms().insert(id);
    VQ_GL(glGetProgramiv(id, GL_LINK_STATUS, &status));
    if (status == 0) {
        std::puts("Link error");
        ShaderError::errorStr(id, PROGRAM_ERROR);
    }

    status = 0;
    VQ_GL(glValidateProgram(id));
    VQ_GL(glGetProgramiv(id, GL_VALIDATE_STATUS, &status));
    if (status == 0) {
        std::puts("Validate error");
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

std::string ShaderProgram::sourceFiles() {
    if (shaders.empty())
        return "no shader files";
    std::string files = shaders[0]->path;
    for (size_t i = 1; i < shaders.size(); i++)
        files += (i + 1 == shaders.size() ? " and " : ", ") + shaders[i]->path;
    return files;
}

void ShaderProgram::use() {
    if (!compiledPrograms().count(id) && reported().insert({id, ""}).second)
        std::fprintf(stderr, "the program built from %s is used but was never compiled: call compile() after addShader()\n",
                     sourceFiles().c_str());
    VQ_GL(glUseProgram(id));
    textureUnit = 0;
}

void ShaderProgram::setParam(const char* name, float value) {
    VQ_GL(glUniform1f(uniformLocation(*this, name), value));
}

void ShaderProgram::setParam(const char* name, int value) {
    VQ_GL(glUniform1i(uniformLocation(*this, name), value));
}

void ShaderProgram::setParam(const char* name, Matrix m) {
    VQ_GL(glUniformMatrix4fv(uniformLocation(*this, name), 1, GL_FALSE, m.matrix()));
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
