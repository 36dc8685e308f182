// The web page's weight and speed, in headless Chromium with WebGL2 on
// SwiftShader, from the site ./run.sh web builds: its own files before and
// after gzip, the load to the first frame of frame-exact mode, and the live
// page's frames a second from 20 s. Run from the build directory:
//   ./web_bench            (or VQ_WEB_SITE=DIR ./web_bench for another site)
// and, for the capture's loop over the same stretch and size beside it, the
// command in bench/README.md.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/Browser.h"
#include "tests/support/Process.h"
#include "tests/support/StaticServer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The site ./run.sh web builds, or another given in VQ_WEB_SITE.
const std::string site = std::getenv("VQ_WEB_SITE") ? std::getenv("VQ_WEB_SITE") : VQ_WEB_SITE_DIR;

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

// The page's own files, as served and as gzip sends them; the track and the
// shaders are the show's data, not the page's.
void BM_PageWeight(benchmark::State& state) {
    const std::string files = "index.html page.js velquor.js velquor.wasm";
    for (auto _ : state) {
        state.counters["bytes"] = std::atof(commandOutput("cd '" + site + "' && cat " + files + " | wc -c").c_str());
        state.counters["gzip_bytes"] =
            std::atof(commandOutput("cd '" + site + "' && cat " + files + " | gzip -9 | wc -c").c_str());
        state.counters["wasm_bytes"] = std::atof(commandOutput("wc -c < '" + site + "/velquor.wasm'").c_str());
    }
}

// From the address given to the still at 1 s drawn and "ready", each time in
// a fresh browser, as a first visit.
void BM_LoadToFirstFrame(benchmark::State& state) {
    StaticServer server(site);
    if (!server.error.empty())
        stop(server.error);
    for (auto _ : state) {
        Browser browser(1280, 720);
        if (!browser.error.empty())
            stop(browser.error);
        Clock::time_point begin = Clock::now();
        std::string error = browser.navigate(server.url + "index.html?at=1&size=1280x720");
        if (!error.empty() || !browser.waitFor("/^(ready|error)/.test(document.getElementById('status').textContent)", 60))
            stop("the still at 1 s was not drawn: " + error);
        state.SetIterationTime(secondsSince(begin));
    }
}

// The live page filling a 1280x720 window, played from the start; frames
// counted from 20 s to 25 s of the track, 300 frames of a 60 Hz show.
void BM_LivePage(benchmark::State& state) {
    StaticServer server(site);
    if (!server.error.empty())
        stop(server.error);
    const std::string track = "document.getElementById('track').currentTime";
    const std::string frames = "document.getElementById('status').frames";
    for (auto _ : state) {
        Browser browser(1280, 720, {"--autoplay-policy=no-user-gesture-required"});
        if (!browser.error.empty())
            stop(browser.error);
        if (!browser.navigate(server.url + "index.html").empty() ||
            !browser.waitFor("document.getElementById('start').disabled === false", 60))
            stop("the live page did not get ready");
        number(browser, "document.getElementById('start').click(), 0");
        if (!browser.waitFor(track + " >= 20", 40))
            stop("the track did not reach 20 s");
        double firstTime = number(browser, track), firstFrames = number(browser, frames);
        if (!browser.waitFor(track + " >= 25", 20))
            stop("the track did not reach 25 s");
        double lastTime = number(browser, track), lastFrames = number(browser, frames);
        double fps = (lastFrames - firstFrames) / (lastTime - firstTime);
        state.SetIterationTime(lastTime - firstTime);
        state.counters["drawn_fps"] = fps;
    }
}

} // namespace

BENCHMARK(BM_PageWeight)->Iterations(1);
BENCHMARK(BM_LoadToFirstFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LivePage)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
