#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "engine/Shader.h"
#include "engine/ShaderProgram.h"
#include "tests/support/GLContext.h"
#include "tests/support/NamedPipe.h"
#include "tests/support/Process.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using vq_engine::Matrix;
using vq_engine::Shader;
using vq_engine::ShaderProgram;

namespace {

const char* const brokenSource = "#version 410 core\nvoid main() { gl_Position = undefinedThing; }\n";

const char* const samplerSource = "#version 410 core\n"
                                  "uniform sampler2D first;\n"
                                  "uniform sampler2D second;\n"
                                  "uniform sampler2D third;\n"
                                  "uniform mat4 pmatrix;\n"
                                  "out vec4 colour;\n"
                                  "void main() {\n"
                                  "    vec2 at = vec2(0.5) + pmatrix[3].xy;\n"
                                  "    colour = texture(first, at) + texture(second, at) + texture(third, at);\n"
                                  "}\n";

const char* const passThroughVertex = "#version 410 core\n"
                                      "layout(location = 0) in vec3 position;\n"
                                      "void main() { gl_Position = vec4(position, 1.0); }\n";

std::string shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, length, nullptr, &log[0]);
    return log.c_str();
}

class ShaderFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) {
        std::string path = dir.path + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    TempDir dir;
};

} // namespace

TEST_F(ShaderFiles, ABrokenStagePrintsItsWholeSourceAndLog) {
    std::string path = write("broken.vs", brokenSource);
    CaptureStdout();
    Shader shader(path.c_str(), GL_VERTEX_SHADER);
    std::string output = GetCapturedStdout();

    EXPECT_NE(shader.getShaderId(), 0u);
    EXPECT_EQ(glIsShader(shader.getShaderId()), GL_TRUE);
    std::string log = shaderLog(shader.getShaderId());
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(output, "Shader error\n" + std::string(brokenSource) + "\n" + log + "\n");
}

TEST_F(ShaderFiles, AnEmptySourceFailsWithAnEmptySourceLine) {
    std::string path = write("empty.fs", "");
    CaptureStdout();
    Shader shader(path.c_str(), GL_FRAGMENT_SHADER);
    std::string output = GetCapturedStdout();
    EXPECT_EQ(output, "Shader error\n\n" + shaderLog(shader.getShaderId()) + "\n");
}

TEST_F(ShaderFiles, AMissingFileNamesThePath) {
    std::string path = dir.path + "/nowhere.vs";
    CaptureStdout();
    Shader shader(path.c_str(), GL_VERTEX_SHADER);
    std::string output = GetCapturedStdout();
    EXPECT_EQ(output, "Shader error\ncannot read " + path + ": No such file or directory\n");
    EXPECT_EQ(glIsShader(shader.getShaderId()), GL_TRUE);
}

TEST(ShaderFile, AMissingRelativePathNamesTheWorkingDirectory) {
    char directory[4096];
    ASSERT_NE(getcwd(directory, sizeof directory), nullptr);
    CaptureStdout();
    Shader shader("data/nowhere.vs", GL_VERTEX_SHADER);
    EXPECT_EQ(GetCapturedStdout(), "Shader error\ncannot read data/nowhere.vs in " + std::string(directory) +
                                       ": No such file or directory\n");
}

TEST_F(ShaderFiles, APipeOrADirectoryInPlaceOfTheSourceIsNamedWithoutWaiting) {
    NamedPipe pipe(dir.path + "/pipe.vs");
    ASSERT_TRUE(pipe.made());
    CaptureStdout();
    EXPECT_FALSE(pipe.blocksOpening([&] { Shader shader(pipe.path.c_str(), GL_VERTEX_SHADER); }))
        << "the source was opened for reading and waited for a writer";
    EXPECT_EQ(GetCapturedStdout(), "Shader error\ncannot read " + pipe.path + ": is a named pipe\n");

    CaptureStdout();
    Shader directory(dir.path.c_str(), GL_FRAGMENT_SHADER);
    EXPECT_EQ(GetCapturedStdout(), "Shader error\ncannot read " + dir.path + ": is a directory\n");
}

TEST_F(ShaderFiles, AFailedStageIsFollowedByLinkAndValidateErrors) {
    std::string vertex = write("broken.vs", brokenSource);
    ShaderProgram program;
    CaptureStdout();
    program.addShader(vertex.c_str(), GL_VERTEX_SHADER);
    program.addShader("data/stars.fs", GL_FRAGMENT_SHADER);
    program.compile();
    std::string output = GetCapturedStdout();

    size_t stage = output.find("Shader error\n");
    size_t link = output.find("\nLink error\n");
    size_t validate = output.find("\nValidate error\n");
    ASSERT_NE(stage, std::string::npos) << output;
    ASSERT_NE(link, std::string::npos) << output;
    ASSERT_NE(validate, std::string::npos) << output;
    EXPECT_LT(stage, link);
    EXPECT_LT(link, validate);
}

