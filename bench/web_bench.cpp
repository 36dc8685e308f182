// The one-file page's weight and speed, in headless Chromium with WebGL2 on
// SwiftShader, opened from disk as a download is: the file's bytes before
// and after gzip and those of each part inside it, from opening to Start
// offered (the music made in the page) beside velquor-soundtrack's native
// render of the same music, the load to the first frame-exact still, and the
// live page's drawn frames a second from 20 s. Run from the build directory:
//   ./web_bench
// or, for another show's page, VQ_WEB_PAGE=FILE VQ_WEB_SIZES=NAME-sizes.txt
// ./web_bench --benchmark_filter='PageFile|LoadToFirstFrame'.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/Browser.h"
#include "tests/support/Process.h"

namespace {

using Clock = std::chrono::steady_clock;

// The page ./run.sh web builds, or another given in VQ_WEB_PAGE.
const std::string page = std::getenv("VQ_WEB_PAGE") ? std::getenv("VQ_WEB_PAGE") : VQ_WEB_SITE_DIR "/index.html";
// What the packer measured of each part as it built the page (NAME-sizes.txt
// beside the page's build), or another page's given in VQ_WEB_SIZES.
const std::string sizes =
    std::getenv("VQ_WEB_SIZES") ? std::getenv("VQ_WEB_SIZES") : VQ_WEB_SITE_DIR "/../web/velquor_page-sizes.txt";

double secondsSince(Clock::time_point begin) {
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

[[noreturn]] void stop(const std::string& why) {
    std::fprintf(stderr, "web_bench: %s\n", why.c_str());
    std::exit(1);
}

double number(Browser& browser, const std::string& expression) {
    std::string failure;
    std::string value = browser.evaluate(expression, failure);
    if (!failure.empty())
        stop(expression + ": " + failure);
    return std::atof(value.c_str());
}

void BM_PageFile(benchmark::State& state) {
    for (auto _ : state) {
        state.counters["bytes"] = std::atof(commandOutput("wc -c < '" + page + "'").c_str());
        state.counters["gzip_bytes"] = std::atof(commandOutput("gzip -9 < '" + page + "' | wc -c").c_str());
        // "  module      26731 bytes deflated alone", one line a part.
        std::istringstream lines(readTextFile(sizes));
        std::string line, part;
        double bytes;
        std::getline(lines, line);
        while (std::getline(lines, line))
            if (std::istringstream(line) >> part >> bytes && part != "payload")
                state.counters[part + "_deflated"] = bytes;
    }
}

// From the file given to a fresh browser to Start offered: the module
// started, the show built and the music made, each time as a first visit.
void BM_OpenToStart(benchmark::State& state) {
    for (auto _ : state) {
        Browser browser(1280, 720);
        if (!browser.error.empty())
            stop(browser.error);
        Clock::time_point begin = Clock::now();
        std::string error = browser.navigate("file://" + page);
        if (!error.empty() || !browser.waitFor("document.getElementById('start').disabled === false", 120))
            stop("Start was not offered: " + error);
        state.SetIterationTime(secondsSince(begin));
    }
}

// The same music rendered natively, in the same run.
void BM_NativeRender(benchmark::State& state) {
    TempDir directory;
    for (auto _ : state) {
        Clock::time_point begin = Clock::now();
        if (commandOutput("'" VQ_BUILD_DIR "/velquor-soundtrack' '" + directory.path + "/music.wav' >/dev/null && echo ok") !=
            "ok\n")
            stop("velquor-soundtrack failed");
        state.SetIterationTime(secondsSince(begin));
    }
}

// From the address given to the still at 1 s drawn and "ready".
void BM_LoadToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        Browser browser(1280, 720);
        if (!browser.error.empty())
            stop(browser.error);
        Clock::time_point begin = Clock::now();
        std::string error = browser.navigate("file://" + page + "?at=1&size=1280x720");
        if (!error.empty() || !browser.waitFor("/^(ready|error)/.test(document.getElementById('status').textContent)", 60))
            stop("the still at 1 s was not drawn: " + error);
        state.SetIterationTime(secondsSince(begin));
    }
}

// The live page filling a 1280x720 window, played from the start; frames
// drawn from 20 s to 25 s of the music, 300 frames of the 60 Hz show.
void BM_LivePage(benchmark::State& state) {
    const std::string frame = "Number(document.getElementById('status').dataset.frame)";
    const std::string draws = "Number(document.getElementById('status').dataset.draws)";
    for (auto _ : state) {
        Browser browser(1280, 720, {"--autoplay-policy=no-user-gesture-required"});
        if (!browser.error.empty())
            stop(browser.error);
        if (!browser.navigate("file://" + page).empty() ||
            !browser.waitFor("document.getElementById('start').disabled === false", 120))
            stop("the live page did not get ready");
        number(browser, "document.getElementById('start').click(), 0");
        if (!browser.waitFor(frame + " >= 1200", 40))
            stop("the show did not reach 20 s");
        double firstFrame = number(browser, frame), firstDraws = number(browser, draws);
        if (!browser.waitFor(frame + " >= 1500", 20))
            stop("the show did not reach 25 s");
        double seconds = (number(browser, frame) - firstFrame) / 60.0;
        state.SetIterationTime(seconds);
        state.counters["drawn_fps"] = (number(browser, draws) - firstDraws) / seconds;
    }
}

} // namespace

BENCHMARK(BM_PageFile)->Iterations(1);
BENCHMARK(BM_OpenToStart)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeRender)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadToFirstFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LivePage)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
