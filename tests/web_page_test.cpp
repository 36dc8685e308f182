// The show on its web page, in headless Chromium with WebGL2 on SwiftShader,
// served over HTTP from the built site (./run.sh web builds it into
// build-web/site): its frame-exact stills against the same references as the
// native capture, the live page playing and playing again, and the failures
// it names on the page.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/Browser.h"
#include "tests/support/PictureCompare.h"
#include "tests/support/Process.h"
#include "tests/support/ReferenceMoments.h"
#include "tests/support/StaticServer.h"
#include "tools/common/PngFile.h"

using tools::RgbImage;

namespace {

const std::string siteDirectory = VQ_WEB_SITE_DIR;
// Stepping to the last reference moment takes SwiftShader a few seconds;
// loading the module and building the show, one or two.
const double stillSeconds = 120.0;

const char* const statusText = "document.getElementById('status').textContent";

bool isFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string evaluated(Browser& browser, const std::string& expression) {
    std::string failure;
    std::string value = browser.evaluate(expression, failure);
    EXPECT_EQ(failure, "") << expression;
    return value;
}

// Opens the page at query and waits until its status says it is done: its
// status, or why the page never finished.
std::string openPage(Browser& browser, const StaticServer& server, const std::string& query, double seconds) {
    std::string error = browser.navigate(server.url + "index.html" + query);
    if (!error.empty())
        return error;
    std::string finished = std::string("/^(ready|error)/.test(") + statusText + ")";
    if (!browser.waitFor(finished, seconds))
        return "the page did not finish within " + std::to_string(int(seconds)) + " s; its status: '" +
               evaluated(browser, statusText) + "'";
    return evaluated(browser, statusText);
}

std::string stillQuery(double seconds, int width, int height, int fps) {
    char query[96];
    std::snprintf(query, sizeof query, "?at=%g&size=%dx%d&fps=%d", seconds, width, height, fps);
    return query;
}

// Pixels clearly lit in the picture's top left width x height.
int litPixels(const RgbImage& picture, int width, int height) {
    int lit = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            lit += picture.pixel(x, y)[0] + picture.pixel(x, y)[1] + picture.pixel(x, y)[2] > 120 ? 1 : 0;
    return lit;
}

class WebSite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(isFile(siteDirectory + "/index.html"))
            << "no web site in " << siteDirectory << ": build it with ./run.sh web (or ./run.sh test)";
    }
};

// A copy of the built site that a test may break.
struct SiteCopy {
    TempDir directory;
    SiteCopy() { commandOutput("cp -R '" + siteDirectory + "/.' '" + directory.path + "/'"); }
};

} // namespace

TEST_F(WebSite, HoldsThePageTheModuleTheShadersAndTheTrack) {
    for (const char* file : {"index.html", "page.js", "velquor.js", "velquor.wasm", "data/stars.vs", "data/stars.fs",
                             "data/quorvin.mp3"})
        EXPECT_TRUE(isFile(siteDirectory + "/" + file)) << file;
    EXPECT_EQ(readTextFile(siteDirectory + "/data/stars.vs").rfind("#version 300 es\n", 0), 0u)
        << "the page's shaders are GLSL ES 3.00";
}

