// Render to texture: content drawn in the first pass reaches the window
// through the test's own post-processing program in the second pass.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/Matrix.h"
#include "engine/RenderBuffer.h"
#include "engine/ShaderProgram.h"
#include "engine/Sprite.h"
#include "tests/support/GLContext.h"
#include "tests/support/Process.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using vq_engine::Matrix;
using vq_engine::RenderBuffer;
using vq_engine::ShaderProgram;
using vq_engine::Sprite;

namespace {

const char* const quadVertex = "#version 410 core\n"
                               "layout(location = 0) in vec2 position;\n"
                               "layout(location = 1) in vec2 texcoord;\n"
                               "uniform mat4 pmatrix;\n"
                               "out vec2 uv;\n"
                               "void main() {\n"
                               "    uv = texcoord;\n"
                               "    // Keeps pmatrix active; a projection never has this corner set.\n"
                               "    if (pmatrix[3][3] > 1e30) uv = vec2(0.0);\n"
                               "    gl_Position = vec4(position, 0.0, 1.0);\n"
                               "}\n";

// Zoom about the centre, box blur of kernelsize texels (texel size from
// height), grey average, darkening towards the corners, then fade.
const char* const postFragment =
    "#version 410 core\n"
    "uniform sampler2D color;\n"
    "uniform int height;\n"
    "uniform float fadeperc;\n"
    "uniform int kernelsize;\n"
    "uniform float vignette;\n"
    "uniform int avg;\n"
    "uniform float zoom;\n"
    "in vec2 uv;\n"
    "out vec4 fragment;\n"
    "void main() {\n"
    "    vec2 at = (uv - 0.5) / zoom + 0.5;\n"
    "    float texel = 1.0 / float(height);\n"
    "    vec3 sum = vec3(0.0);\n"
    "    for (int dy = -kernelsize; dy <= kernelsize; dy++)\n"
    "        for (int dx = -kernelsize; dx <= kernelsize; dx++)\n"
    "            sum += texture(color, at + vec2(dx, dy) * texel).rgb;\n"
    "    vec3 c = sum / float((2 * kernelsize + 1) * (2 * kernelsize + 1));\n"
    "    if (avg != 0) c = vec3((c.r + c.g + c.b) / 3.0);\n"
    "    float edge = length(uv - 0.5) / length(vec2(0.5));\n"
    "    c *= 1.0 - vignette * edge * edge;\n"
    "    fragment = vec4(c * fadeperc, 1.0);\n"
    "}\n";

const char* const solidFragment = "#version 410 core\n"
                                  "uniform vec4 paint;\n"
                                  "out vec4 fragment;\n"
                                  "void main() { fragment = paint; }\n";

const char* const threeTargetsFragment = "#version 410 core\n"
                                         "layout(location = 0) out vec4 first;\n"
                                         "layout(location = 1) out vec4 second;\n"
                                         "layout(location = 2) out vec4 third;\n"
                                         "void main() {\n"
                                         "    first = vec4(1.0, 0.0, 0.0, 1.0);\n"
                                         "    second = vec4(0.0, 1.0, 0.0, 1.0);\n"
                                         "    third = vec4(0.0, 0.0, 1.0, 1.0);\n"
                                         "}\n";

const int side = 32;

// RGBA rows of the bound read framebuffer, row 0 at the bottom.
std::vector<unsigned char> readPixels(int width, int height) {
    std::vector<unsigned char> rgba(size_t(4) * width * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

const unsigned char* at(const std::vector<unsigned char>& rgba, int width, int x, int y) {
    return &rgba[size_t(4) * (size_t(y) * width + x)];
}

std::vector<unsigned char> textureContents(GLuint texture, int width, int height) {
    std::vector<unsigned char> rgba(size_t(4) * width * height);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

class RenderBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        glClearColor(0, 0, 0, 1);
        glDisable(GL_DEPTH_TEST);
        post = program(postFragment);
        solid = program(solidFragment);
    }
    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    std::unique_ptr<ShaderProgram> program(const char* fragment) {
        std::string vs = dir.path + "/quad.vs";
        std::string fs = dir.path + "/" + std::to_string(programs++) + ".fs";
        std::ofstream(vs) << quadVertex;
        std::ofstream(fs) << fragment;
        std::unique_ptr<ShaderProgram> made(new ShaderProgram());
        made->addShader(vs.c_str(), GL_VERTEX_SHADER);
        made->addShader(fs.c_str(), GL_FRAGMENT_SHADER);
        CaptureStdout();
        made->compile();
        EXPECT_EQ(GetCapturedStdout(), "");
        return made;
    }

    // Paints the viewport rectangle (x, y, w, h) of the bound framebuffer.
    void paint(int x, int y, int w, int h, float r, float g, float b) {
        glViewport(x, y, w, h);
        solid->use();
        glUniform4f(glGetUniformLocation(solid->getProgramID(), "paint"), r, g, b, 1.0f);
        quad.draw();
    }

    void configure(RenderBuffer& buffer) {
        buffer.addShader(post.get());
        buffer.setFade(1.0f);
        buffer.setKernelSize(0);
        buffer.setVignette(0.0f);
        buffer.setAvg(0);
        buffer.setZoom(1.0f);
    }

    GLint uniformInt(const char* name) {
        GLint value = -1;
        glGetUniformiv(post->getProgramID(), glGetUniformLocation(post->getProgramID(), name), &value);
        return value;
    }

    float uniformFloat(const char* name) {
        float value = -1;
        glGetUniformfv(post->getProgramID(), glGetUniformLocation(post->getProgramID(), name), &value);
        return value;
    }

    TempDir dir;
    int programs = 0;
    Sprite quad;
    std::unique_ptr<ShaderProgram> post;
    std::unique_ptr<ShaderProgram> solid;
};

} // namespace

TEST_F(RenderBufferTest, OneTextureAndADepthBufferMakeACompleteFramebuffer) {
    RenderBuffer buffer(side, side, 0, 1, true);
    EXPECT_FALSE(buffer.getError());
    EXPECT_NE(buffer.getRenderTexture(0), 0u);
    EXPECT_EQ(buffer.getRenderTexture(1), 0u);
    EXPECT_EQ(buffer.getRenderTexture(-1), 0u);

    glBindFramebuffer(GL_FRAMEBUFFER, buffer.getFramebuffer());
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &value);
    EXPECT_EQ(GLuint(value), buffer.getRenderTexture(0));
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &value);
    EXPECT_EQ(value, GL_RENDERBUFFER);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &value);
    EXPECT_EQ(value, 24);
    glBindTexture(GL_TEXTURE_2D, buffer.getRenderTexture(0));
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
}

