// What a new user meets first: the release folder's README, read where the
// tarball unpacks it, and ./run.sh's install step for someone who is not root.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/Audio.h"
#include "tests/support/Process.h"

namespace {

// The first line of text that starts with prefix, without it; empty when none does.
std::string lineAfter(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0)
            return line.substr(prefix.size());
    return "";
}

TEST(ReleaseReadme, NamesTheFolderItIsInTheTracksLengthAndNoSudo) {
    TempDir packages;
    ShellOutcome pack = runShell("cpack -G TGZ --config '" VQ_BUILD_DIR "/CPackConfig.cmake' -B '" + packages.path +
                                     "' && cd '" + packages.path + "' && tar xzf *.tar.gz && ls -d */",
                                 120.0);
    ASSERT_EQ(pack.status, 0) << pack.output;
    std::string folder = lineAfter(pack.output, "velquor-");
    ASSERT_FALSE(folder.empty()) << pack.output;
    folder = "velquor-" + folder.substr(0, folder.size() - 1); // without ls's slash
    std::string readme = readTextFile(packages.path + "/" + folder + "/README.txt");
    ASSERT_FALSE(readme.empty()) << "no README.txt in " << folder;

    EXPECT_EQ(lineAfter(readme, "    cd "), folder) << readme;
    EXPECT_EQ(readme.find("sudo"), std::string::npos) << readme;

    // "N seconds long", against the track the folder holds.
    std::string error;
    StereoAudio track = decodeWithMixer(packages.path + "/" + folder + "/data/quorvin.mp3", error);
    ASSERT_GT(track.seconds(), 0.0) << error;
    size_t unit = readme.find(" seconds long");
    ASSERT_NE(unit, std::string::npos) << readme;
    size_t number = readme.find_last_of(' ', unit - 1) + 1;
    EXPECT_NEAR(std::atof(readme.substr(number, unit - number).c_str()), track.seconds(), 0.1) << readme;
}

// Everyone may read this tree and its scripts; the one who runs them here is
// nobody, whose PATH has everything of this machine's but sudo, and who sees
// an empty package database, so every package the build needs is missing.
TEST(RunScript, WithoutRootOrSudoItNamesTheMissingPackagesInOneLine) {
    TempDir home;
    std::string bin = home.path + "/bin";
    std::string admin = home.path + "/dpkg";
    ShellOutcome prepare =
        runShell("chmod 755 '" + home.path + "' && mkdir '" + bin + "' '" + admin + "' && touch '" + admin +
                     "/status' && ln -sf /usr/local/bin/* /usr/bin/* /bin/* '" + bin + "' && rm -f '" + bin + "/sudo'",
                 30.0);
    ASSERT_EQ(prepare.status, 0) << prepare.output;
    std::string asNobody = getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    std::string script = VQ_SOURCE_DIR "/run.sh";
    ShellOutcome run = runShell(asNobody + "env -i PATH='" + bin + "' DPKG_ADMINDIR='" + admin + "' BUILD_DIR='" +
                                    home.path + "/build' " + script + " build",
                                60.0);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output.rfind(script + ": missing packages: cmake g++ ", 0), 0u) << run.output;
    EXPECT_NE(run.output.find(" libsdl2-dev "), std::string::npos) << run.output;
    const std::string advice = "; run this as root or install sudo\n";
    ASSERT_GE(run.output.size(), advice.size()) << run.output;
    EXPECT_EQ(run.output.substr(run.output.size() - advice.size()), advice) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
}

} // namespace
