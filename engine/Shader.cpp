#include "engine/Shader.h"

#include <GL/glew.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/GLCheck.h"
#include "engine/RegularFile.h"
#include "engine/ShaderError.h"

namespace vq_engine {

namespace {

// The whole file followed by one zero byte; false, with the reason, when it
// cannot be read.
bool readSource(const char* path, std::vector<char>& text, std::string& reason) {
    FILE* file = openRegularFile(path, reason);
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long length = ok ? std::ftell(file) : -1;
    ok = length >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        text.assign(size_t(length) + 1, '\0');
        size_t got = std::fread(text.data(), 1, size_t(length), file);
        text.resize(got + 1);
        text[got] = '\0';
    }
    std::fclose(file);
    if (!ok)
        reason = "cannot tell its length";
    return ok;
}

// " in DIR" after a relative path, naming the working directory it was read
// from; empty for an absolute path.
std::string whereRelative(const char* path) {
    if (path[0] == '/')
        return "";
    std::vector<char> directory(4096);
    if (!getcwd(directory.data(), directory.size()))
        return " in an unknown working directory";
    return std::string(" in ") + directory.data();
}

} // namespace

Shader::Shader(const char* path, unsigned int type) : id(0), path(path), type(type) {
    requireGLContext("Shader");
    std::vector<char> text;
    std::string reason;
    bool readable = readSource(path, text, reason);
    id = VQ_GL_VALUE(glCreateShader(type));
    if (!readable) {
        std::printf("Shader error\ncannot read %s%s: %s\n", path, whereRelative(path).c_str(), reason.c_str());
        std::fflush(stdout);
        return;
    }
    const char* source = text.data();
    VQ_GL(glShaderSource(id, 1, &source, nullptr));
    VQ_GL(glCompileShader(id));

    GLint status = 0;
    VQ_GL(glGetShaderiv(id, GL_COMPILE_STATUS, &status));
    if (status == 0) {
        std::printf("Shader error\n%s\n", source);
        std::fflush(stdout);
        ShaderError::errorStr(id, SHADER_ERROR);
    }
}

Shader::~Shader() {
    VQ_GL(glDeleteShader(id));
}

unsigned int Shader::getShaderId() {
    return id;
}

} // namespace vq_engine