TEST_F(RenderBufferTest, TheFirstPassDrawsIntoTheTextureAndTheSecondBringsItToTheWindow) {
    RenderBuffer buffer(side, side, 0, 1, true);
    configure(buffer);
    buffer.setFade(0.5f);

    glClearColor(0.8f, 0.4f, 0.2f, 1.0f);
    buffer.firstPass();
    glClearColor(0, 0, 0, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], side);
    paint(0, 0, side / 4, side, 1, 1, 1);

    std::vector<unsigned char> offscreen = textureContents(buffer.getRenderTexture(0), side, side);
    EXPECT_EQ(at(offscreen, side, 2, 5)[0], 255);
    EXPECT_NEAR(at(offscreen, side, 20, 5)[0], 204, 1);

    buffer.secondPass();
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    std::vector<unsigned char> window = readPixels(side, side);
    // Left quarter white, the rest the clear colour, both at half brightness.
    EXPECT_NEAR(at(window, side, 2, 16)[0], 128, 2);
    EXPECT_NEAR(at(window, side, 2, 16)[2], 128, 2);
    EXPECT_NEAR(at(window, side, 20, 16)[0], 102, 2);
    EXPECT_NEAR(at(window, side, 20, 16)[1], 51, 2);
    EXPECT_NEAR(at(window, side, 20, 16)[2], 26, 2);
}