TEST(StarsProgram, CompilesLinksAndDeclaresTheParticleInterface) {
    ShaderProgram program;
    CaptureStdout();
    program.addShader("data/stars.vs", GL_VERTEX_SHADER);
    program.addShader("data/stars.fs", GL_FRAGMENT_SHADER);
    program.compile();
    EXPECT_EQ(GetCapturedStdout(), "");

    GLuint id = program.getProgramID();
    EXPECT_NE(glGetUniformLocation(id, "pmatrix"), -1);
    EXPECT_NE(glGetUniformLocation(id, "time"), -1);

    // Inputs at locations 0 to 3: vec3 position, vec3 velocity, float birth, float death.
    const GLenum expectedTypes[4] = {GL_FLOAT_VEC3, GL_FLOAT_VEC3, GL_FLOAT, GL_FLOAT};
    GLint attributes = 0;
    glGetProgramiv(id, GL_ACTIVE_ATTRIBUTES, &attributes);
    EXPECT_EQ(attributes, 4);
    bool seen[4] = {false, false, false, false};
    for (GLint i = 0; i < attributes; i++) {
        char name[64];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(id, GLuint(i), sizeof name, nullptr, &size, &type, name);
        GLint location = glGetAttribLocation(id, name);
        ASSERT_GE(location, 0);
        ASSERT_LT(location, 4);
        EXPECT_EQ(type, expectedTypes[location]) << name;
        seen[location] = true;
    }
    for (bool location : seen)
        EXPECT_TRUE(location);
}

TEST_F(ShaderFiles, UniformsReachTheProgram) {
    std::string vertex = write("pass.vs", passThroughVertex);
    std::string fragment = write("samplers.fs", samplerSource);
    ShaderProgram program;
    CaptureStdout();
    program.addShader(vertex.c_str(), GL_VERTEX_SHADER);
    program.addShader(fragment.c_str(), GL_FRAGMENT_SHADER);
    program.compile();
    ASSERT_EQ(GetCapturedStdout(), "");
    GLuint id = program.getProgramID();
    program.use();

    // The matrix arrives as GL reads it: e12..e14 are the translation column.
    Matrix moved;
    moved.translate(1, 2, 3);
    program.setParam("pmatrix", moved);
    float uploaded[16];
    glGetUniformfv(id, glGetUniformLocation(id, "pmatrix"), uploaded);
    EXPECT_EQ(uploaded[12], 1.0f);
    EXPECT_EQ(uploaded[13], 2.0f);
    EXPECT_EQ(uploaded[14], 3.0f);

    // Unknown names are ignored, silently and without a GL error.
    glGetError();
    CaptureStdout();
    program.setParam("noSuchUniform", 1.0f);
    program.setParam("noSuchUniform", 2);
    program.setParam("noSuchUniform", moved);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    GLuint textures[3];
    glGenTextures(3, textures);
    const char* samplers[3] = {"first", "second", "third"};
    for (int unit = 0; unit < 3; unit++)
        program.addTexture(samplers[unit], textures[unit]);
    for (int unit = 0; unit < 3; unit++) {
        GLint value = -1;
        glGetUniformiv(id, glGetUniformLocation(id, samplers[unit]), &value);
        EXPECT_EQ(value, unit);
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), textures[unit]);
    }

    // use() starts handing out units from 0 again.
    program.use();
    program.addTexture("third", textures[0]);
    GLint value = -1;
    glGetUniformiv(id, glGetUniformLocation(id, "third"), &value);
    EXPECT_EQ(value, 0);
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(3, textures);
}

TEST_F(ShaderFiles, AProgramDeletesTheStagesItCompiledWithItself) {
    std::string vertex = write("pass.vs", passThroughVertex);
    ShaderProgram* program = new ShaderProgram();
    program->addShader(vertex.c_str(), GL_VERTEX_SHADER);
    program->addShader("data/stars.fs", GL_FRAGMENT_SHADER);
    ASSERT_EQ(program->shaders.size(), 2u);
    GLuint stages[2] = {program->shaders[0]->getShaderId(), program->shaders[1]->getShaderId()};
    GLuint id = program->getProgramID();

    delete program;
    EXPECT_FALSE(glIsProgram(id));
    for (GLuint stage : stages)
        EXPECT_FALSE(glIsShader(stage)) << stage;
}

TEST_F(ShaderFiles, ReloadTakesAGoodEditAndKeepsTheLastWorkingProgramOnABrokenOne) {
    const char* plain = "#version 410 core\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n";
    const char* tinted = "#version 410 core\nuniform vec4 tint;\nout vec4 colour;\n"
                         "void main() { colour = tint; }\n";
    std::string vertex = write("pass.vs", passThroughVertex);
    std::string fragment = write("edit.fs", plain);
    ShaderProgram program;
    program.addShader(vertex.c_str(), GL_VERTEX_SHADER);
    program.addShader(fragment.c_str(), GL_FRAGMENT_SHADER);
    program.compile();
    ASSERT_TRUE(program.isLinked());
    GLuint first = program.getProgramID();

    write("edit.fs", tinted);
    CaptureStdout();
    EXPECT_TRUE(program.reload());
    EXPECT_EQ(GetCapturedStdout(), "");
    GLuint second = program.getProgramID();
    EXPECT_NE(second, first);
    EXPECT_FALSE(glIsProgram(first));
    EXPECT_NE(glGetUniformLocation(second, "tint"), -1);
    EXPECT_EQ(program.shaders.size(), 2u);

    write("edit.fs", brokenSource);
    CaptureStdout();
    EXPECT_FALSE(program.reload());
    std::string output = GetCapturedStdout();
    EXPECT_NE(output.find("Shader error\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Link error\n"), std::string::npos) << output;
    EXPECT_EQ(program.getProgramID(), second);
    EXPECT_TRUE(program.isLinked());
    EXPECT_NE(glGetUniformLocation(second, "tint"), -1);
}
