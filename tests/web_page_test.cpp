// The show as one HTML file (./run.sh web builds it into build-web/site), in
// headless Chromium with WebGL2 on SwiftShader, opened from disk as a
// download is: its size, its frame-exact stills against the references the
// native capture is held to, the music it makes against velquor-soundtrack's,
// the live page on the 60 Hz clock at any frame rate and through a storm of
// resizes, and the failures it names.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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
const std::string page = siteDirectory + "/index.html";
const std::string pageUrl = "file://" + page;
// Stepping to the last reference moment takes SwiftShader a few seconds;
// unpacking the page and building the show, one or two.
const double stillSeconds = 120.0;
// The music is made in the page before Start is offered.
const double readySeconds = 120.0;

const char* const statusText = "document.getElementById('status').textContent";
const std::string frameShown = "Number(document.getElementById('status').dataset.frame)";
const std::string drawsMade = "Number(document.getElementById('status').dataset.draws)";

long fileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? long(info.st_size) : -1;
}

std::string evaluated(Browser& browser, const std::string& expression) {
    std::string failure;
    std::string value = browser.evaluate(expression, failure);
    EXPECT_EQ(failure, "") << expression;
    return value;
}

// Opens url and waits until the page's status says it is done: its status,
// or why the page never finished.
std::string openPage(Browser& browser, const std::string& url, double seconds) {
    std::string error = browser.navigate(url);
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
    std::snprintf(query, sizeof query, "?at=%.17g&size=%dx%d&fps=%d", seconds, width, height, fps);
    return query;
}

// The top left width x height of the viewport.
RgbImage shot(Browser& browser, int width, int height) {
    TempDir directory;
    RgbImage whole, part(width, height);
    EXPECT_EQ(browser.screenshot(directory.path + "/shot.png"), "");
    EXPECT_EQ(tools::readPng(directory.path + "/shot.png", whole), "");
    for (int y = 0; y < height && y < whole.height; y++)
        for (int x = 0; x < width && x < whole.width; x++)
            std::copy(whole.pixel(x, y), whole.pixel(x, y) + 3, part.pixel(x, y));
    return part;
}

// What the frame-exact page draws for frame n of the show at 60 frames a second.
RgbImage stillOfFrame(int frame, int width, int height) {
    Browser browser(width, height);
    EXPECT_EQ(browser.error, "");
    std::string status = openPage(browser, pageUrl + stillQuery(frame / 60.0, width, height, 60), stillSeconds);
    EXPECT_EQ(status.rfind("ready", 0), 0u) << status;
    return shot(browser, width, height);
}

// Saves the pictures where a person can look at them, and says where.
std::string keptForPeople(const std::string& name, const RgbImage& actual, const PictureDifference& difference) {
    std::string stem = std::string(VQ_BUILD_DIR "/reference-failures/web-") + name;
    commandOutput("mkdir -p '" VQ_BUILD_DIR "/reference-failures'");
    tools::writePng(actual, stem + "-actual.png", 6);
    tools::writePng(difference.picture, stem + "-diff.png", 6);
    return stem + "-actual.png";
}

// The live page ended (Escape) with its last frame left on the canvas, held
// to the still of that frame: the capture's picture for the moment it showed.
void expectStillOfItsFrame(Browser& browser, int width, int height, const std::string& name) {
    ASSERT_EQ(evaluated(browser, "document.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'})), 'sent'"),
              "sent");
    ASSERT_EQ(evaluated(browser, statusText).rfind("ended after ", 0), 0u);
    int frame = std::stoi(evaluated(browser, frameShown));
    ASSERT_GT(frame, 0);
    // The front is transparent, but its words would be in the picture.
    evaluated(browser, "document.getElementById('front').hidden = true");
    RgbImage live = shot(browser, width, height);
    RgbImage still = stillOfFrame(frame, width, height);
    PictureDifference difference = comparePictures(live, still);
    EXPECT_FALSE(difference.differs) << name << ": the live page's frame " << frame << " is not its still: "
                                     << difference.summary() << "\n  live: " << keptForPeople(name, live, difference);
}

// A live page, ready to play, started as a click would start it.
void startLive(Browser& browser) {
    std::string status = openPage(browser, pageUrl, readySeconds);
    ASSERT_EQ(status.rfind("ready to play\nWebGL2, ", 0), 0u) << status;
    ASSERT_EQ(evaluated(browser, "document.getElementById('start').click(), 'clicked'"), "clicked");
    ASSERT_TRUE(browser.waitFor(std::string(statusText) + " === 'playing'", 20.0)) << evaluated(browser, statusText);
}

