// The preview's speed: how long a seek takes to put its frame on screen, how
// much memory the states kept for seeking take, how many frames a second it
// draws while playing, how long a shader edit and a resize take to show, for
// Velquor and for Orbit, a show of someone else's (tests/outside). Run from
// the build directory, on a display
// at least 1920x1080 (a private Xvfb serves), with silent audio:
//   SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1920x1080x24" ./preview_bench
#include <GL/glew.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "tests/outside/orbit.h"
#include "tools/common/OffscreenShow.h"
#include "demo/VelquorShow.h"
#include "tools/common/TrackLength.h"
#include "tools/preview/Preview.h"

using preview::Preview;

namespace {

using Clock = std::chrono::steady_clock;

double showSeconds = 0.0;

// A paused preview window of the given size, its show built afresh.
std::unique_ptr<Preview> openPreview(int width, int height, double start, bool paused,
                                     const vq_tools::Show& show = velquorShow()) {
    preview::PreviewOptions options;
    options.width = width;
    options.height = height;
    options.start = start;
    options.startGiven = true;
    options.paused = paused;
    double length = show.track.empty() ? show.seconds : showSeconds;
    std::unique_ptr<Preview> window(new Preview(show, options, length));
    std::string error = window->open();
    if (!error.empty()) {
        std::fprintf(stderr, "preview_bench: %s\n", error.c_str());
        std::exit(1);
    }
    return window;
}

// One window at 1280x720 for the seeks, with the states of the whole show
// kept, as after the scout has had some idle time.
Preview& scouted() {
    static std::unique_ptr<Preview> window;
    if (!window) {
        window = openPreview(1280, 720, 0.0, true);
        while (window->player.keepAhead(1.0)) {
        }
    }
    return *window;
}

int frameAt(double seconds) {
    return int(std::lround(seconds * 60.0));
}

// The seek's time until its frame is on screen, from before or after the target.
void seekAndShow(benchmark::State& state, Preview& window, int from, int target) {
    window.seekTo(from);
    window.update();
    glFinish();
    Clock::time_point begin = Clock::now();
    window.seekTo(target);
    window.update();
    glFinish();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
}

// Arguments: the target in seconds, and where the seek starts relative to it.
void BM_SeekWithStatesKept(benchmark::State& state) {
    Preview& window = scouted();
    int target = frameAt(double(state.range(0)));
    int from = frameAt(double(state.range(0) + state.range(1)));
    for (auto _ : state)
        seekAndShow(state, window, from, target);
    state.counters["states_MiB"] = double(window.player.states.bytes()) / (1 << 20);
    state.counters["states"] = double(window.player.states.count());
}

// Straight after start-up, before any state ahead was kept: every frame up
// to the target is stepped.
void BM_SeekFromStartNothingKept(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Preview> window = openPreview(1280, 720, 0.0, true);
        Clock::time_point begin = Clock::now();
        window->seekTo(frameAt(double(state.range(0))));
        window->update();
        glFinish();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
        state.ResumeTiming();
    }
}

// Plays for a few seconds of real time from the given moment and counts the
// frames drawn; the rest were stepped unseen.
void BM_Playing(benchmark::State& state) {
    int width = int(state.range(0));
    int height = int(state.range(1));
    double from = double(state.range(2));
    const double seconds = 5.0;
    std::unique_ptr<Preview> window = openPreview(width, height, from, false);
    for (auto _ : state) {
        long drawn = window->framesDrawn;
        Clock::time_point begin = Clock::now();
        while (std::chrono::duration<double>(Clock::now() - begin).count() < seconds)
            window->runOnce();
        double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(elapsed);
        state.counters["drawn_fps"] = double(window->framesDrawn - drawn) / elapsed;
    }
}

// velquor-capture's loop on the same stretch, for comparison: the show in a
// hidden window of its own, stepped unseen up to the moment, then every frame
// drawn offscreen, one in flight, for as many frames as the preview's five
// seconds at 60 frames a second.
void BM_CaptureDrawing(benchmark::State& state) {
    tools::OffscreenShow show(velquorShow(), int(state.range(0)), int(state.range(1)));
    std::string error = show.open("preview_bench");
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    int first = frameAt(double(state.range(2)));
    for (int n = 1; n < first; n++)
        show.step(n / 60.0);
    const int frames = 300;
    for (auto _ : state) {
        Clock::time_point begin = Clock::now();
        for (int n = first; n < first + frames; n++)
            show.draw(n / 60.0);
        show.finish();
        double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(elapsed);
        state.counters["drawn_fps"] = frames / elapsed;
    }
}

