// The Debian packages as a user on a fresh Debian 12 meets them: a minimal
// root made by debootstrap from the mirror this machine's apt uses, the
// packages installed there with apt-get, which fetches what they depend on,
// the demo played through the launcher on the PATH with a short track under
// Xvfb, and hello-particles built against libvelquor-dev alone. It needs
// root (debootstrap, chroot) and the network; ./run.sh debian runs it, and
// lintian on both packages first.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/TestTrack.h"

namespace {

const std::string version = VQ_VERSION;
const std::string demoPackage = "velquor_" + version + "_amd64.deb";
const std::string devPackage = "libvelquor-dev_" + version + "_amd64.deb";

// The first Debian archive in apt's sources, one-line or deb822 style; the
// security archive serves only updates.
std::string debianMirror() {
    std::string lines = commandOutput("cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list "
                                      "/etc/apt/sources.list.d/*.sources 2>/dev/null");
    std::istringstream in(lines);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word != "deb" && word != "URIs:")
            continue;
        while (words >> word)
            if (word.rfind("http", 0) == 0 && word.find("security") == std::string::npos)
                return word;
    }
    return "";
}

TEST(DebianLintian, FindsNoErrorInEitherPackage) {
    TempDir packages;
    ShellOutcome pack =
        runShell("cpack -G DEB --config '" VQ_BUILD_DIR "/CPackConfig.cmake' -B '" + packages.path + "'", 300.0);
    ASSERT_EQ(pack.status, 0) << pack.output;
    ShellOutcome lint =
        runShell("cd '" + packages.path + "' && lintian --fail-on error " + demoPackage + " " + devPackage, 300.0);
    EXPECT_EQ(lint.status, 0) << lint.output;
    EXPECT_EQ(lint.output.find("\nE: "), std::string::npos) << lint.output;
    std::printf("lintian:\n%s", lint.output.c_str());
}

class DebianPackages : public ::testing::Test {
protected:
    // One root for the suite: making it is most of the time.
    static void SetUpTestSuite() {
        packages = new TempDir;
        root = new TempDir;
        setup = new std::string(makeRoot());
    }
    static void TearDownTestSuite() {
        delete root;
        delete packages;
        delete setup;
    }
    void SetUp() override { ASSERT_EQ(*setup, ""); }

    // Empty when the root stands with the packages beside it; otherwise why not.
    static std::string makeRoot() {
        if (getuid() != 0)
            return "debian_package_test makes a Debian root with debootstrap and chroot: run it as root";
        std::string mirror = debianMirror();
        if (mirror.empty())
            return "no Debian archive in /etc/apt/sources.list or /etc/apt/sources.list.d/";
        ShellOutcome pack =
            runShell("cpack -G DEB --config '" VQ_BUILD_DIR "/CPackConfig.cmake' -B '" + packages->path + "'", 300.0);
        if (pack.status != 0)
            return "cpack failed:\n" + pack.output;
        ShellOutcome bootstrap =
            runShell("debootstrap --variant=minbase bookworm '" + root->path + "' '" + mirror + "'", 600.0);
        if (bootstrap.status != 0)
            return "debootstrap from " + mirror + " failed:\n" + bootstrap.output;
        // Nothing is mounted into the root, so removing it can touch nothing else.
        ShellOutcome copy = runShell("cp '" + packages->path + "/" + demoPackage + "' '" + packages->path + "/" +
                                         devPackage + "' '" + root->path + "/tmp/'",
                                     30.0);
        if (copy.status != 0)
            return "copying the packages into the root failed:\n" + copy.output;
        ShellOutcome update = inRoot("apt-get update -qq", 300.0);
        return update.status == 0 ? "" : "apt-get update in the root failed:\n" + update.output;
    }

    static ShellOutcome inRoot(const std::string& command, double timeoutSeconds) {
        std::string quoted;
        for (char c : command)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return runShell("chroot '" + root->path + "' /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root " +
                            "DEBIAN_FRONTEND=noninteractive /bin/sh -c 'cd /tmp && " + quoted + "'",
                        timeoutSeconds);
    }

    static TempDir* packages;
    static TempDir* root;
    static std::string* setup;
};

TempDir* DebianPackages::packages = nullptr;
TempDir* DebianPackages::root = nullptr;
std::string* DebianPackages::setup = nullptr;

TEST_F(DebianPackages, TheDemoInstallsWithItsDependenciesAndPlaysThroughTheLauncher) {
    ShellOutcome install = inRoot("apt-get install -y -qq ./" + demoPackage + " xvfb xauth", 600.0);
    ASSERT_EQ(install.status, 0) << install.output;
    EXPECT_EQ(
        inRoot("for p in velquor velquor-capture velquor-page-capture velquor-soundtrack velquor-preview; do command -v $p; "
               "done",
               10.0)
            .output,
        "/usr/bin/velquor\n/usr/bin/velquor-capture\n/usr/bin/velquor-page-capture\n/usr/bin/velquor-soundtrack\n"
        "/usr/bin/velquor-preview\n");
    EXPECT_EQ(
        inRoot("cd /usr/share/man && ls man6/velquor* man1/velquor*", 10.0).output,
        "man1/velquor-capture.1.gz\nman1/velquor-page-capture.1.gz\nman1/velquor-preview.1.gz\n"
        "man1/velquor-soundtrack.1.gz\nman6/velquor.6.gz\n");

    // The installed track is the whole show; a short one in its place.
    ASSERT_TRUE(makeTestTrack(root->path + "/usr/share/velquor/data/quorvin.mp3", 2.0));
    ShellOutcome play =
        inRoot("SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 640x360x24' velquor && echo played", 180.0);
    EXPECT_EQ(play.status, 0) << play.output;
    EXPECT_NE(play.output.find("played"), std::string::npos) << play.output;
}

TEST_F(DebianPackages, HelloParticlesBuildsAgainstLibvelquorDevAlone) {
    // The -dev package needs the demo's for the shaders its users read.
    ShellOutcome install = inRoot("apt-get install -y -qq --no-install-recommends ./" + demoPackage + " ./" +
                                      devPackage + " cmake make g++",
                                  600.0);
    ASSERT_EQ(install.status, 0) << install.output;
    ShellOutcome build = inRoot("cp -r /usr/share/velquor/examples/hello-particles hp && cmake -S hp -B hp/build && "
                                "cmake --build hp/build && test -f hp/build/data/stars.vs",
                                300.0);
    EXPECT_EQ(build.status, 0) << build.output;
}

} // namespace