const std::vector<std::string> liveFlags = {"--autoplay-policy=no-user-gesture-required"};

class WebPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(fileSize(page), 0) << "no page at " << page << ": build it with ./run.sh web (or ./run.sh test)";
    }
};

// A 16-bit stereo WAV file's samples, interleaved; empty, with why, when it is not one.
std::vector<int> wavSamples(const std::string& bytes, std::string& why) {
    auto at = [&](size_t offset, int size) {
        unsigned value = 0;
        for (int i = 0; i < size; i++)
            value |= unsigned(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
        return value;
    };
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0 ||
        bytes.compare(36, 4, "data") != 0 || at(20, 2) != 1 || at(22, 2) != 2 || at(24, 4) != 44100 ||
        at(34, 2) != 16 || at(40, 4) != bytes.size() - 44) {
        why = "not a 16-bit stereo 44.1 kHz PCM WAV file of " + std::to_string(bytes.size()) + " bytes";
        return {};
    }
    std::vector<int> samples;
    for (size_t offset = 44; offset + 1 < bytes.size(); offset += 2)
        samples.push_back(int(static_cast<short>(at(offset, 2))));
    return samples;
}

// Velquor's show module packed again into page, without its synthesis: with
// the given NAME=PATH files in place of the built ones. What the packer
// said, empty when it packed.
std::string repacked(const std::string& page, std::vector<std::string> files) {
    for (const char* shader : {"data/stars.vs", "data/stars.fs"}) {
        std::string name = std::string(shader) + "=";
        bool given = std::any_of(files.begin(), files.end(), [&](const std::string& f) { return f.rfind(name, 0) == 0; });
        if (!given)
            files.push_back(name + VQ_WEB_BUILD_DIR "/web/" + shader);
    }
    std::string pack = "python3 '" VQ_SOURCE_DIR "/web/runtime/pack.py' --title Velquor --show '" VQ_WEB_BUILD_DIR
                       "/web/velquor_page_show.wasm' --output '" + page + "'";
    for (const std::string& file : files)
        pack += " --file '" + file + "'";
    return commandOutput(pack + " 2>&1");
}

} // namespace

TEST_F(WebPage, IsOneFileUnder64KAndItsReleaseZipHasANote) {
    EXPECT_EQ(commandOutput("ls -A '" + siteDirectory + "'"), "index.html\n") << "the site is the one file";
    EXPECT_LE(fileSize(page), 65536) << "a 64K intro is at most 65,536 bytes";
    std::string zip = siteDirectory + "/../velquor-web-1.0.0.zip";
    std::string listing = commandOutput("python3 -m zipfile -l '" + zip + "'");
    EXPECT_NE(listing.find("velquor-web-1.0.0/velquor.html"), std::string::npos) << listing;
    TempDir unpacked;
    commandOutput("cd '" + unpacked.path + "' && python3 -m zipfile -e '" + zip + "' .");
    std::string note = readTextFile(unpacked.path + "/velquor-web-1.0.0/README.txt");
    EXPECT_NE(note.find("WebGL2 and Web Audio"), std::string::npos) << note;
    EXPECT_NE(note.find(std::to_string(fileSize(page)) + " bytes"), std::string::npos) << "the note gives the size";
}

// Every reference moment drawn by the file opened from disk in frame-exact
// mode, under the rules another rasteriser's frames are held to.
TEST_F(WebPage, FrameExactStillsFromDiskMatchTheReferences) {
    Browser browser(referenceWidth, referenceHeight);
    ASSERT_EQ(browser.error, "");
    for (const Moment& moment : moments) {
        SCOPED_TRACE(testNameOf(moment));
        std::string status = openPage(
            browser, pageUrl + stillQuery(moment.seconds, referenceWidth, referenceHeight, referenceFps), stillSeconds);
        ASSERT_EQ(status.rfind("ready\nWebGL2, ", 0), 0u) << status;
        EXPECT_NE(status.find("SwiftShader"), std::string::npos) << status;
        RgbImage actual = shot(browser, referenceWidth, referenceHeight), reference;
        ASSERT_EQ(tools::readPng(referencePath(moment), reference), "");
        PictureDifference difference = comparePictures(actual, reference);
        EXPECT_FALSE(difference.differs) << "the page's picture at " << moment.seconds << " s is not its reference "
                                         << referencePath(moment) << ": " << difference.summary()
                                         << "\n  actual: " << keptForPeople(testNameOf(moment), actual, difference);
    }
}

