// The velquor-capture program as a user runs it: bad command lines turned
// away before any window opens, the same frames on every run whether they are
// kept or not, PNG frames, contact sheets, video through ffmpeg, and failures
// midway that leave nothing half-written under an output's name.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/CaptureRun.h"
#include "tests/support/Process.h"
#include "tests/support/TestTrack.h"
#include "tools/capture/ContactSheet.h"
#include "tools/common/PngFile.h"

using tools::RgbImage;

namespace {

// Small frames keep the runs short; the picture itself is the reference
// test's business.
const char* const smallSize = "320x180";

bool exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

std::string listing(const std::string& directory) {
    return commandOutput("ls -A '" + directory + "'");
}

int lineCount(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

RgbImage load(const std::string& path) {
    RgbImage image;
    std::string error = tools::readPng(path, image);
    EXPECT_EQ(error, "");
    return image;
}

int litPixels(const RgbImage& image, int x0, int y0, int x1, int y1) {
    int lit = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            lit += std::max({image.pixel(x, y)[0], image.pixel(x, y)[1], image.pixel(x, y)[2]}) > 60;
    return lit;
}

// A working directory of its own: data/ with the shader pair and a short
// test track, and room for outputs.
class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        prepareShowDirectory(dir.path, trackSeconds);
        settings.workingDirectory = dir.path;
    }
    std::string path(const std::string& name) const { return dir.path + "/" + name; }

    static constexpr double trackSeconds = 6.0;
    TempDir dir;
    CaptureSettings settings;
};

TEST_F(Capture, TurnsBadInputAwayWithOneLineAndStatus2BeforeAnyWindowOpens) {
    // No display to open a window on: reaching that far would fail otherwise.
    settings.environment = {{"DISPLAY", ":9999"}};
    const std::vector<std::vector<std::string>> commands = {
        {"--sheet", "s.png", "--colour", "red"},
        {"--size", "1920", "--sheet", "s.png"},
        {"--fps", "fast", "--sheet", "s.png"},
        {"--at", "1,x", "--frames", "shots"},
        {"--from", "3", "--to", "2", "--sheet", "s.png"},
        {"--to", "9", "--sheet", "s.png"}, // past the 6 s track
        {"--at", "2", "--duration", "1"},
        {"--video", "/nonexistent/velquor.mp4"},
        {"--sheet", "/proc/sheet.png"},
        {"--size", "1280x720"},
        {"--at", "1", "--compare", "missing"},
        {"--at", "1", "--compare", "data/stars.fs"},
        {"--sheet", "s.png", "--compare", "data"},
    };
    for (const std::vector<std::string>& args : commands) {
        CaptureRun run = runCapture(args, settings);
        EXPECT_EQ(run.status, 2) << args[0] << ": " << run.output;
        EXPECT_EQ(lineCount(run.output), 1) << args[0] << ": " << run.output;
        EXPECT_EQ(run.output.rfind("velquor-capture: ", 0), 0u) << run.output;
    }
    EXPECT_EQ(listing(dir.path), "data\n") << "nothing was made";
}

TEST_F(Capture, HelpGoesToStandardOutput) {
    CaptureRun run = runCapture({"--help"}, settings);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("Usage: velquor-capture", 0), 0u) << run.output;
}

TEST_F(Capture, SaysWhichDataFileIsMissing) {
    commandOutput("rm '" + path("data/stars.fs") + "'");
    CaptureRun run = runCapture({"--sheet", "s.png"}, settings);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("cannot read data/stars.fs in " + dir.path), std::string::npos) << run.output;

    prepareShowDirectory(dir.path, trackSeconds);
    commandOutput("rm '" + path("data/quorvin.mp3") + "'");
    run = runCapture({"--sheet", "s.png"}, settings);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("data/quorvin.mp3"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("--duration"), std::string::npos) << run.output;
    EXPECT_FALSE(exists(path("s.png")));
}

