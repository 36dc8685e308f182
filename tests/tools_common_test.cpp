// What the tools share and nothing else checks directly: files written
// whole or not at all, child processes, and where a time falls among frames.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tools/common/AtomicFile.h"
#include "tools/common/ChildProcess.h"
#include "tools/common/FrameTime.h"

namespace {

std::string listing(const std::string& directory) {
    return commandOutput("ls -A '" + directory + "'");
}

TEST(AtomicFile, WritesTheWholeFileAsOrdinaryDataAndLeavesNothingBeside) {
    TempDir dir;
    std::string path = dir.path + "/track.mp3";
    ASSERT_EQ(tools::writeFileAtomically(path, {'o', 'l', 'd'}), "");
    ASSERT_EQ(tools::writeFileAtomically(path, {'n', 'e', 'w', '!'}), "");
    EXPECT_EQ(readTextFile(path), "new!");
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    EXPECT_EQ(listing(dir.path), "track.mp3\n");
}

TEST(AtomicFile, AFileNotCommittedLeavesTheOldOneAsItWas) {
    TempDir dir;
    std::string path = dir.path + "/frame.png";
    ASSERT_EQ(tools::writeFileAtomically(path, {'o', 'l', 'd'}), "");
    {
        tools::AtomicFile out(path);
        ASSERT_EQ(out.open(), "");
        std::fputs("half a picture", out.file);
        EXPECT_EQ(readTextFile(path), "old");
    }
    EXPECT_EQ(readTextFile(path), "old");
    EXPECT_EQ(listing(dir.path), "frame.png\n");
}

TEST(AtomicFile, AnUnwritablePlaceIsNamedWithTheReason) {
    TempDir dir;
    std::string path = dir.path + "/missing/frame.png";
    EXPECT_EQ(tools::writeFileAtomically(path, {'x'}), "cannot write " + path + ": No such file or directory");
    EXPECT_EQ(tools::directoryOf("frame.png"), ".");
    EXPECT_EQ(tools::directoryOf("/frame.png"), "/");
    EXPECT_EQ(tools::directoryOf("out/frames/frame.png"), "out/frames");
}

// The child's view of itself, through its output.
std::string childSays(const std::string& script, const tools::ChildSetup& given, int& status) {
    TempDir dir;
    std::string log = dir.path + "/output.txt";
    tools::ChildSetup setup = given;
    setup.output = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t child = tools::startChild({"sh", "-c", script}, setup);
    close(setup.output);
    status = child > 0 ? tools::waitChild(child) : -1;
    return readTextFile(log);
}

TEST(ChildProcess, RunsInItsOwnGroupWhereAndWithWhatItIsGiven) {
    TempDir dir;
    tools::ChildSetup setup;
    setup.workingDirectory = dir.path;
    // A later change to a name wins, as with setenv.
    setup.environment = {{"VQ_CHILD_TEST", "first"}, {"HOME", "/nowhere"}, {"VQ_CHILD_TEST", "given"}};
    int status = -1;
    std::string said =
        childSays("pwd; echo $VQ_CHILD_TEST $HOME; awk '{ print $5 }' /proc/$$/stat; echo $$; read x || echo eof; "
                  "echo to-stderr >&2; exit 3",
                  setup, status);
    EXPECT_EQ(status, 3);
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = said.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(said.substr(at, end - at));
    ASSERT_EQ(lines.size(), 6u) << said;
    EXPECT_EQ(lines[0], dir.path);
    EXPECT_EQ(lines[1], "given /nowhere");
    EXPECT_EQ(lines[2], lines[3]) << "its process group is its own";
    EXPECT_EQ(lines[4], "eof") << "its input is /dev/null";
    EXPECT_EQ(lines[5], "to-stderr");
}

TEST(ChildProcess, ExitStatusesSayWhatWentWrong) {
    int status = -1;
    childSays("kill -TERM $$", {}, status);
    EXPECT_EQ(status, 128 + SIGTERM);

    tools::ChildSetup nowhere;
    nowhere.workingDirectory = "/nonexistent-directory";
    childSays("true", nowhere, status);
    EXPECT_EQ(status, 126);

    pid_t child = tools::startChild({"velquor-no-such-program"}, {});
    ASSERT_GT(child, 0);
    EXPECT_EQ(tools::waitChild(child), 127);
}

// Times typed in decimal miss their frame by a rounding error either way.
TEST(FrameTime, ATimeOnAFrameCountsAsOnItFromEitherSide) {
    EXPECT_EQ(tools::frameAtOrBefore(12.9, 60), 774);
    EXPECT_EQ(tools::frameAtOrAfter(12.9, 60), 774);
    EXPECT_EQ(tools::frameAtOrBefore(0.1 + 0.2, 10), 3);
    EXPECT_EQ(tools::frameAtOrAfter(0.1 + 0.2, 10), 3);
    EXPECT_EQ(tools::frameAtOrBefore(12.91, 60), 774);
    EXPECT_EQ(tools::frameAtOrAfter(12.91, 60), 775);
    EXPECT_FALSE(tools::pastEnd(0.1 + 0.2, 0.3));
    EXPECT_TRUE(tools::pastEnd(0.3001, 0.3));
}

} // namespace