// The same file served over HTTP draws the same still, and a bad value is named.
TEST_F(WebPage, FromAServerTooAndABadValueIsNamed) {
    StaticServer server(siteDirectory);
    ASSERT_EQ(server.error, "");
    Browser browser(referenceWidth, referenceHeight);
    ASSERT_EQ(browser.error, "");
    const Moment& moment = moments[0];
    std::string status = openPage(
        browser, server.url + "index.html" + stillQuery(moment.seconds, referenceWidth, referenceHeight, referenceFps),
        stillSeconds);
    ASSERT_EQ(status.rfind("ready\nWebGL2, ", 0), 0u) << status;
    RgbImage reference;
    ASSERT_EQ(tools::readPng(referencePath(moment), reference), "");
    EXPECT_FALSE(comparePictures(shot(browser, referenceWidth, referenceHeight), reference).differs);

    EXPECT_EQ(openPage(browser, pageUrl + "?at=soon", 20.0), "error: at: 'soon' is not a time from 0 to 86400 seconds");
    EXPECT_EQ(openPage(browser, pageUrl + "?at=1&size=640by360", 20.0),
              "error: size: '640by360' is not a size such as 1920x1080");
    EXPECT_EQ(openPage(browser, pageUrl + "?at=0.001&fps=30", 20.0),
              "error: at=0.001 comes before the first frame (1/30 s)");
}

// Opened from disk and played, the page asks for nothing but itself and
// what it made; it plays, ends on Escape with its last frame kept, and plays
// again from the start.
TEST_F(WebPage, MakesItsMusicPlaysAndPlaysAgainAskingForNothing) {
    Browser browser(640, 360, liveFlags);
    ASSERT_EQ(browser.error, "");
    startLive(browser);
    EXPECT_EQ(evaluated(browser, "[canvas.width, canvas.height].join('x')"), "640x360");
    ASSERT_TRUE(browser.waitFor(frameShown + " > 90", 60.0)) << evaluated(browser, statusText);
    EXPECT_GT(std::stoi(evaluated(browser, drawsMade)), 0);
    for (const std::string& url : browser.requestedUrls())
        EXPECT_TRUE(url.rfind(pageUrl, 0) == 0 || url.rfind("data:", 0) == 0 || url.rfind("blob:", 0) == 0)
            << "the page asked for " << url;

    ASSERT_EQ(evaluated(browser, "document.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'})), 'sent'"),
              "sent");
    EXPECT_EQ(evaluated(browser, statusText).rfind("ended after ", 0), 0u);
    EXPECT_EQ(evaluated(browser, "document.getElementById('start').textContent"), "Play again");
    int frame = std::stoi(evaluated(browser, frameShown));
    ASSERT_EQ(evaluated(browser, "document.getElementById('start').click(), 'clicked'"), "clicked");
    ASSERT_TRUE(browser.waitFor(std::string(statusText) + " === 'playing' && " + frameShown + " > 0", 20.0));
    EXPECT_LT(std::stoi(evaluated(browser, frameShown)), frame) << "playing again starts at the start";
}

// The WAV the page offers is velquor-soundtrack's, within a rounding error.
TEST_F(WebPage, SavesTheMusicThatVelquorSoundtrackRenders) {
    TempDir downloads;
    Browser browser(320, 180, liveFlags);
    ASSERT_EQ(browser.error, "");
    ASSERT_EQ(browser.saveDownloadsIn(downloads.path), "");
    std::string status = openPage(browser, pageUrl, readySeconds);
    ASSERT_EQ(status.rfind("ready to play", 0), 0u) << status;
    EXPECT_EQ(evaluated(browser, "document.getElementById('save-music').download"), "velquor.wav");
    ASSERT_EQ(evaluated(browser, "document.getElementById('save-music').click(), 'clicked'"), "clicked");

    TempDir native;
    ProcessOptions quiet;
    quiet.outputPath = native.path + "/log";
    ASSERT_EQ(waitProcess(spawnProcess({VQ_BUILD_DIR "/velquor-soundtrack", native.path + "/velquor.wav"}, quiet), 120.0),
              0);
    std::string saved = downloads.path + "/velquor.wav";
    for (int wait = 0; wait < 200 && fileSize(saved) != fileSize(native.path + "/velquor.wav"); wait++)
        usleep(100000);
    std::string why;
    std::vector<int> page = wavSamples(readTextFile(saved), why);
    ASSERT_FALSE(page.empty()) << "the page's " << why;
    std::vector<int> render = wavSamples(readTextFile(native.path + "/velquor.wav"), why);
    ASSERT_FALSE(render.empty()) << "velquor-soundtrack's " << why;
    ASSERT_EQ(page.size(), render.size());
    size_t apart = 0;
    double music = 0.0, difference = 0.0;
    for (size_t i = 0; i < page.size(); i++) {
        int d = page[i] - render[i];
        apart += std::abs(d) > 2 ? 1 : 0;
        music += double(render[i]) * render[i];
        difference += double(d) * d;
    }
    EXPECT_LE(double(apart) / page.size(), 0.001) << apart << " samples more than 2 steps apart";
    EXPECT_GT(music, 0.0);
    EXPECT_LE(10.0 * std::log10(std::max(difference, 1e-9) / music), -80.0) << "the difference is too loud";
}