TEST_F(Capture, DrawsEveryFrameSoAFrameIsTheSameWhetherOrNotTheOnesBeforeItAreKept) {
    // The show moves its points once per frame, from 4.9 s on in the number 14.
    const std::vector<std::string> common = {"--size", smallSize, "--fps", "30"};
    std::vector<std::string> kept = common;
    kept.insert(kept.end(), {"--from", "5.1", "--to", "5.2", "--frames", "all"});
    std::vector<std::string> alone = common;
    alone.insert(alone.end(), {"--at", "5.2,5.1", "--frames", "some"});
    CaptureRun run = runCapture(kept, settings);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(listing(path("all")), "frame-000153.png\nframe-000154.png\nframe-000155.png\nframe-000156.png\n");
    EXPECT_NE(run.output.find("wrote 4 PNG frames into all"), std::string::npos) << run.output;
    run = runCapture(alone, settings);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(listing(path("some")), "t5.100.png\nt5.200.png\n");

    RgbImage first = load(path("all/frame-000153.png"));
    RgbImage last = load(path("all/frame-000156.png"));
    EXPECT_EQ(first.width, 320);
    EXPECT_EQ(first.height, 180);
    EXPECT_EQ(load(path("some/t5.100.png")).rgb, first.rgb);
    EXPECT_EQ(load(path("some/t5.200.png")).rgb, last.rgb);
    EXPECT_NE(first.rgb, last.rgb);
    EXPECT_GT(litPixels(first, 0, 0, 320, 180), 500) << "the show is in the picture";

    // Another run, the same pixels.
    commandOutput("rm -r '" + path("some") + "'");
    run = runCapture(alone, settings);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(load(path("some/t5.200.png")).rgb, last.rgb);
}

// --compare holds each --at frame to the picture of its name; the frames
// themselves are only compared, not written.
TEST_F(Capture, ComparesEachAtFrameWithItsReferenceAndNamesEveryOneThatDoesNotAgree) {
    const std::vector<std::string> common = {"--size", smallSize, "--fps", "30", "--at", "4.5,5.2"};
    std::vector<std::string> capture = common;
    capture.insert(capture.end(), {"--frames", "refs"});
    ASSERT_EQ(runCapture(capture, settings).status, 0);
    std::vector<std::string> compare = common;
    compare.insert(compare.end(), {"--compare", "refs"});
    CaptureRun run = runCapture(compare, settings);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("t4.500.png at 4.5 s: agrees with refs/t4.500.png: 0 pixels differ"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("t5.200.png at 5.2 s: agrees with refs/t5.200.png"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("velquor-capture: all 2 frames agree with refs"), std::string::npos) << run.output;
    EXPECT_EQ(listing(dir.path), "data\nrefs\n");

    // One reference of a frame a tenth of a second away, one gone.
    commandOutput("cd '" + dir.path + "/refs' && mv t5.200.png t4.500.png");
    run = runCapture(compare, settings);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("velquor-capture: --compare: t4.500.png at 4.5 s differs from refs/t4.500.png: "),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("velquor-capture: --compare: t5.200.png at 5.2 s has no reference: cannot read "
                              "refs/t5.200.png: No such file or directory"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("velquor-capture: 2 of 2 frames do not agree with refs"), std::string::npos)
        << run.output;

    // Written into the references themselves, the frames are held to the
    // pictures that were there, and each differing one gets its differences.
    compare.insert(compare.end(), {"--frames", "refs"});
    run = runCapture(compare, settings);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("t4.500.png at 4.5 s differs from refs/t4.500.png"), std::string::npos) << run.output;
    EXPECT_TRUE(exists(path("refs/t4.500-diff.png")));
    EXPECT_TRUE(exists(path("refs/t5.200.png")));
    EXPECT_EQ(runCapture(compare, settings).status, 0);
}

// Point sizes are in pixels, so on a frame taller than 1080 lines the points
// grow with its height: a 4K frame keeps the light of a 1080p one, where
// points of 1080p size would give it about a quarter.
TEST_F(Capture, AFrameTallerThan1080LinesKeepsTheLightOfA1080pFrame) {
    auto meanLight = [](const RgbImage& image) {
        double sum = 0.0;
        for (unsigned char channel : image.rgb)
            sum += channel;
        return sum / double(image.width * image.height);
    };
    const std::vector<std::string> moments = {"t1.200.png", "t4.500.png"};
    std::vector<double> light[2];
    const char* sizes[2] = {"1920x1080", "3840x2160"};
    for (int k = 0; k < 2; k++) {
        CaptureRun run = runCapture({"--size", sizes[k], "--fps", "30", "--at", "1.2,4.5", "--frames", sizes[k]}, settings);
        ASSERT_EQ(run.status, 0) << run.output;
        for (const std::string& moment : moments)
            light[k].push_back(meanLight(load(path(std::string(sizes[k]) + "/" + moment))));
    }
    for (size_t m = 0; m < moments.size(); m++) {
        EXPECT_GT(light[0][m], 1.0) << moments[m] << ": the 1080p frame is lit";
        EXPECT_GE(light[1][m], 0.8 * light[0][m]) << moments[m];
        EXPECT_LE(light[1][m], 1.25 * light[0][m]) << moments[m];
    }
}

