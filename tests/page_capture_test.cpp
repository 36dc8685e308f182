// velquor-page-capture on Velquor's one-file page: the capture's names and
// comparison for the page's stills, and each way it fails named with the
// capture's exit status. The eleven references themselves are
// page_reference_frames_test's.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/PictureCompare.h"
#include "tests/support/Process.h"
#include "tests/support/ReferenceMoments.h"
#include "tools/common/PngFile.h"

namespace {

const std::string tool = VQ_BUILD_DIR "/velquor-page-capture";
const std::string page = VQ_WEB_SITE_DIR "/index.html";
const std::string references = VQ_BUILD_DIR "/reference-frames";

struct Outcome {
    int status = -1;
    std::string output; // standard output and error together
};

Outcome pageCapture(std::vector<std::string> args, const ProcessOptions& base = {}) {
    TempDir log;
    ProcessOptions options = base;
    options.outputPath = log.path + "/output.txt";
    args.insert(args.begin(), tool);
    pid_t child = spawnProcess(args, options);
    int status = waitProcess(child, 180.0);
    if (status < 0)
        stopProcess(child);
    return {status, readTextFile(options.outputPath)};
}

const std::vector<std::string> referenceSettings = {"--size", "480x270", "--fps", "30"};

std::vector<std::string> withReferenceSettings(std::vector<std::string> args) {
    args.insert(args.end(), referenceSettings.begin(), referenceSettings.end());
    return args;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void writeFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

} // namespace

// One reference of two there, the other under the wrong moment's picture,
// and one moment with none: each named, the differences written beside the
// frames, and the status 1.
TEST(PageCapture, NamesTheMomentsThatDifferOrHaveNoReference) {
    TempDir compare, frames;
    commandOutput("cp '" + references + "/t1.000.png' '" + compare.path + "/t1.000.png'");
    commandOutput("cp '" + references + "/t1.000.png' '" + compare.path + "/t18.200.png'");
    Outcome run = pageCapture(withReferenceSettings(
        {page, "--at", "1,18.2,2.5", "--compare", compare.path, "--frames", frames.path}));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "t1.000.png at 1 s: agrees with " + compare.path + "/t1.000.png")) << run.output;
    EXPECT_TRUE(contains(run.output, "t18.200.png at 18.2 s: DIFFERS from " + compare.path + "/t18.200.png"))
        << run.output;
    EXPECT_TRUE(contains(run.output, "--compare: t2.500.png at 2.5 s has no reference: cannot read " + compare.path +
                                         "/t2.500.png"))
        << run.output;
    EXPECT_TRUE(contains(run.output, "velquor-page-capture: 2 of 3 frames do not agree with " + compare.path))
        << run.output;

    // The frames written are the page's own: each its reference's picture.
    for (const char* name : {"t1.000.png", "t18.200.png", "t2.500.png"}) {
        tools::RgbImage frame, reference;
        ASSERT_EQ(tools::readPng(frames.path + "/" + name, frame), "") << name;
        ASSERT_EQ(tools::readPng(references + "/" + name, reference), "") << name;
        EXPECT_FALSE(comparePictures(frame, reference).differs) << name;
    }
    tools::RgbImage differences;
    EXPECT_EQ(tools::readPng(frames.path + "/t18.200-diff.png", differences), "");
    EXPECT_EQ(differences.width, referenceWidth);
    EXPECT_FALSE(contains(commandOutput("ls '" + frames.path + "'"), "t1.000-diff.png"));
}

TEST(PageCapture, ABadCommandLineIsOneLineAndStatus2) {
    struct Case {
        std::vector<std::string> args;
        std::string line;
    };
    const std::vector<Case> cases = {
        {{page, "--at", "1", "--size", "480by270"},
         "velquor-page-capture: --size: '480by270' is not a size such as 1920x1080 (each side 1 to 16384)\n"},
        {{page, "--at", "1,soon"},
         "velquor-page-capture: --at: 'soon' in '1,soon' is not a time in seconds (give times such as 1,2.5,7)\n"},
        {{page, "--at", "0.01", "--fps", "30"}, "velquor-page-capture: --at 0.01 comes before the first frame (1/30 s)\n"},
        {{page, "--at", "1", "--video", "show.mp4"},
         "velquor-page-capture: unknown option '--video': velquor-page-capture takes only --at, --size, --fps, "
         "--frames and --compare (see --help)\n"},
        {{page, "--frames", "shots"},
         "velquor-page-capture: give --at: the page draws the frames at those times (see --help)\n"},
        {{"/nonexistent/page.html", "--at", "1"},
         "velquor-page-capture: /nonexistent/page.html: No such file or directory\n"},
        {{page, "--at", "1", "--compare", "/nonexistent"},
         "velquor-page-capture: --compare: /nonexistent: No such file or directory\n"},
    };
    for (const Case& c : cases) {
        Outcome run = pageCapture(c.args);
        EXPECT_EQ(run.status, 2) << c.line;
        EXPECT_EQ(run.output, c.line);
    }
}

// A page that names an error, one that never finishes and no Chromium at
// all: each one line, and status 1.
TEST(PageCapture, APageErrorAStuckPageAndNoChromiumFailWithOneLine) {
    TempDir pages;
    writeFile(pages.path + "/broken.html",
              "<pre id=\"status\"></pre><script>document.getElementById('status').textContent = "
              "'error: no show here'</script>");
    writeFile(pages.path + "/stuck.html", "<pre id=\"status\">loading</pre>");
    Outcome broken = pageCapture({pages.path + "/broken.html", "--at", "1"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(contains(broken.output, "velquor-page-capture: " + pages.path +
                                            "/broken.html at 1 s: the page says error: no show here\n"))
        << broken.output;

    ProcessOptions quick;
    quick.environment = {{"VQ_PAGE_CAPTURE_SECONDS", "2"}};
    Outcome stuck = pageCapture({pages.path + "/stuck.html", "--at", "1", "--frames", pages.path}, quick);
    EXPECT_EQ(stuck.status, 1);
    EXPECT_TRUE(contains(stuck.output, "stuck.html at 1 s: the page did not finish within 2 s; its status: 'loading'"))
        << stuck.output;
    EXPECT_FALSE(contains(commandOutput("ls '" + pages.path + "'"), "t1.000.png"));

    ProcessOptions noChromium;
    noChromium.environment = {{"PATH", "/nonexistent"}};
    Outcome missing = pageCapture({page, "--at", "1"}, noChromium);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.output, "velquor-page-capture: chromium is not installed")) << missing.output;
}
