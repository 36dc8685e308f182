// The test driver for web pages: a real headless Chromium with WebGL2 on
// SwiftShader, and a page served over HTTP by StaticServer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "tests/support/Browser.h"
#include "tests/support/Process.h"
#include "tests/support/StaticServer.h"
#include "tools/common/PngFile.h"

namespace {

const int windowWidth = 160;
const int windowHeight = 120;

// A canvas cleared to red by WebGL2 at the top left, and what drew it.
const char* redCanvasPage = R"(<!doctype html>
<html><head><title>red canvas</title><style>body { margin: 0 } canvas { display: block }</style></head>
<body><canvas id="canvas" width="64" height="48"></canvas><pre id="status"></pre>
<script>
const gl = document.getElementById('canvas').getContext('webgl2');
const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
if (gl) {
  gl.clearColor(1, 0, 0, 1);
  gl.clear(gl.COLOR_BUFFER_BIT);
}
document.getElementById('status').textContent =
  gl ? gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER) : 'no WebGL2';
console.log('drawn', 64 * 48);
</script></body></html>
)";

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return bool(file);
}

} // namespace

TEST(BrowserDriver, ShowsAWebGL2CanvasInAScreenshot) {
    TempDir site;
    ASSERT_TRUE(writeFile(site.path + "/index.html", redCanvasPage));
    StaticServer server(site.path);
    ASSERT_EQ(server.error, "");
    Browser browser(windowWidth, windowHeight);
    ASSERT_EQ(browser.error, "");

    ASSERT_EQ(browser.navigate(server.url + "index.html"), "");
    ASSERT_TRUE(browser.waitFor("document.getElementById('status').textContent !== ''", 20.0));
    std::string failure;
    std::string renderer = browser.evaluate("document.getElementById('status').textContent", failure);
    EXPECT_EQ(failure, "");
    EXPECT_TRUE(renderer.find("SwiftShader") != std::string::npos || renderer.find("ANGLE") != std::string::npos)
        << renderer;
    std::vector<std::string> console = browser.consoleLines();
    std::string logged;
    for (const std::string& line : console)
        logged += line + "\n";
    EXPECT_EQ(std::count(console.begin(), console.end(), "drawn 3072"), 1) << logged;

    std::string png = site.path + "/shot.png";
    ASSERT_EQ(browser.screenshot(png), "");
    tools::RgbImage shot;
    ASSERT_EQ(tools::readPng(png, shot), "");
    EXPECT_EQ(shot.width, windowWidth);
    EXPECT_EQ(shot.height, windowHeight);
    const unsigned char* red = shot.pixel(10, 10);
    EXPECT_GE(red[0], 250);
    EXPECT_LE(red[1], 5);
    EXPECT_LE(red[2], 5);
}

TEST(BrowserDriver, KeepsWorkingAfterAMissingPageAndAnException) {
    TempDir site;
    StaticServer server(site.path);
    ASSERT_EQ(server.error, "");
    Browser browser(windowWidth, windowHeight);
    ASSERT_EQ(browser.error, "");

    std::string missing = server.url + "missing.html";
    std::string navigation = browser.navigate(missing);
    std::string failure;
    std::string title = browser.evaluate("document.title", failure);
    EXPECT_EQ(failure, "") << navigation;
    EXPECT_NE(title, "") << navigation;

    EXPECT_EQ(browser.evaluate("throw new Error('the page broke')", failure), "");
    EXPECT_EQ(failure, "Error: the page broke");
    // Quotes, a backslash, control characters and characters beyond ASCII
    // sent in an expression and back in its value.
    std::string text = "say \"hi\"\\\n\t\x01\xc3\xa9 \xf0\x9f\x98\x80";
    EXPECT_EQ(browser.evaluate("String.raw`" + text + "`", failure), text) << failure;
    EXPECT_EQ(browser.evaluate("String.raw`" + text + "`.length", failure), "16") << failure;
}
