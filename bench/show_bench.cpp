// Start-up and frame costs of the show. Run from the build directory, on a
// display (a private Xvfb serves):
//   cd build && xvfb-run -a -s "-screen 0 1920x1080x24" ./velquor_bench
#include <GL/glew.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "demo/Background.h"
#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/MyDemo.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/Thirtytwo.h"
#include "demo/Tovelplex.h"
#include "engine/Particle.h"
#include "tools/common/GLWindow.h"

namespace {

const int frameWidth = 1920;
const int frameHeight = 1080;

bool openContext() {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::string error =
        tools::openGLWindow("velquor bench", frameWidth, frameHeight, SDL_WINDOW_HIDDEN, false, window, context);
    if (!error.empty())
        std::fprintf(stderr, "velquor_bench: %s\n", error.c_str());
    return error.empty();
}

// Building one scene: its clouds, their buffers, its program. Scenes are never
// destroyed in the show, so each iteration leaves one behind; few iterations.
template <typename SceneType>
void BM_BuildScene(benchmark::State& state) {
    for (auto _ : state) {
        SceneType* scene = new SceneType(frameWidth, frameHeight);
        glFinish();
        benchmark::DoNotOptimize(scene);
    }
}

void BM_InitWholeShow(benchmark::State& state) {
    for (auto _ : state) {
        MyDemo* demo = new MyDemo(frameWidth, frameHeight);
        demo->init();
        glFinish();
        benchmark::DoNotOptimize(demo);
    }
}

// One frame of the show at a given time (in tenths of a second), finished on the GPU.
void BM_Frame(benchmark::State& state) {
    static MyDemo* demo = nullptr;
    if (!demo) {
        demo = new MyDemo(frameWidth, frameHeight);
        demo->init();
    }
    double t = double(state.range(0)) / 10.0;
    for (auto _ : state) {
        demo->show(t);
        glFinish();
    }
}

// One motion step and full upload of a cloud of the given size.
void BM_ParticleUpdate(benchmark::State& state) {
    vq_engine::Particle cloud(int(state.range(0)), 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    double t = 0.0;
    for (auto _ : state) {
        cloud.update(t);
        t += 1.0 / 60.0;
    }
    glFinish();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK_TEMPLATE(BM_BuildScene, Background)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, Begin)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, Fourteen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, Thirtytwo)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, N158)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, N271)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, Million)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, Tovelplex)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_TEMPLATE(BM_BuildScene, RandomNums)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_InitWholeShow)->Unit(benchmark::kMillisecond)->Iterations(2);
// Background alone; five scenes with the busiest motion; the digit row.
BENCHMARK(BM_Frame)->Arg(10)->Arg(130)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticleUpdate)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!openContext())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
