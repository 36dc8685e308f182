// The install as another project meets it: cmake --install into a fresh
// prefix; then the first demo of docs/engine.md with its preview and
// capture, written from the guide's snippets alone, and hello-particles
// copied out of the install, each built
// against it with find_package(Velquor) and with pkg-config, run, and their
// frames compared with their pictures; the installed demo finding its data
// from any working directory; and the release tarball.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "tests/support/Browser.h"
#include "tests/support/CaptureRun.h"
#include "tests/support/ExamplePicture.h"
#include "tests/support/Process.h"
#include "tools/common/PngFile.h"

namespace {

// Compiling hello-particles and the guide's demo is most of it.
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

// The files the guide's snippets make: each fenced block after a line
// "<!-- file: NAME -->" in docs/engine.md, appended to NAME in page order.
std::map<std::string, std::string> guideFiles() {
    std::ifstream guide(VQ_SOURCE_DIR "/docs/engine.md");
    std::map<std::string, std::string> files;
    std::string line, name;
    bool inBlock = false;
    while (std::getline(guide, line)) {
        if (inBlock && line == "```")
            inBlock = false, name.clear();
        else if (inBlock)
            files[name] += line + "\n";
        else if (line.rfind("<!-- file: ", 0) == 0)
            name = line.substr(11, line.size() - 11 - 4);
        else if (!name.empty() && line.rfind("```", 0) == 0)
            inBlock = true;
    }
    return files;
}

// Into a folder of its own when the name has one ("web/page.cpp").
void writeFile(const std::string& path, const std::string& text) {
    size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        commandOutput("mkdir -p '" + path.substr(0, slash) + "'");
    std::ofstream(path) << text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

const std::string guidePicture = VQ_SOURCE_DIR "/tests/guide/picture.png";
const std::string guideShotSource = VQ_SOURCE_DIR "/tests/guide/shot.cpp";

// The guide's demo runs its eight seconds on the tests' display, with the
// uniform check on: a slip in the guide's names would show here.
std::string onDisplay() {
    return "DISPLAY=" + captureDisplay() + " VQ_CHECK_UNIFORMS=1 ";
}

std::string shotSize() {
    return std::to_string(examplePictureWidth) + "x" + std::to_string(examplePictureHeight);
}

std::string compareWithGuidePicture(const std::string& shot) {
    return compareWithPicture(shot, guidePicture, "guide",
                              "after an intended change of the guide's first demo, copy the actual picture to " +
                                  guidePicture);
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

TEST_F(Installed, TheGuidesFirstDemoBuildsWithFindPackageRunsAndDrawsItsPicture) {
    TempDir project;
    std::map<std::string, std::string> files = guideFiles();
    // CMakeLists.txt, spin.h, main.cpp, build.sh, show.h, preview.cpp and capture.cpp for the
    // tools, and web/page.cpp and web/CMakeLists.txt for the page
    ASSERT_EQ(files.size(), 9u);
    std::string source = project.path + "/src", build = project.path + "/build";
    ASSERT_EQ(shell("mkdir " + shellQuoted(source) + " && cp " + shellQuoted(guideShotSource) + " " +
                    shellQuoted(source)).status, 0);
    for (const auto& file : files)
        writeFile(source + "/" + file.first, file.second);
    writeFile(source + "/CMakeLists.txt", files["CMakeLists.txt"] +
                                              "add_executable(guide-shot shot.cpp)\n"
                                              "target_link_libraries(guide-shot PRIVATE Velquor::vq_engine)\n");
    Outcome configure = shell("cmake -S " + shellQuoted(source) + " -B " + shellQuoted(build) +
                              " -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=" + shellQuoted(prefix->path));
    ASSERT_EQ(configure.status, 0) << configure.output;
    Outcome compile = shell("cmake --build " + shellQuoted(build));
    ASSERT_EQ(compile.status, 0) << compile.output;

    Outcome run = shell(onDisplay() + "./my-demo", build);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");
    Outcome shot = shell(onDisplay() + "./guide-shot " + shotSize() + " shot.png", build);
    ASSERT_EQ(shot.status, 0) << shot.output;
    EXPECT_EQ(compareWithGuidePicture(build + "/shot.png"), "");

    // The guide's capture of the same show: nothing moves before 5 s, so its
    // frame at 3 s is the picture too.
    Outcome captured = shell(onDisplay() + "./my-demo-capture --size " + shotSize() + " --at 3 --frames .", build);
    ASSERT_EQ(captured.status, 0) << captured.output;
    EXPECT_NE(captured.output.find("my-demo-capture: wrote 1 PNG frame into ."), std::string::npos) << captured.output;
    EXPECT_EQ(compareWithGuidePicture(build + "/t3.000.png"), "");
    // The guide's frame test holds that frame to its picture.
    ASSERT_EQ(shell("mkdir " + shellQuoted(source + "/reference") + " && cp " + shellQuoted(guidePicture) + " " +
                    shellQuoted(source + "/reference/t3.000.png")).status, 0);
    Outcome frameTest = shell("env -u DISPLAY ctest -V", build);
    EXPECT_EQ(frameTest.status, 0) << frameTest.output;
    EXPECT_NE(frameTest.output.find("my-demo-capture: the frame agrees with " + source + "/reference"),
              std::string::npos)
        << frameTest.output;
    Outcome help = shell("./my-demo-preview --help", build);
    EXPECT_EQ(help.status, 0) << help.output;
    EXPECT_EQ(help.output.rfind("Usage: my-demo-preview", 0), 0u) << help.output;
}

TEST_F(Installed, TheGuidesFirstDemoBuildsWithPkgConfigAndDrawsItsPicture) {
    TempDir project;
    std::map<std::string, std::string> files = guideFiles();
    for (const auto& file : files)
        writeFile(project.path + "/" + file.first, file.second);
    writeFile(project.path + "/build.sh", replaced(files["build.sh"], "DIR/", prefix->path + "/"));
    Outcome built = shell(onDisplay() + "sh -e build.sh", project.path);
    ASSERT_EQ(built.status, 0) << built.output;
    EXPECT_EQ(built.output, "");

    Outcome shot = shell("cp " + shellQuoted(guideShotSource) + " . && c++ -std=c++17 -o guide-shot shot.cpp $(" +
                             "PKG_CONFIG_PATH=" + shellQuoted(prefix->path + "/lib/pkgconfig") +
                             " pkg-config --cflags --libs velquor) && " + onDisplay() + "./guide-shot " + shotSize() + " shot.png",
                         project.path);
    ASSERT_EQ(shot.status, 0) << shot.output;
    EXPECT_EQ(compareWithGuidePicture(project.path + "/shot.png"), "");
}

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

    // Its capture, built beside it, draws the show at the asked size.
    Outcome captured = shell(onDisplay() + "./hello-particles-capture --size 320x180 --at 3 --frames .", build);
    ASSERT_EQ(captured.status, 0) << captured.output;
    tools::RgbImage frame;
    ASSERT_EQ(tools::readPng(build + "/t3.000.png", frame), "");
    EXPECT_EQ(frame.width, 320);
    EXPECT_EQ(frame.height, 180);
    Outcome help = shell("./hello-particles-preview --help", build);
    EXPECT_EQ(help.output.rfind("Usage: hello-particles-preview", 0), 0u) << help.output;
}

TEST_F(Installed, HelloParticlesBuildsWithPkgConfig) {
    TempDir project;
    std::string source = copyHelloParticles(project.path);
    std::string pkgConfig = "PKG_CONFIG_PATH=" + shellQuoted(prefix->path + "/lib/pkgconfig") + " pkg-config";
    Outcome compile = shell("c++ -std=c++17 -o hello-particles " + shellQuoted(source + "/main.cpp") + " $(" + pkgConfig +
                            " --cflags --libs velquor) && mkdir data && cp \"$(" + pkgConfig +
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

// The web build of a project from the install alone, as the guide and the
// hello-particles CMakeLists.txt give it: its one file, or why there is none.
std::string webPage(const std::string& source, const std::string& build, const std::string& name,
                    const std::string& prefix) {
    Outcome made = shell("emcmake cmake -S " + shellQuoted(source) + " -B " + shellQuoted(build) +
                         " -DCMAKE_BUILD_TYPE=Release -DVelquor_DIR=" + shellQuoted(prefix + "/lib/cmake/Velquor") +
                         " && cmake --build " + shellQuoted(build));
    std::string page = build + "/" + name + ".html";
    if (made.status != 0 || readTextFile(page).empty())
        return "no " + page + ":\n" + made.output;
    return "";
}

// The page's frame-exact still at 3 s, as a PNG at shot.
std::string pageStill(const std::string& page, int width, int height, const std::string& shot) {
    Browser browser(width, height);
    if (!browser.error.empty())
        return browser.error;
    std::string error = browser.navigate("file://" + page + "?at=3&size=" + std::to_string(width) + "x" +
                                         std::to_string(height));
    if (!error.empty())
        return error;
    const std::string status = "document.getElementById('status').textContent";
    if (!browser.waitFor("/^(ready|error)/.test(" + status + ")", 120.0))
        return "the page drew nothing in 120 s";
    std::string failure, said = browser.evaluate(status, failure);
    if (said.rfind("ready", 0) != 0)
        return "the page says " + said + failure;
    return browser.screenshot(shot);
}

// The guide's show and hello-particles as pages of one file, built from the
// install with emscripten, each drawing the picture its native program draws.
TEST_F(Installed, TheGuidesPageAndHelloParticlesPageDrawTheirPictures) {
    TempDir project;
    std::map<std::string, std::string> files = guideFiles();
    for (const auto& file : files)
        writeFile(project.path + "/" + file.first, file.second);
    std::string guidePage = project.path + "/build-web/my-demo.html";
    ASSERT_EQ(webPage(project.path + "/web", project.path + "/build-web", "my-demo", prefix->path), "");
    std::string shot = project.path + "/page.png";
    ASSERT_EQ(pageStill(guidePage, examplePictureWidth, examplePictureHeight, shot), "");
    EXPECT_EQ(compareWithGuidePicture(shot), "");

    std::string source = copyHelloParticles(project.path);
    ASSERT_EQ(webPage(source, project.path + "/hello-web", "hello-particles", prefix->path), "");
    ASSERT_EQ(pageStill(project.path + "/hello-web/hello-particles.html", 320, 180, shot), "");
    tools::RgbImage still;
    ASSERT_EQ(tools::readPng(shot, still), "");
    int lit = 0;
    for (size_t i = 0; i < still.rgb.size(); i += 3)
        lit += still.rgb[i] + still.rgb[i + 1] + still.rgb[i + 2] > 3 * 80;
    EXPECT_GT(lit, 200) << "hello-particles' page at 3 s is dark";
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