// Every reference moment drawn by the page in frame-exact mode, under the
// rules another rasteriser's frames are held to.
TEST_F(WebSite, FrameExactStillsMatchTheReferences) {
    StaticServer server(siteDirectory);
    ASSERT_EQ(server.error, "");
    Browser browser(referenceWidth, referenceHeight);
    ASSERT_EQ(browser.error, "");
    TempDir shots;
    for (const Moment& moment : moments) {
        SCOPED_TRACE(testNameOf(moment));
        std::string status =
            openPage(browser, server, stillQuery(moment.seconds, referenceWidth, referenceHeight, referenceFps),
                     stillSeconds);
        ASSERT_EQ(status.rfind("ready\nWebGL2, ", 0), 0u) << status;
        EXPECT_NE(status.find("SwiftShader"), std::string::npos) << status;
        std::string png = shots.path + "/" + testNameOf(moment) + ".png";
        ASSERT_EQ(browser.screenshot(png), "");
        RgbImage actual, reference;
        ASSERT_EQ(tools::readPng(png, actual), "");
        ASSERT_EQ(tools::readPng(referencePath(moment), reference), "");
        PictureDifference difference = comparePictures(actual, reference);
        if (difference.differs) {
            std::string stem = std::string(VQ_BUILD_DIR "/reference-failures/web-") + testNameOf(moment);
            commandOutput("mkdir -p '" VQ_BUILD_DIR "/reference-failures'");
            tools::writePng(actual, stem + "-actual.png", 6);
            tools::writePng(difference.picture, stem + "-diff.png", 6);
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%g s", moment.seconds);
            ADD_FAILURE() << "the page's picture at " << seconds << " is not its reference "
                          << referencePath(moment) << ": " << difference.summary() << "\n  actual: " << stem
                          << "-actual.png";
        }
    }
}

TEST_F(WebSite, FrameExactModeNamesABadValue) {
    StaticServer server(siteDirectory);
    ASSERT_EQ(server.error, "");
    Browser browser(320, 180);
    ASSERT_EQ(browser.error, "");
    EXPECT_EQ(openPage(browser, server, "?at=soon", 20.0), "error: at: 'soon' is not a time from 0 to 86400 seconds");
    EXPECT_EQ(openPage(browser, server, "?at=1&size=640by360", 20.0),
              "error: size: '640by360' is not a size such as 1920x1080");
    EXPECT_EQ(openPage(browser, server, "?at=0.001&fps=30", 20.0),
              "error: at=0.001 comes before the first frame (1/30 s)");
}

// Started by a script with autoplay allowed, as a click would start it.
TEST_F(WebSite, LivePagePlaysTheTrackDrawsTheShowAndPlaysAgainAfterEscape) {
    StaticServer server(siteDirectory);
    ASSERT_EQ(server.error, "");
    Browser browser(640, 360, {"--autoplay-policy=no-user-gesture-required"});
    ASSERT_EQ(browser.error, "");
    std::string status = openPage(browser, server, "", 60.0);
    ASSERT_EQ(status.rfind("ready to play\nWebGL2, ", 0), 0u) << status;
    EXPECT_EQ(evaluated(browser, "[canvas.width, canvas.height].join('x')"), "640x360");

    const std::string track = "document.getElementById('track')";
    ASSERT_EQ(evaluated(browser, "document.getElementById('start').click(), 'clicked'"), "clicked");
    // The face is lit from about a second in.
    ASSERT_TRUE(browser.waitFor(track + ".currentTime > 1.5", 30.0)) << evaluated(browser, statusText);
    EXPECT_EQ(evaluated(browser, statusText), "playing");
    EXPECT_GT(std::stoi(evaluated(browser, "document.getElementById('status').frames")), 0);
    TempDir shots;
    ASSERT_EQ(browser.screenshot(shots.path + "/live.png"), "");
    RgbImage frame;
    ASSERT_EQ(tools::readPng(shots.path + "/live.png", frame), "");
    EXPECT_GT(litPixels(frame, frame.width, frame.height), 500) << "the live frame is dark";

    // A smaller canvas, as when the window changes: the show is built again
    // at its size and plays on.
    ASSERT_EQ(evaluated(browser, "canvas.style.width = '480px', canvas.style.height = '270px', 'smaller'"), "smaller");
    ASSERT_TRUE(browser.waitFor("canvas.width === 480 && canvas.height === 270", 20.0));
    int framesBefore = std::stoi(evaluated(browser, "document.getElementById('status').frames"));
    ASSERT_TRUE(browser.waitFor("document.getElementById('status').frames > " + std::to_string(framesBefore + 2), 20.0));
    EXPECT_EQ(evaluated(browser, statusText), "playing");
    ASSERT_EQ(browser.screenshot(shots.path + "/smaller.png"), "");
    ASSERT_EQ(tools::readPng(shots.path + "/smaller.png", frame), "");
    EXPECT_GT(litPixels(frame, 480, 270), 200) << "the resized frame is dark";
    EXPECT_EQ(litPixels(frame, frame.width, frame.height), litPixels(frame, 480, 270)) << "drawn outside the canvas";

    ASSERT_EQ(evaluated(browser, "document.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'})), 'sent'"),
              "sent");
    EXPECT_EQ(evaluated(browser, track + ".paused"), "true");
    EXPECT_EQ(evaluated(browser, statusText).rfind("ended after ", 0), 0u);
    EXPECT_EQ(evaluated(browser, "document.getElementById('start').textContent"), "Play again");

    ASSERT_EQ(evaluated(browser, "document.getElementById('start').click(), 'clicked'"), "clicked");
    ASSERT_TRUE(browser.waitFor(std::string(statusText) + " === 'playing'", 20.0));
    EXPECT_LT(std::stod(evaluated(browser, track + ".currentTime")), 1.5) << "playing again starts at the start";
}

