// What a user can do wrong to the files and settings of velquor and
// velquor-capture, tried on the real binaries: each fault ends the program
// within a time limit, with status 1 (2 for a bad capture option) and one
// line from the program naming the file or value and why.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/CaptureRun.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRun.h"
#include "tests/support/TestTrack.h"
#include "tests/support/XServer.h"

namespace {

const std::string capturePath = VQ_BUILD_DIR "/velquor-capture";
// A refused file is refused before any window opens; the broken shader is
// found once all nine scenes are built, which takes a few seconds.
const double refusalLimit = 20.0;

struct Outcome {
    int status = -1; // -1: still running at the limit, then stopped
    std::string output;
};

std::string lastLine(const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

// Lines the program itself printed, by its "name: " prefix.
int linesOf(const std::string& text, const std::string& program) {
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.rfind(program + ": ", 0) == 0 ? 1 : 0;
    return count;
}

int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        found++;
    return found;
}

class FaultTable : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        prepareShowDirectory(dir.path, 1.0);
        display.reset(new XServer(640, 360));
        ASSERT_TRUE(display->running());
    }

    bool isCapture() const { return std::string(GetParam()) == "velquor-capture"; }

    // The program as a user starts it in the prepared directory; the capture
    // writes a few small frames and takes its length from the track.
    Outcome run(const std::vector<std::string>& captureArgs = {}, double limit = refusalLimit,
            const std::vector<std::string>& prefix = {}) {
        std::vector<std::string> argv = prefix;
        if (isCapture()) {
            argv.push_back(capturePath);
            std::vector<std::string> args = {"--size", "64x36", "--fps", "10", "--at", "0.5", "--frames", "shots"};
            argv.insert(argv.end(), args.begin(), args.end());
            argv.insert(argv.end(), captureArgs.begin(), captureArgs.end());
        } else {
            argv.push_back(velquorPath);
        }
        std::string log = logs.path + "/output.txt";
        pid_t child = spawnProcess(argv, {dir.path, {{"DISPLAY", display->display}, {"SDL_AUDIODRIVER", "dummy"}}, log});
        Outcome result;
        result.status = waitProcess(child, limit);
        if (result.status < 0)
            stopProcess(child);
        result.output = readTextFile(log);
        return result;
    }

    // The one line a refused data file gives.
    std::string unreadable(const std::string& file, const std::string& reason) const {
        std::string line = GetParam() + std::string(": cannot read ") + file + " in " + dir.path + ": " + reason;
        if (isCapture())
            line += " (run it where data/ is, such as the build directory)";
        if (isCapture() && file == "data/quorvin.mp3")
            line += "; or give --duration";
        return line;
    }

    void expectRefusal(const Outcome& result, int status, const std::string& line) {
        EXPECT_EQ(result.status, status) << (result.status < 0 ? "still running at the limit\n" : "") << result.output;
        EXPECT_EQ(lastLine(result.output), line) << result.output;
        EXPECT_EQ(linesOf(result.output, GetParam()), isCapture() ? 1 + startLines : 1) << result.output;
    }

    std::string data(const std::string& name) const { return dir.path + "/data/" + name; }

    TempDir dir;
    TempDir logs;
    std::unique_ptr<XServer> display;
    // The capture says what it will draw before it opens its window.
    int startLines = 0;
};

TEST_P(FaultTable, ADirectoryInPlaceOfADataFileIsNamed) {
    for (const char* file : {"stars.vs", "stars.fs", "quorvin.mp3"}) {
        SCOPED_TRACE(file);
        std::string path = data(file);
        std::string keep = path + ".kept";
        ASSERT_EQ(rename(path.c_str(), keep.c_str()), 0);
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        expectRefusal(run(), 1, unreadable(std::string("data/") + file, "is a directory"));
        rmdir(path.c_str());
        rename(keep.c_str(), path.c_str());
    }
}

TEST_P(FaultTable, ANamedPipeInPlaceOfADataFileIsNamedWithoutWaiting) {
    for (const char* file : {"stars.vs", "stars.fs", "quorvin.mp3"}) {
        SCOPED_TRACE(file);
        std::string path = data(file);
        std::string keep = path + ".kept";
        ASSERT_EQ(rename(path.c_str(), keep.c_str()), 0);
        ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        expectRefusal(run(), 1, unreadable(std::string("data/") + file, "is a named pipe"));
        unlink(path.c_str());
        rename(keep.c_str(), path.c_str());
    }
}

// The shader's own reports stay as the engine prints them, once per scene;
// then the program stops instead of showing nine broken programs' black.
TEST_P(FaultTable, ABrokenShaderStopsTheShowOnceTheScenesAreBuilt) {
    struct Broken {
        const char* file;
        const char* text;
    };
    for (Broken broken : {Broken{"stars.fs", "void main() { syntax error here }\n"}, Broken{"stars.vs", ""}}) {
        SCOPED_TRACE(broken.file);
        std::string path = data(broken.file);
        std::string keep = readTextFile(path);
        commandOutput("printf '%s' '" + std::string(broken.text) + "' > '" + path + "'");
        startLines = isCapture() ? 1 : 0;
        Outcome result = run({"--duration", "1"}, startupAllowance);
        expectRefusal(result, 1,
                      GetParam() + std::string(": the show cannot start with a broken particle program: 9 of 9 "
                                               "built from data/stars.vs and data/stars.fs did not link (the "
                                               "shader errors are above)"));
        EXPECT_EQ(count(result.output, "Shader error\n"), 9) << result.output;
        EXPECT_EQ(count(result.output, "Link error\n"), 9) << result.output;
        std::ofstream(path, std::ios::binary) << keep;
    }
}

TEST_P(FaultTable, NoDisplayAtAllNamesSDLsVideoDriver) {
    startLines = isCapture() ? 1 : 0;
    Outcome result = run({}, refusalLimit, {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"});
    expectRefusal(result, 1,
                  GetParam() + std::string(": no display found: SDL's video driver is \"offscreen\", which has no "
                                           "windowing system (set DISPLAY or WAYLAND_DISPLAY, or run under "
                                           "xvfb-run -a)"));
}

INSTANTIATE_TEST_SUITE_P(Programs, FaultTable, ::testing::Values("velquor", "velquor-capture"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "velquor" ? std::string("Velquor")
                                                                         : std::string("Capture");
                         });

// Times far past any show: refused as bad input before anything is drawn,
// where they once overflowed the frame numbers.
TEST(CaptureTimes, TimesPastTheLongestShowAreRefused) {
    struct Case {
        std::vector<std::string> args;
        std::string line;
    };
    const std::vector<Case> cases = {
        {{"--duration", "100000000", "--sheet", "s.png"},
         "velquor-capture: --duration: '100000000' is past 86400 s, the longest show the capture draws"},
        {{"--duration", "2", "--at", "99999999", "--frames", "f"},
         "velquor-capture: --at: '99999999' is past 86400 s, the longest show the capture draws"},
        {{"--duration", "2", "--to", "86400.5", "--sheet", "s.png"},
         "velquor-capture: --to: '86400.5' is past 86400 s, the longest show the capture draws"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        CaptureSettings settings;
        settings.workingDirectory = VQ_BUILD_DIR;
        settings.timeoutSeconds = refusalLimit;
        CaptureRun result = runCapture(c.args, settings);
        EXPECT_EQ(result.status, 2) << result.output;
        EXPECT_EQ(result.output, c.line + "\n");
    }
}

} // namespace
