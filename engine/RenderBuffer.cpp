#include "engine/RenderBuffer.h"

#include <GL/glew.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "engine/GLCheck.h"
#include "engine/Matrix.h"
#include "engine/ShaderProgram.h"
#include "engine/Sprite.h"

namespace vq_engine {

namespace {

// The post-processing projection is fixed, whatever the window's shape.
const double postAspect = 16.0 / 9.0;

int mostColourTargets() {
    GLint attachments = 0, drawBuffers = 0;
    VQ_GL(glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &attachments));
    VQ_GL(glGetIntegerv(GL_MAX_DRAW_BUFFERS, &drawBuffers));
    return std::min(attachments, drawBuffers);
}

int largestSide() {
    GLint side = 0;
    VQ_GL(glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &side));
    return side;
}

// The pass's uniforms are offered, not required: a post-processing program
// may leave any of them out, so a name it lacks is no mistake to report, as
// ShaderProgram::setParam would. They act on the current program.
void offer(ShaderProgram* program, const char* name, int value) {
    glUniform1i(glGetUniformLocation(program->id, name), value);
}

void offer(ShaderProgram* program, const char* name, float value) {
    glUniform1f(glGetUniformLocation(program->id, name), value);
}

void offer(ShaderProgram* program, const char* name, Matrix m) {
    glUniformMatrix4fv(glGetUniformLocation(program->id, name), 1, GL_FALSE, m.matrix());
}

} // namespace

RenderBuffer::RenderBuffer(int width, int height, int reserved, int count, bool depth)
    : framebuffer(0), textures(nullptr), depthBuffer(0), width(width), height(height),
      reserved(reserved), error(false), count(count), fade(1.0f), kernelSize(0), avg(0),
      vignette(0.0f), zoom(1.0f), program(nullptr), sprite(nullptr), reportedNoProgram(false) {
    requireGLContext("RenderBuffer");
    // Sizes or counts GL cannot take would only raise GL errors: build empty
    // attachments instead, which GL then reports as an incomplete framebuffer.
    if (width < 0 || height < 0 || width > largestSide() || height > largestSide())
        this->width = this->height = 0;
    bool countUsable = count >= 0 && count <= mostColourTargets();
    if (!countUsable)
        this->count = 0;
    textures = new unsigned int[this->count];

    VQ_GL(glGenFramebuffers(1, &framebuffer));
    VQ_GL(glBindFramebuffer(GL_FRAMEBUFFER, framebuffer));
    if (depth)
        attachDepthBuffer();
    attachTextures();

    if (!countUsable || VQ_GL_VALUE(glCheckFramebufferStatus(GL_FRAMEBUFFER)) != GL_FRAMEBUFFER_COMPLETE) {
        error = true;
        std::cout << "Render to texture initialization failed" << std::endl;
    }
    VQ_GL(glBindFramebuffer(GL_FRAMEBUFFER, 0));
    sprite = new Sprite();
}

RenderBuffer::~RenderBuffer() {
    VQ_GL(glDeleteTextures(count, textures));
    delete[] textures;
    VQ_GL(glDeleteFramebuffers(1, &framebuffer));
    if (depthBuffer)
        VQ_GL(glDeleteRenderbuffers(1, &depthBuffer));
    delete sprite;
}

void RenderBuffer::attachDepthBuffer() {
    VQ_GL(glGenRenderbuffers(1, &depthBuffer));
    VQ_GL(glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer));
    VQ_GL(glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height));
    VQ_GL(glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer));
}

void RenderBuffer::attachTextures() {
    std::vector<GLenum> drawBuffers(count);
    VQ_GL(glGenTextures(count, textures));
    for (int i = 0; i < count; i++) {
        VQ_GL(glBindTexture(GL_TEXTURE_2D, textures[i]));
        VQ_GL(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr));
        VQ_GL(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST));
        VQ_GL(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST));
        VQ_GL(glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, textures[i], 0));
        drawBuffers[i] = GL_COLOR_ATTACHMENT0 + i;
    }
    VQ_GL(glDrawBuffers(count, drawBuffers.data()));
}

unsigned int RenderBuffer::getFramebuffer() {
    return framebuffer;
}

unsigned int RenderBuffer::getRenderTexture(int index) {
    if (index < 0 || index >= count)
        return 0;
    return textures[index];
}

bool RenderBuffer::getError() {
    return error;
}

void RenderBuffer::firstPass() {
    VQ_GL(glBindFramebuffer(GL_FRAMEBUFFER, framebuffer));
    VQ_GL(glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    VQ_GL(glViewport(0, 0, width, height));
}

void RenderBuffer::secondPass() {
    VQ_GL(glBindFramebuffer(GL_FRAMEBUFFER, 0));
    VQ_GL(glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    VQ_GL(glViewport(0, 0, width, height));
    if (!program) {
        if (!reportedNoProgram)
            std::cout << "Render buffer has no post-processing program: nothing drawn" << std::endl;
        reportedNoProgram = true;
        return;
    }
    program->use();
    Matrix projection;
    projection.perspective(35.0, postAspect, 0.1, 1500.0);
    offer(program, "pmatrix", projection);
    for (int i = 0; i < count; i++) {
        VQ_GL(glActiveTexture(GL_TEXTURE0 + i));
        VQ_GL(glBindTexture(GL_TEXTURE_2D, textures[i]));
        offer(program, "color", i);
    }
    offer(program, "height", height);
    offer(program, "fadeperc", fade);
    offer(program, "kernelsize", kernelSize);
    offer(program, "vignette", vignette);
    offer(program, "avg", avg);
    offer(program, "zoom", zoom);
    sprite->draw();
}

void RenderBuffer::addShader(ShaderProgram* program) {
    this->program = program;
}

void RenderBuffer::setFade(float fade) {
    this->fade = fade;
}

void RenderBuffer::setKernelSize(int kernelSize) {
    this->kernelSize = kernelSize;
}

void RenderBuffer::setVignette(float vignette) {
    this->vignette = vignette;
}

void RenderBuffer::setAvg(int avg) {
    this->avg = avg;
}

void RenderBuffer::setZoom(float zoom) {
    this->zoom = zoom;
}

} // namespace vq_engine