TEST_F(RenderBufferTest, EverySettingReachesTheProgram) {
    RenderBuffer buffer(48, 24, 7, 1, false);
    configure(buffer);
    buffer.setFade(0.75f);
    buffer.setKernelSize(2);
    buffer.setVignette(0.25f);
    buffer.setAvg(1);
    buffer.setZoom(3.5f);
    buffer.firstPass();
    buffer.secondPass();

    EXPECT_EQ(uniformInt("height"), 24);
    EXPECT_FLOAT_EQ(uniformFloat("fadeperc"), 0.75f);
    EXPECT_EQ(uniformInt("kernelsize"), 2);
    EXPECT_FLOAT_EQ(uniformFloat("vignette"), 0.25f);
    EXPECT_EQ(uniformInt("avg"), 1);
    EXPECT_FLOAT_EQ(uniformFloat("zoom"), 3.5f);
    EXPECT_EQ(uniformInt("color"), 0);

    // The projection is perspective(35, 16/9, 0.1, 1500) whatever the buffer's shape.
    float uploaded[16];
    glGetUniformfv(post->getProgramID(), glGetUniformLocation(post->getProgramID(), "pmatrix"), uploaded);
    Matrix expected;
    expected.perspective(35.0, 16.0 / 9.0, 0.1, 1500.0);
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(uploaded[i], expected.e[i]) << i;
    EXPECT_NEAR(uploaded[0] / uploaded[5], 9.0 / 16.0, 1e-6);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 48);
    EXPECT_EQ(viewport[3], 24);
}

TEST_F(RenderBufferTest, TheSettingsShapeThePicture) {
    RenderBuffer buffer(side, side, 0, 1, false);
    configure(buffer);
    buffer.firstPass();
    paint(0, 0, side / 4, side, 1.0f, 0.5f, 0.0f);

    buffer.secondPass();
    std::vector<unsigned char> plain = readPixels(side, side);
    EXPECT_EQ(at(plain, side, 2, 16)[0], 255);
    EXPECT_EQ(at(plain, side, 12, 16)[0], 0);

    // Zoomed in twice about the centre, the left-quarter stripe leaves the picture.
    buffer.setZoom(2.0f);
    buffer.secondPass();
    EXPECT_EQ(at(readPixels(side, side), side, 2, 16)[0], 0);

    // Averaged to grey.
    buffer.setZoom(1.0f);
    buffer.setAvg(1);
    buffer.secondPass();
    std::vector<unsigned char> averaged = readPixels(side, side);
    const unsigned char* grey = at(averaged, side, 2, 16);
    EXPECT_NEAR(grey[0], 128, 2);
    EXPECT_EQ(grey[0], grey[1]);
    EXPECT_EQ(grey[1], grey[2]);

    // A blur softens the stripe's edge.
    buffer.setAvg(0);
    buffer.setKernelSize(2);
    buffer.secondPass();
    std::vector<unsigned char> blurred = readPixels(side, side);
    EXPECT_GT(at(blurred, side, 8, 16)[0], 0);
    EXPECT_LT(at(blurred, side, 7, 16)[0], 255);

    // The vignette darkens the corners and leaves the middle alone.
    glClearColor(1, 1, 1, 1);
    buffer.firstPass();
    glClearColor(0, 0, 0, 1);
    buffer.setKernelSize(0);
    buffer.setVignette(0.8f);
    buffer.secondPass();
    std::vector<unsigned char> vignetted = readPixels(side, side);
    EXPECT_GT(at(vignetted, side, 16, 16)[0], 250);
    EXPECT_LT(at(vignetted, side, 0, 0)[0], 80);
}

TEST_F(RenderBufferTest, ThreeTexturesAreBoundOnUnitsZeroToTwo) {
    RenderBuffer buffer(side, side, 0, 3, true);
    ASSERT_FALSE(buffer.getError());
    configure(buffer);
    std::unique_ptr<ShaderProgram> three = program(threeTargetsFragment);
    buffer.firstPass();
    three->use();
    quad.draw();

    for (int i = 0; i < 3; i++) {
        std::vector<unsigned char> contents = textureContents(buffer.getRenderTexture(i), side, side);
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(at(contents, side, 5, 5)[c], c == i ? 255 : 0) << "texture " << i;
    }

    buffer.secondPass();
    for (int i = 0; i < 3; i++) {
        glActiveTexture(GL_TEXTURE0 + i);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), buffer.getRenderTexture(i));
    }
    EXPECT_EQ(uniformInt("color"), 2);
    // "color" ends on the last texture: the window shows the third target.
    std::vector<unsigned char> window = readPixels(side, side);
    const unsigned char* shown = at(window, side, 16, 16);
    EXPECT_EQ(shown[0], 0);
    EXPECT_EQ(shown[1], 0);
    EXPECT_EQ(shown[2], 255);
}