TEST_F(Capture, WritesAContactSheetOfTheWholeTrackWithTheTimesUnderTheThumbnails) {
    CaptureRun run = runCapture({"--size", smallSize, "--fps", "30", "--grid", "3x2", "--sheet", "sheet.png"}, settings);
    ASSERT_EQ(run.status, 0) << run.output;
    RgbImage sheet = load(path("sheet.png"));
    // Thumbnails at full size for frames this small.
    capture::ContactSheet layout(3, 2, 320, 180);
    ASSERT_EQ(layout.thumbnailWidth, 320);
    ASSERT_EQ(sheet.width, layout.picture.width);
    ASSERT_EQ(sheet.height, layout.picture.height);
    for (int cell = 0; cell < 6; cell++) {
        int left = layout.cellLeft(cell);
        int top = layout.cellTop(cell);
        EXPECT_GT(litPixels(sheet, left, top, left + 320, top + 180), 500) << "thumbnail " << cell;
        int label = layout.labelTop(cell);
        EXPECT_GT(litPixels(sheet, left, label, left + 320, label + layout.labelHeight()), 20) << "label " << cell;
    }
    EXPECT_FALSE(exists(path("sheet.png.part")));
}

std::string probe(const std::string& file, const std::string& stream, const std::string& entries) {
    return commandOutput("ffprobe -v error -select_streams " + stream + " -show_entries " + entries +
                         " -of default=noprint_wrappers=1 '" + file + "'");
}

TEST_F(Capture, EncodesTheRangeAsH264WithTheSoundtrackFromTheSameTime) {
    ASSERT_FALSE(commandOutput("command -v ffmpeg").empty()) << "ffmpeg is not installed (./run.sh installs it)";
    CaptureRun run = runCapture(
        {"--size", smallSize, "--fps", "30", "--from", "1", "--to", "2", "--video", "clip.mp4"}, settings);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(listing(dir.path), "clip.mp4\ndata\n");
    std::string video = probe(path("clip.mp4"), "v:0", "stream=codec_name,pix_fmt,width,height,nb_frames,r_frame_rate");
    EXPECT_NE(video.find("codec_name=h264"), std::string::npos) << video;
    EXPECT_NE(video.find("pix_fmt=yuv420p"), std::string::npos) << video;
    EXPECT_NE(video.find("width=320\nheight=180"), std::string::npos) << video;
    EXPECT_NE(video.find("r_frame_rate=30/1"), std::string::npos) << video;
    EXPECT_NE(video.find("nb_frames=31"), std::string::npos) << "frames 30 to 60: " << video;
    std::string audio = probe(path("clip.mp4"), "a:0", "stream=codec_name:stream=duration");
    EXPECT_NE(audio.find("codec_name=aac"), std::string::npos) << audio;
    // The sound starts at the first frame's time, 1 s into the track, and lasts as long as the pictures.
    size_t at = audio.find("duration=");
    ASSERT_NE(at, std::string::npos) << audio;
    EXPECT_NEAR(std::stod(audio.substr(at + 9)), 31.0 / 30.0, 0.05) << audio;
}

// An ffmpeg that starts its output file (its last argument), takes some
// frames and then fails.
void installFailingEncoder(const std::string& directory) {
    mkdir(directory.c_str(), 0755);
    std::string path = directory + "/ffmpeg";
    std::ofstream script(path);
    script << "#!/bin/sh\n"
              "for arg; do out=$arg; done\n"
              "echo partial > \"$out\"\n"
              "/usr/bin/head -c 200000 > /dev/null\n"
              "echo 'Conversion failed: fake encoder gave up' >&2\n"
              "exit 1\n";
    script.close();
    chmod(path.c_str(), 0755);
}