// Motion follows music time, not the display: a page given 5 animation
// frames a second and one given all it can draw each end on the still of the
// frame they show.
TEST_F(WebPage, AnyFrameRateShowsTheStillOfItsFrame) {
    const int width = 320, height = 180;
    for (int rate : {5, 0}) {
        SCOPED_TRACE(rate ? "5 animation frames a second" : "as many as the browser gives");
        Browser browser(width, height, liveFlags);
        ASSERT_EQ(browser.error, "");
        if (rate) {
            ASSERT_EQ(browser.addScriptOnNewDocument("window.requestAnimationFrame = f => setTimeout(() => "
                                                     "f(performance.now()), " + std::to_string(1000 / rate) + ")"),
                      "");
        }
        startLive(browser);
        // Into 14, which streams away from 4.5 s.
        ASSERT_TRUE(browser.waitFor(frameShown + " > 300", 60.0)) << evaluated(browser, statusText);
        int frame = std::stoi(evaluated(browser, frameShown));
        int draws = std::stoi(evaluated(browser, drawsMade));
        if (rate)
            EXPECT_LT(draws, frame / 6) << "the slow page drew " << draws << " of " << frame << " frames";
        else
            EXPECT_GT(draws, frame / 30) << "the fast page drew " << draws << " of " << frame << " frames";
        expectStillOfItsFrame(browser, width, height, rate ? "slow" : "fast");
    }
}

// A window dragged: forty sizes in a row, with the picture moving on through
// them, and once the size has settled, the capture's frame at that size.
TEST_F(WebPage, KeepsDrawingThroughAStormOfResizes) {
    Browser browser(640, 360, liveFlags);
    ASSERT_EQ(browser.error, "");
    startLive(browser);
    ASSERT_TRUE(browser.waitFor(frameShown + " > 60", 60.0)) << evaluated(browser, statusText);
    int drawsBefore = std::stoi(evaluated(browser, drawsMade));
    ASSERT_EQ(evaluated(browser, "new Promise(done => { let k = 0; const step = setInterval(() => {"
                                 "  canvas.style.width = (640 - 4 * ++k) + 'px'; canvas.style.height = (360 - 2 * k) + 'px';"
                                 "  if (k === 40) { clearInterval(step); done('dragged'); } }, 40); })"),
              "dragged");
    EXPECT_GT(std::stoi(evaluated(browser, drawsMade)), drawsBefore + 3) << "the picture stood still in the storm";
    ASSERT_TRUE(browser.waitFor("canvas.width === 480 && canvas.height === 280", 20.0));
    int drawsSettled = std::stoi(evaluated(browser, drawsMade));
    ASSERT_TRUE(browser.waitFor(drawsMade + " > " + std::to_string(drawsSettled + 2), 20.0));
    EXPECT_EQ(evaluated(browser, statusText), "playing");
    expectStillOfItsFrame(browser, 480, 280, "resized");
}

// A show whose track is one of its files, as a maker's is: the browser's own
// decoder plays it, and the show follows it.
TEST_F(WebPage, ATrackPackedWithThePagePlaysThroughTheBrowsersDecoder) {
    TempDir site;
    ASSERT_EQ(repacked(site.path + "/index.html", {"data/quorvin.mp3=" VQ_BUILD_DIR "/data/quorvin.mp3"}), "");
    Browser browser(320, 180, liveFlags);
    ASSERT_EQ(browser.error, "");
    std::string status = openPage(browser, "file://" + site.path + "/index.html", readySeconds);
    ASSERT_EQ(status.rfind("ready to play", 0), 0u) << status;
    EXPECT_EQ(evaluated(browser, "document.getElementById('save-music').hidden"), "true") << "no music was made";
    ASSERT_EQ(evaluated(browser, "document.getElementById('start').click(), 'clicked'"), "clicked");
    EXPECT_TRUE(browser.waitFor(frameShown + " > 60", 60.0)) << evaluated(browser, statusText);

    // Without its track the page says which file it lacks.
    ASSERT_EQ(repacked(site.path + "/index.html", {}), "");
    EXPECT_EQ(openPage(browser, "file://" + site.path + "/index.html", readySeconds),
              "error: the show's track data/quorvin.mp3 is not packed into the page");
}