TEST_F(WebSite, AMissingTrackABrokenShaderAndAFileAddressAreNamedOnThePage) {
    const std::string errorLine = "document.getElementById('error').textContent";
    Browser browser(640, 360);
    ASSERT_EQ(browser.error, "");
    {
        SiteCopy site;
        ASSERT_EQ(std::remove((site.directory.path + "/data/quorvin.mp3").c_str()), 0);
        StaticServer server(site.directory.path);
        ASSERT_EQ(server.error, "");
        EXPECT_EQ(openPage(browser, server, "", 60.0), "error: cannot fetch data/quorvin.mp3: HTTP 404 File not found");
        EXPECT_EQ(evaluated(browser, errorLine), "cannot fetch data/quorvin.mp3: HTTP 404 File not found");
        EXPECT_EQ(evaluated(browser, "getComputedStyle(document.getElementById('error')).visibility"), "visible");
        std::vector<std::string> console = browser.consoleLines();
        EXPECT_NE(std::find(console.begin(), console.end(), "velquor: cannot fetch data/quorvin.mp3: HTTP 404 File not found"),
                  console.end())
            << "the console has the line too";
    }
    {
        SiteCopy site;
        std::FILE* broken = std::fopen((site.directory.path + "/data/stars.fs").c_str(), "w");
        ASSERT_NE(broken, nullptr);
        std::fputs("#version 300 es\nvoid main() { syntax error here }\n", broken);
        std::fclose(broken);
        StaticServer server(site.directory.path);
        ASSERT_EQ(server.error, "");
        std::string status = openPage(browser, server, "?at=1&size=320x180", 60.0);
        EXPECT_EQ(status.rfind("error: the show cannot start with a broken particle program: 9 of 9 built from "
                               "data/stars.vs and data/stars.fs did not link", 0),
                  0u)
            << status;
        EXPECT_NE(evaluated(browser, "document.getElementById('report').textContent").find("Shader error"),
                  std::string::npos);
    }
    ASSERT_EQ(browser.navigate("file://" + siteDirectory + "/index.html"), "");
    ASSERT_TRUE(browser.waitFor(std::string("/^error/.test(") + statusText + ")", 20.0));
    EXPECT_NE(evaluated(browser, errorLine).find("Serve the folder over HTTP"), std::string::npos);
}

TEST_F(WebSite, ABrowserWithoutWebGL2IsToldSo) {
    StaticServer server(siteDirectory);
    ASSERT_EQ(server.error, "");
    Browser browser(320, 180, {"--disable-3d-apis"});
    ASSERT_EQ(browser.error, "");
    EXPECT_EQ(openPage(browser, server, "?at=1&size=320x180", 60.0),
              "error: this browser gives the page no WebGL2 context");
}
