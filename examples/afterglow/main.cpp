// afterglow: the show itself, drawn by its own scenes into RenderBuffer's
// offscreen texture, then onto the window through a post-processing program
// of this example's own: a glow, a vignette and a slow zoom, driven by the
// pass's uniforms. Keys change them live:
//   Up/Down glow strength   Left/Right glow reach   A average or brightest
//   V vignette              Z zoom on or off
#include <GL/glew.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/MyDemo.h"
#include "demo/SceneCommon.h"
#include "demo/StartChecks.h"
#include "engine/RenderBuffer.h"
#include "engine/ShaderProgram.h"
#include "examples/common/ExampleMain.h"

using namespace vq_engine;

namespace {

const char* const quadVertexPath = "data/examples/quad.vs";
const char* const afterglowFragmentPath = "data/examples/afterglow.fs";

// What the keys change, as the example starts.
struct Look {
    float glow = 1.0f;
    int reach = 6;
    bool average = true;
    float vignette = 0.9f;
    bool zooming = true;
};

// The zoom breathes between 1 and 1 + zoomDepth over zoomPeriod seconds.
const double zoomDepth = 0.12;
const double zoomPeriod = 20.0;
const double pi = 3.141592653589793;
const float glowStep = 0.1f;
const int longestReach = 16;
const float vignetteStep = 0.3f;

// One scene that draws a whole demo through the render buffer.
class ThroughRenderBuffer : public Scene {
public:
    ThroughRenderBuffer(Demo* demo, RenderBuffer* buffer) : demo(demo), buffer(buffer) {
        start = 0.0;
        end = 1e9;
    }

    void show(double t) override {
        buffer->setFade(look.glow);
        buffer->setKernelSize(look.reach);
        buffer->setAvg(look.average ? 1 : 0);
        buffer->setVignette(look.vignette);
        double breath = 0.5 - 0.5 * std::cos(2.0 * pi * t / zoomPeriod);
        buffer->setZoom(float(look.zooming ? 1.0 + zoomDepth * breath : 1.0));
        buffer->firstPass();
        demo->show(t);
        buffer->secondPass();
    }

    Demo* demo;
    RenderBuffer* buffer;
    Look look;
};

class AfterglowExample : public Example {
public:
    using Example::Example;

    void init() override {
        // MyDemo's constructor sets the GL state the show needs.
        MyDemo* show = new MyDemo(width, height);
        show->init();
        std::string broken = brokenProgramReason();
        if (!broken.empty()) {
            std::fprintf(stderr, "afterglow: %s\n", broken.c_str());
            std::exit(1);
        }
        RenderBuffer* buffer = new RenderBuffer(width, height, 0, 1, true);
        ShaderProgram* post = new ShaderProgram();
        post->addShader(quadVertexPath, GL_VERTEX_SHADER);
        post->addShader(afterglowFragmentPath, GL_FRAGMENT_SHADER);
        post->compile();
        stopUnlessLinked(post, "afterglow");
        buffer->addShader(post);
        pass = new ThroughRenderBuffer(show, buffer);
        scenes.push_back(pass);
    }

    void key(int symbol) override {
        Look& look = pass->look;
        switch (symbol) {
        case SDLK_UP: look.glow = std::min(look.glow + glowStep, 2.0f); break;
        case SDLK_DOWN: look.glow = std::max(look.glow - glowStep, 0.0f); break;
        case SDLK_RIGHT: look.reach = std::min(look.reach + 1, longestReach); break;
        case SDLK_LEFT: look.reach = std::max(look.reach - 1, 1); break;
        case SDLK_a: look.average = !look.average; break;
        case SDLK_v: look.vignette = look.vignette >= 0.9f ? 0.0f : look.vignette + vignetteStep; break;
        case SDLK_z: look.zooming = !look.zooming; break;
        default: return;
        }
        std::printf("glow %.1f, reach %d texels, %s, vignette %.1f, zoom %s\n", look.glow, look.reach,
                    look.average ? "average" : "brightest", look.vignette, look.zooming ? "on" : "off");
        std::fflush(stdout);
    }

    ThroughRenderBuffer* pass = nullptr;
};

Example* make(int width, int height) {
    return new AfterglowExample(width, height);
}

} // namespace

int main(int argc, char** argv) {
    ExampleSetup setup = {"afterglow", {starsVertexPath, starsFragmentPath, quadVertexPath, afterglowFragmentPath},
                        11.0, true};
    return runExample(argc, argv, setup, make);
}