// Orbit's preview at 1280x720 with the states of its whole 40 s kept, as
// Velquor's above; arguments: where the seek starts and where it goes.
void BM_OutsideSeek(benchmark::State& state) {
    static std::unique_ptr<Preview> window;
    if (!window) {
        window = openPreview(1280, 720, 0.0, true, orbit::orbitShow());
        while (window->player.keepAhead(1.0)) {
        }
    }
    for (auto _ : state)
        seekAndShow(state, *window, frameAt(double(state.range(0))), frameAt(double(state.range(1))));
    state.counters["states_MiB"] = double(window->player.states.bytes()) / (1 << 20);
}

// A paused preview at 20 s whose window changes size, 1280x720 and 1600x900
// in turn: the time until the show built again at the new size has its
// frame on screen. Argument: 0 for Velquor, 1 for Orbit.
void BM_ResizeAt20(benchmark::State& state) {
    std::unique_ptr<Preview> window =
        openPreview(1280, 720, 20.0, true, state.range(0) ? orbit::orbitShow() : velquorShow());
    bool large = false;
    for (auto _ : state) {
        large = !large;
        int width = large ? 1600 : 1280;
        int height = large ? 900 : 720;
        Clock::time_point begin = Clock::now();
        SDL_SetWindowSize(window->window, width, height);
        while (window->player.show.width != width)
            window->runOnce();
        glFinish();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    }
}

// Every scene's program rebuilt from the shader files, and the frame on show
// drawn again with it, as after an edit.
void BM_ReloadShaders(benchmark::State& state) {
    Preview& window = scouted();
    window.seekTo(frameAt(13.0));
    window.update();
    glFinish();
    for (auto _ : state) {
        Clock::time_point begin = Clock::now();
        window.reloadShaders();
        window.update();
        glFinish();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    }
}

} // namespace

// Each benchmark has the only show in the process while it runs, in the
// order they are registered here and in main.
BENCHMARK(BM_SeekFromStartNothingKept)
    ->ArgName("to_s")
    ->Arg(5)
    ->Arg(20)
    ->Arg(35)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Playing)
    ->ArgNames({"width", "height", "from_s"})
    ->Args({1920, 1080, 12})
    ->Args({1920, 1080, 20})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
// The preview against the capture at 1280x720, alternating, twice over.
void playingAgainstCapture(int from) {
    for (int round = 0; round < 4; round++) {
        bool capture = round % 2 == 1;
        benchmark::RegisterBenchmark(capture ? "BM_CaptureDrawing" : "BM_Playing",
                                     capture ? BM_CaptureDrawing : BM_Playing)
            ->ArgNames({"width", "height", "from_s"})
            ->Args({1280, 720, from})
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kSecond);
    }
}

// The one kept for seeking comes last.
void seeksAndReload() {
    benchmark::RegisterBenchmark("BM_SeekWithStatesKept", BM_SeekWithStatesKept)
        ->ArgNames({"to_s", "from_offset_s"})
        ->Args({5, -4})
        ->Args({5, 3})
        ->Args({20, -4})
        ->Args({20, 3})
        ->Args({35, -4})
        ->Args({35, 3})
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ReloadShaders", BM_ReloadShaders)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_OutsideSeek", BM_OutsideSeek)
        ->ArgNames({"from_s", "to_s"})
        ->Args({35, 5})
        ->Args({5, 30})
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ResizeAt20", BM_ResizeAt20)
        ->ArgName("orbit")
        ->Arg(0)
        ->Arg(1)
        ->UseManualTime()
        ->Iterations(4)
        ->Unit(benchmark::kMillisecond);
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string error;
    showSeconds = tools::trackSeconds(velquorShow().track, error);
    if (!error.empty()) {
        std::fprintf(stderr, "preview_bench: %s (run it from the build directory)\n", error.c_str());
        return 1;
    }
    playingAgainstCapture(12);
    playingAgainstCapture(20);
    seeksAndReload();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
