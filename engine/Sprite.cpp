#include "engine/Sprite.h"

#include <GL/glew.h>

#include "engine/GLCheck.h"

namespace vq_engine {

namespace {

const int cornerCount = 4;
const float positions[2 * cornerCount] = {-1, -1, 1, -1, 1, 1, -1, 1};
const float texcoords[2 * cornerCount] = {0, 0, 1, 0, 1, 1, 0, 1};

void fillAttribute(GLuint buffer, GLuint attribute, const float* data) {
    VQ_GL(glBindBuffer(GL_ARRAY_BUFFER, buffer));
    VQ_GL(glBufferData(GL_ARRAY_BUFFER, sizeof(float) * 2 * cornerCount, data, GL_STATIC_DRAW));
    VQ_GL(glVertexAttribPointer(attribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr));
    VQ_GL(glEnableVertexAttribArray(attribute));
}

} // namespace

Sprite::Sprite() : vao(0), positionBuffer(0), texcoordBuffer(0) {
    requireGLContext("Sprite");
    VQ_GL(glGenVertexArrays(1, &vao));
    VQ_GL(glBindVertexArray(vao));
    VQ_GL(glGenBuffers(1, &positionBuffer));
    VQ_GL(glGenBuffers(1, &texcoordBuffer));
    fillAttribute(positionBuffer, 0, positions);
    fillAttribute(texcoordBuffer, 1, texcoords);
}

Sprite::~Sprite() {
    VQ_GL(glDeleteBuffers(1, &positionBuffer));
    VQ_GL(glDeleteBuffers(1, &texcoordBuffer));
    VQ_GL(glDeleteVertexArrays(1, &vao));
}

void Sprite::draw() {
    VQ_GL(glBindVertexArray(vao));
    VQ_GL(glDrawArrays(GL_TRIANGLE_FAN, 0, cornerCount));
}

unsigned int Sprite::getVAO() {
    return vao;
}

} // namespace vq_engine