TEST_F(RenderBufferTest, ARejectedFramebufferIsReportedExactlyOnce) {
    CaptureStdout();
    RenderBuffer zeroWidth(0, side, 0, 1, true);
    configure(zeroWidth);
    testing::internal::CaptureStderr();
    zeroWidth.firstPass();
    // Both passes still run; GL refuses the clear of the rejected framebuffer,
    // and the engine's check names the call (without checks it stays pending).
    std::string checked = testing::internal::GetCapturedStderr();
#ifdef VQ_GL_CHECKS
    EXPECT_NE(checked.find("RenderBuffer.cpp:"), std::string::npos) << checked;
    EXPECT_NE(checked.find(": glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) failed: "
                           "GL_INVALID_FRAMEBUFFER_OPERATION (0x0506)\n"),
              std::string::npos)
        << checked;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
#else
    EXPECT_EQ(checked, "");
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_FRAMEBUFFER_OPERATION));
#endif
    zeroWidth.secondPass();
    EXPECT_EQ(GetCapturedStdout(), "Render to texture initialization failed\n");
    EXPECT_TRUE(zeroWidth.getError());

    // Counts GL cannot attach are rejected the same way, without GL errors.
    for (int count : {-1, 0, 1000}) {
        CaptureStdout();
        RenderBuffer buffer(side, side, 0, count, false);
        EXPECT_EQ(GetCapturedStdout(), "Render to texture initialization failed\n") << count;
        EXPECT_TRUE(buffer.getError());
        EXPECT_EQ(buffer.getRenderTexture(0), 0u);
    }
    CaptureStdout();
    RenderBuffer negative(-5, side, 0, 1, true);
    EXPECT_EQ(GetCapturedStdout(), "Render to texture initialization failed\n");
}

TEST_F(RenderBufferTest, DestructionReleasesEveryObject) {
    RenderBuffer* buffer = new RenderBuffer(side, side, 0, 2, true);
    GLuint framebuffer = buffer->getFramebuffer();
    GLuint textures[2] = {buffer->getRenderTexture(0), buffer->getRenderTexture(1)};
    GLuint depth = buffer->depthBuffer;
    GLuint vao = buffer->sprite->getVAO();
    GLuint positions = buffer->sprite->positionBuffer;
    GLuint texcoords = buffer->sprite->texcoordBuffer;
    ASSERT_TRUE(glIsFramebuffer(framebuffer));
    ASSERT_TRUE(glIsRenderbuffer(depth));
    ASSERT_TRUE(glIsVertexArray(vao));
    ASSERT_TRUE(glIsBuffer(positions));
    delete buffer;
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    EXPECT_FALSE(glIsTexture(textures[0]));
    EXPECT_FALSE(glIsTexture(textures[1]));
    EXPECT_FALSE(glIsRenderbuffer(depth));
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(positions));
    EXPECT_FALSE(glIsBuffer(texcoords));
}

TEST_F(RenderBufferTest, ASecondPassWithoutAProgramSaysSoOnce) {
    RenderBuffer buffer(side, side, 0, 1, false);
    CaptureStdout();
    buffer.firstPass();
    buffer.secondPass();
    buffer.secondPass();
    std::string output = GetCapturedStdout();
    EXPECT_EQ(output, "Render buffer has no post-processing program: nothing drawn\n");
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(RenderBufferTest, TheQuadCoversTheViewportWithTexcoordsFromTheBottomLeft) {
    Sprite sprite;
    GLint bound = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), sprite.getVAO());
    std::vector<float> positions = readBuffer(sprite.positionBuffer, 8);
    std::vector<float> texcoords = readBuffer(sprite.texcoordBuffer, 8);
    EXPECT_EQ(positions, (std::vector<float>{-1, -1, 1, -1, 1, 1, -1, 1}));
    EXPECT_EQ(texcoords, (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
}
