#ifndef VQ_TESTS_GLCONTEXT_H
#define VQ_TESTS_GLCONTEXT_H

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Image.h"

// One hidden SDL window with a real OpenGL 4.1 core context for the whole test
// executable, on a private Xvfb display when none is set.
class GLContext : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

// The first count floats of a GPU buffer, read back through GL.
std::vector<float> readBuffer(GLuint buffer, size_t count);

// An offscreen colour and depth target of its own size, for reading a drawn
// frame back. It binds itself and sets the viewport while it lives.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // The drawn picture, row 0 at the top as on screen.
    Image read() const;

    int width;
    int height;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};

#endif