TEST_F(WebPage, ABrokenShaderNoWebGL2AndNoWebAudioAreNamedOnThePage) {
    const std::string errorLine = "document.getElementById('error').textContent";
    {
        // The page packed again with a fragment shader that does not compile.
        TempDir broken;
        std::FILE* shader = std::fopen((broken.path + "/stars.fs").c_str(), "w");
        ASSERT_NE(shader, nullptr);
        std::fputs("#version 300 es\nvoid main() { syntax error here }\n", shader);
        std::fclose(shader);
        ASSERT_EQ(repacked(broken.path + "/index.html", {"data/stars.fs=" + broken.path + "/stars.fs"}), "");
        Browser browser(320, 180);
        ASSERT_EQ(browser.error, "");
        std::string status = openPage(browser, "file://" + broken.path + "/index.html?at=1&size=320x180", 60.0);
        EXPECT_EQ(status.rfind("error: the show cannot start with a broken particle program: 9 of 9 built from "
                               "data/stars.vs and data/stars.fs did not link (the engine's report is below)", 0),
                  0u)
            << status;
        EXPECT_NE(evaluated(browser, "document.getElementById('report').textContent").find("Shader error"),
                  std::string::npos);
        EXPECT_EQ(evaluated(browser, "getComputedStyle(document.getElementById('error')).visibility"), "visible");
        std::vector<std::string> console = browser.consoleLines();
        EXPECT_NE(std::find(console.begin(), console.end(), "Velquor: " + status.substr(7)), console.end())
            << "the console has the line too";
    }
    {
        Browser browser(320, 180, {"--disable-3d-apis"});
        ASSERT_EQ(browser.error, "");
        EXPECT_EQ(openPage(browser, pageUrl + "?at=1&size=320x180", 60.0),
                  "error: this browser gives the page no WebGL2 context");
    }
    {
        Browser browser(320, 180);
        ASSERT_EQ(browser.error, "");
        ASSERT_EQ(browser.addScriptOnNewDocument("delete window.AudioContext"), "");
        EXPECT_EQ(openPage(browser, pageUrl, 60.0),
                  "error: this browser has no Web Audio, which the page plays its music through");
        EXPECT_EQ(evaluated(browser, errorLine), "this browser has no Web Audio, which the page plays its music through");
    }
}

// What cannot be packed is one line from the packer, naming it; a page read
// in another encoding than its own says so instead of running garbled bytes.
TEST_F(WebPage, ThePackerAndThePageNameWhatTheyCannotDo) {
    TempDir dir;
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::FILE* file = std::fopen((dir.path + "/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    };
    // A module importing one function: type () -> (), then env.vq_no_such_call.
    write("odd.wasm", std::string("\0asm\1\0\0\0" "\1\4\1\x60\0\0" "\2\x17\1\3env\x0fvq_no_such_call\0\0", 8 + 6 + 25));
    write("text.wasm", "not a module\n");
    const std::string show = VQ_WEB_BUILD_DIR "/web/velquor_page_show.wasm";
    struct Case {
        std::string arguments;
        std::string line;
    };
    const Case cases[] = {
        {"--show '" + dir.path + "/odd.wasm'", "pack.py: the page runtime has no vq_no_such_call, which odd.wasm imports"},
        {"--show '" + dir.path + "/text.wasm'", "pack.py: " + dir.path + "/text.wasm is not a WebAssembly module"},
        {"--show '" + show + "' --file data/stars.vs", "pack.py: --file 'data/stars.vs' is not NAME=PATH"},
        {"--show '" + show + "' --file data/stars.vs=" + dir.path + "/none",
         "pack.py: cannot read " + dir.path + "/none: No such file or directory"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(commandOutput("python3 '" VQ_SOURCE_DIR "/web/runtime/pack.py' --title T --output '" + dir.path +
                                "/page.html' " + c.arguments + " 2>&1"),
                  c.line + "\n")
            << c.arguments;
    EXPECT_EQ(fileSize(dir.path + "/page.html"), -1) << "no page is left behind";

    // A byte-order mark outranks the page's own charset, as a server's header does.
    write("index.html", "\xef\xbb\xbf" + readTextFile(page));
    Browser browser(320, 180);
    ASSERT_EQ(browser.error, "");
    EXPECT_EQ(openPage(browser, "file://" + dir.path + "/index.html?at=1", 30.0),
              "error: this file was read as UTF-8, not as the windows-1252 it is written in: open it from disk, or "
              "serve it without a charset");
}