TEST_F(Capture, StopsWhenFfmpegFailsMidwayAndLeavesNoVideoBehind) {
    installFailingEncoder(path("bin"));
    settings.environment = {{"PATH", path("bin")}};
    CaptureRun run = runCapture({"--size", smallSize, "--fps", "30", "--video", "clip.mp4"}, settings);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("ffmpeg"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("fake encoder gave up"), std::string::npos) << run.output;
    EXPECT_EQ(listing(dir.path), "bin\ndata\n");
}

TEST_F(Capture, SaysHowToInstallFfmpegWhenItIsMissing) {
    settings.environment = {{"PATH", path("empty")}, {"DISPLAY", ":9999"}};
    CaptureRun run = runCapture({"--video", "clip.mp4"}, settings);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("apt-get install ffmpeg"), std::string::npos) << run.output;
    EXPECT_EQ(lineCount(run.output), 1) << run.output;
    EXPECT_FALSE(exists(path("clip.mp4")));
}

TEST_F(Capture, StopsWhenTheDiskFillsAndLeavesNoPartsBehind) {
    // A file size limit fails writes as a full disk does; 64 blocks of at
    // least 512 bytes hold the first frames but not all of them.
    settings.shellPrefix = "ulimit -f 64;";
    CaptureRun run = runCapture({"--size", "480x270", "--fps", "30", "--to", "2", "--frames", "shots"}, settings);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write shots/frame-"), std::string::npos) << run.output;
    std::string files = listing(path("shots"));
    EXPECT_EQ(files.find(".part"), std::string::npos) << files;
}

TEST_F(Capture, ReportsProgressByTenthsWhenNotOnATerminal) {
    CaptureRun run = runCapture({"--size", smallSize, "--fps", "20", "--to", "2", "--sheet", "s.png"}, settings);
    ASSERT_EQ(run.status, 0) << run.output;
    size_t at = 0;
    for (int percent = 10; percent <= 100; percent += 10) {
        std::string line = "velquor-capture: " + std::string(percent < 100 ? " " : "") + std::to_string(percent) +
                           "% (" + std::to_string(percent * 40 / 100) + "/40 frames, ";
        at = run.output.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << " in\n" << run.output;
    }
    EXPECT_EQ(run.output.find('\r'), std::string::npos);
}

// What the child writes up to and including the first line holding text,
// or everything up to its end; it waits on the pipe, up to a minute a read.
std::string readUntil(int pipe, const std::string& text, std::string& output) {
    char buffer[4096];
    for (;;) {
        if (!text.empty() && output.find(text) != std::string::npos)
            return output;
        pollfd ready = {pipe, POLLIN, 0};
        if (poll(&ready, 1, 60000) <= 0)
            return output;
        ssize_t got = read(pipe, buffer, sizeof buffer);
        if (got <= 0)
            return output;
        output.append(buffer, size_t(got));
    }
}

TEST_F(Capture, CleansUpWhenInterrupted) {
    ASSERT_FALSE(commandOutput("command -v ffmpeg").empty()) << "ffmpeg is not installed (./run.sh installs it)";
    settings.environment = {};
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    ProcessOptions options{dir.path, captureEnvironment(settings), ""};
    options.output = fds[1];
    pid_t capture = spawnProcess(
        captureCommand({"--size", smallSize, "--fps", "30", "--duration", "60", "--video", "clip.mp4"}, settings),
        options);
    close(fds[1]);
    // Its first progress line comes once a tenth of the frames went into ffmpeg.
    std::string output;
    readUntil(fds[0], "velquor-capture:  10% (", output);
    EXPECT_NE(output.find("10% ("), std::string::npos) << output;
    EXPECT_TRUE(exists(path("clip.mp4.part"))) << output;
    kill(capture, SIGINT);
    readUntil(fds[0], "", output);
    close(fds[0]);
    int status = waitProcess(capture, 30.0);
    EXPECT_EQ(status, 128 + SIGINT) << output;
    EXPECT_NE(output.find("stopped by signal"), std::string::npos) << output;
    EXPECT_EQ(listing(dir.path), "data\n");
}

} // namespace
