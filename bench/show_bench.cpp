// Start-up and frame costs of the show. Run from the build directory, on a
// display (a private Xvfb serves):
//   cd build && xvfb-run -a -s "-screen 0 1920x1080x24" ./velquor_bench
#include <GL/glew.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/Background.h"
#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/Thirtytwo.h"
#include "demo/Tovelplex.h"
#include "demo/MyDemo.h"
#include "demo/SceneCommon.h"
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

// The same frame drawn with the show's particle shaders (look 0) or with the
// pair the show had before it followed the music (look 1, kept in
// bench/before-look/data/). The two are registered alternately, in one run,
// so that both see the same load on the machine; every program of the show is
// rebuilt from the chosen pair before each is timed.
void BM_FrameWithLook(benchmark::State& state) {
    static MyDemo* demo = nullptr;
    if (!demo) {
        demo = new MyDemo(frameWidth, frameHeight);
        demo->init();
    }
    static char buildDir[4096];
    if (!buildDir[0] && !getcwd(buildDir, sizeof buildDir))
        std::abort();
    bool before = state.range(0) == 1;
    if (chdir(before ? VQ_SOURCE_DIR "/bench/before-look" : buildDir) != 0) {
        state.SkipWithError("cannot enter the folder of the shader pair");
        return;
    }
    bool built = true;
    for (vq_engine::ShaderProgram* program : starsPrograms())
        built = program->reload() && built;
    if (chdir(buildDir) != 0 || !built) {
        state.SkipWithError("a shader pair did not build");
        return;
    }
    double t = double(state.range(1)) / 10.0;
    for (auto _ : state) {
        demo->show(t);
        glFinish();
    }
    state.SetLabel(before ? "before" : "now");
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
// The face alone, the busiest motion, both passes of the digit row, the close.
BENCHMARK(BM_FrameWithLook)
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (int t : {10, 130, 200, 300, 360})
            for (int before : {1, 0, 1, 0})
                b->Args({before, t});
    })
    ->ArgNames({"before", "t"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticleUpdate)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!openContext())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
