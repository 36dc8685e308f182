// The install as another project meets it: cmake --install into a fresh
// prefix, then hello-particles copied out of it and built against it, once
// with find_package(Velquor) and once with pkg-config, each run for one
// frame and compared with the example's picture; the installed demo finding
// its data from any working directory; and the release tarball.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ExamplePicture.h"
#include "tests/support/Process.h"

namespace {

// Compiling hello-particles twice is most of it.
const double stepTimeoutSeconds = 240.0;

struct Outcome {
    int status;
    std::string output;
};

// A shell command in directory, with its standard output and error together.
Outcome shell(const std::string& command, const std::string& directory = "") {
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    pid_t child = spawnProcess({"/bin/sh", "-c", command}, {directory, {}, log});
    int status = waitProcess(child, stepTimeoutSeconds);
    if (status < 0)
        stopProcess(child);
    return {status, readTextFile(log)};
}

std::string shellQuoted(const std::string& path) {
    return "'" + path + "'";
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = new TempDir;
        install = new Outcome(shell("cmake --install " + shellQuoted(VQ_BUILD_DIR) + " --prefix " + shellQuoted(prefix->path)));
    }
    static void TearDownTestSuite() {
        delete prefix;
        delete install;
    }
    void SetUp() override { ASSERT_EQ(install->status, 0) << install->output; }

    // hello-particles as the install ships it, in a folder of its own.
    std::string copyHelloParticles(const std::string& into) {
        Outcome copy = shell("cp -r " + shellQuoted(prefix->path + "/share/velquor/examples/hello-particles") + " " +
                         shellQuoted(into + "/src"));
        EXPECT_EQ(copy.status, 0) << copy.output;
        return into + "/src";
    }

    static TempDir* prefix;
    static Outcome* install;
};

TempDir* Installed::prefix = nullptr;
Outcome* Installed::install = nullptr;

TEST_F(Installed, HelloParticlesBuildsWithFindPackageAndDrawsItsPicture) {
    TempDir project;
    std::string source = copyHelloParticles(project.path);
    std::string build = project.path + "/build";
    Outcome configure = shell("cmake -S " + shellQuoted(source) + " -B " + shellQuoted(build) +
                          " -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=" + shellQuoted(prefix->path));
    ASSERT_EQ(configure.status, 0) << configure.output;
    Outcome compile = shell("cmake --build " + shellQuoted(build));
    ASSERT_EQ(compile.status, 0) << compile.output;

    std::string shot = project.path + "/shot.png";
    ASSERT_EQ(shootExample(build + "/hello-particles", build, shot), "");
    EXPECT_EQ(compareWithExamplePicture(shot, "hello-particles"), "");
}

TEST_F(Installed, HelloParticlesBuildsWithPkgConfig) {
    TempDir project;
    std::string source = copyHelloParticles(project.path);
    std::string pkgConfig = "PKG_CONFIG_PATH=" + shellQuoted(prefix->path + "/lib/pkgconfig") + " pkg-config";
    Outcome compile = shell("c++ -std=c++17 -o hello-particles " + shellQuoted(source + "/main.cpp") + " $(" + pkgConfig +
                            " --cflags --libs velquor sdl2 libpng) && mkdir data && cp \"$(" + pkgConfig +
                            " --variable=datadir velquor)\"/stars.* data/",
                        project.path);
    ASSERT_EQ(compile.status, 0) << compile.output;

    std::string shot = project.path + "/shot.png";
    ASSERT_EQ(shootExample(project.path + "/hello-particles", project.path, shot), "");
    EXPECT_EQ(compareWithExamplePicture(shot, "hello-particles"), "");
}

TEST_F(Installed, TheDemoFindsItsDataFromAnyDirectory) {
    // No display can be opened there, so the demo stops right after its
    // check of data/, which it makes first.
    std::string noDisplay = "DISPLAY=:7777 SDL_VIDEODRIVER=x11 ";
    Outcome launcher = shell(noDisplay + shellQuoted(prefix->path + "/bin/velquor"), "/");
    EXPECT_EQ(launcher.output.find("cannot read"), std::string::npos) << launcher.output;
    EXPECT_NE(launcher.output.find("SDL initialisation failed"), std::string::npos) << launcher.output;

    // The program itself, started elsewhere without the launcher, does not.
    Outcome bare = shell(noDisplay + shellQuoted(prefix->path + "/libexec/velquor/velquor"), "/");
    EXPECT_NE(bare.output.find("cannot read data/stars.vs"), std::string::npos) << bare.output;
}

TEST(ReleaseFolder, UnpacksIntoOneFolderThatPlaysWhereItIs) {
    TempDir packages;
    Outcome pack = shell("cpack --config " + shellQuoted(VQ_BUILD_DIR "/CPackConfig.cmake") + " -B " +
                         shellQuoted(packages.path));
    ASSERT_EQ(pack.status, 0) << pack.output;
    std::string folder = VQ_RELEASE_FOLDER; // velquor-<version>-linux-x86_64 here
    Outcome unpack = shell("tar xzf " + folder + ".tar.gz && ls -A " + folder + " " + folder + "/data", packages.path);
    ASSERT_EQ(unpack.status, 0) << unpack.output;
    EXPECT_EQ(unpack.output, folder + ":\nREADME.txt\ndata\nvelquor\n\n" + folder +
                                 "/data:\nquorvin.mp3\nstars.fs\nstars.vs\n");

    // As in the install: no display there, so it stops right after finding its data.
    Outcome play = shell("DISPLAY=:7777 SDL_VIDEODRIVER=x11 ./velquor", packages.path + "/" + folder);
    EXPECT_EQ(play.output.find("cannot read"), std::string::npos) << play.output;
    EXPECT_NE(play.output.find("SDL initialisation failed"), std::string::npos) << play.output;
}

} // namespace
