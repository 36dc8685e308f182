#include "engine/ShaderError.h"

#include <GL/glew.h>

#include <cstdio>
#include <vector>

#include "engine/GLCheck.h"

namespace vq_engine {

ShaderError::ShaderError() {}

ShaderError::~ShaderError() {}

void ShaderError::errorStr(unsigned int id, ERROR_TYPE type) {
    bool program = type == PROGRAM_ERROR;
    GLint length = 0;
    if (program)
        VQ_GL(glGetProgramiv(id, GL_INFO_LOG_LENGTH, &length));
    else
        VQ_GL(glGetShaderiv(id, GL_INFO_LOG_LENGTH, &length));

    std::vector<char> log(length > 0 ? length : 1, '\0');
    if (length > 0) {
        if (program)
            VQ_GL(glGetProgramInfoLog(id, length, nullptr, log.data()));
        else
            VQ_GL(glGetShaderInfoLog(id, length, nullptr, log.data()));
    }
    std::printf("%s\n", log.data());
    // The report reaches a log or a pipe before whatever fails next.
    std::fflush(stdout);
}

} // namespace vq_engine
