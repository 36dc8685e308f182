// A newcomer's mistakes with the engine, made by a real program: each is
// told in one line on its own, once, instead of a crash or a blank window.
#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>

#include "tests/support/CaptureRun.h"
#include "tests/support/Process.h"

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome mistake(const std::string& mode, const std::string& uniformChecks = "1") {
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    pid_t child = spawnProcess({VQ_BUILD_DIR "/engine_mistakes", mode},
                               {VQ_BUILD_DIR,
                                {{"DISPLAY", captureDisplay()}, {"VQ_CHECK_UNIFORMS", uniformChecks}},
                                log});
    int status = waitProcess(child, 60.0);
    if (status < 0)
        stopProcess(child);
    return {status, readTextFile(log)};
}

const std::string noContext =
    " needs a current OpenGL 4.1 context (there is none): make the context current and call glewInit() before "
    "making engine objects\n";

TEST(EngineMistakes, AnEngineObjectWithoutAContextAbortsWithOneLine) {
    Outcome particle = mistake("particle-first");
    EXPECT_EQ(particle.status, 128 + SIGABRT);
    EXPECT_EQ(particle.output, "vq_engine: a Particle" + noContext);

    Outcome program = mistake("program-first");
    EXPECT_EQ(program.status, 128 + SIGABRT);
    EXPECT_EQ(program.output, "vq_engine: a ShaderProgram" + noContext);

    // GLEW's entry points stay loaded then: only the missing context tells.
    Outcome after = mistake("after-context");
    EXPECT_EQ(after.status, 128 + SIGABRT);
    EXPECT_EQ(after.output, "vq_engine: a Particle" + noContext);
}

TEST(EngineMistakes, AMisspeltUniformIsNamedOncePerProgram) {
    Outcome misspelt = mistake("misspelt-uniform");
    EXPECT_EQ(misspelt.status, 0);
    EXPECT_EQ(misspelt.output, "uniform pmatrx is not in the program built from data/stars.vs and data/stars.fs\n");

    Outcome off = mistake("misspelt-uniform", "0");
    EXPECT_EQ(off.status, 0);
    EXPECT_EQ(off.output, "");
}

TEST(EngineMistakes, UsingAProgramNeverCompiledIsToldOnce) {
    // Its uniforms are not reported as well: nothing was linked to have them.
    // With the engine's GL checks on, GL's own refusals of the unlinked
    // program follow it, each naming its call.
    Outcome run = mistake("never-compiled");
    EXPECT_EQ(run.status, 0);
    const std::string warning = "the program built from data/stars.vs and data/stars.fs is used but was never "
                                "compiled: call compile() after addShader()\n";
    ASSERT_EQ(run.output.compare(0, warning.size(), warning), 0) << run.output;
    std::istringstream rest(run.output.substr(warning.size()));
    for (std::string line; std::getline(rest, line);)
        EXPECT_NE(line.find("failed: GL_INVALID_OPERATION"), std::string::npos) << line;
}

} // namespace
