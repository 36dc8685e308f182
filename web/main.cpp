// Velquor on a web page: the show of the native demo, built from the same
// scenes and engine, drawn into a WebGL 2 canvas. The page (web/page.js) owns
// the canvas, the sound, the keys and full screen; this module owns the show.
//
// STEP BY STEP
//   1. The page writes the shader pair it fetched into this module's file
//      system at data/stars.vs and data/stars.fs, where the engine reads them.
//   2. velquor_open(width, height, keep) makes the WebGL 2 context on the
//      canvas, builds MyDemo and its nine scenes, and saves the show's state.
//   3. Live: on every animation frame the page calls velquor_draw(t) with the
//      track's position t, one frame of the live demo, as the native frame
//      loop calls Demo::show. velquor_resize follows the canvas: the show is
//      built again at the new size and given back the state it had.
//      velquor_rewind puts back the state of step 2, for playing again.
//   4. Frame exact: velquor_draw_frame(seconds, fps) draws what
//      velquor-capture --at seconds --fps fps draws: every frame from the
//      first stepped without drawing, then the asked one drawn.
//
// It DOES NOT play sound, read the clock, or listen to keys: the page does.
#include <GL/glew.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/MyDemo.h"
#include "demo/StartChecks.h"
#include "engine/Particle.h"
#include "engine/RandomStream.h"
#include "engine/ShaderProgram.h"

namespace {

const char* const canvasSelector = "#canvas";

MyDemo* demo = nullptr;
// Where the show's entries start in the engine's lists of clouds and programs.
size_t firstCloud = 0;
size_t firstProgram = 0;

// The show as init() leaves it: every cloud and the random stream.
std::vector<vq_engine::Particle::State> startClouds;
unsigned short startRandom[3];

// The text handed back to the page, alive until the next call.
std::string answer;

const char* say(const std::string& text) {
    answer = text;
    return answer.c_str();
}

// Every cloud the show made: with the random stream, all of its state.
std::vector<vq_engine::Particle*> allClouds() {
    const std::vector<vq_engine::Particle*>& live = vq_engine::Particle::live;
    return {live.begin() + std::ptrdiff_t(firstCloud), live.end()};
}

// The show from the random stream's unseeded start, as every run builds it.
void buildShow(int width, int height) {
    vq_engine::restartRandom();
    firstCloud = vq_engine::Particle::live.size();
    firstProgram = vq_engine::ShaderProgram::live.size();
    demo = new MyDemo(width, height);
    demo->init();
}

// The show's clouds and programs go, in the one context there is; its
// scenes, which point at them, are never called again.
void dropShow() {
    for (vq_engine::Particle* cloud : allClouds())
        delete cloud;
    std::vector<vq_engine::ShaderProgram*>& programs = vq_engine::ShaderProgram::live;
    std::vector<vq_engine::ShaderProgram*> made(programs.begin() + std::ptrdiff_t(firstProgram), programs.end());
    for (vq_engine::ShaderProgram* program : made)
        delete program;
    demo = nullptr;
}

void saveStart() {
    startClouds.clear();
    for (vq_engine::Particle* cloud : allClouds())
        startClouds.push_back(cloud->save());
    vq_engine::saveRandom(startRandom);
}

std::string makeContext(bool keepFrame) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // An opaque canvas, as a window is: the show clears to black with alpha 0.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    // A still must survive until the browser is asked for its pixels.
    attributes.preserveDrawingBuffer = keepFrame ? EM_TRUE : EM_FALSE;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0)
        return "this browser gives the page no WebGL2 context";
    emscripten_webgl_make_context_current(context);
    if (glewInit() != GLEW_OK)
        return "GLEW found no WebGL2 entry points";
    return "";
}

} // namespace

extern "C" {

// Builds the show for a canvas of width x height pixels; an error line, or
// empty. The engine's shader reports, if any, have gone to the console.
EMSCRIPTEN_KEEPALIVE const char* velquor_open(int width, int height, int keepFrame) {
    if (demo)
        return say("the show is already open");
    std::string error = makeContext(keepFrame != 0);
    if (!error.empty())
        return say(error);
    glViewport(0, 0, width, height);
    buildShow(width, height);
    error = brokenProgramReason();
    if (!error.empty())
        return say(error);
    saveStart();
    return say("");
}

// The renderer WebGL reports, for the page's status.
EMSCRIPTEN_KEEPALIVE const char* velquor_renderer() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return say(renderer ? renderer : "");
}

// One frame of the live show at t seconds of the track.
EMSCRIPTEN_KEEPALIVE void velquor_draw(double t) {
    demo->show(t);
}

// The canvas has a new size: the show is built again for it, and carries on
// from the state it had.
EMSCRIPTEN_KEEPALIVE void velquor_resize(int width, int height) {
    std::vector<vq_engine::Particle::State> held;
    for (vq_engine::Particle* cloud : allClouds())
        held.push_back(cloud->save());
    unsigned short random[3];
    vq_engine::saveRandom(random);
    dropShow();
    glViewport(0, 0, width, height);
    buildShow(width, height);
    std::vector<vq_engine::Particle*> clouds = allClouds();
    for (size_t i = 0; i < clouds.size() && i < held.size(); i++)
        clouds[i]->restore(held[i]);
    vq_engine::restoreRandom(random);
}

// The show back where it started, for playing it again.
EMSCRIPTEN_KEEPALIVE void velquor_rewind() {
    std::vector<vq_engine::Particle*> clouds = allClouds();
    for (size_t i = 0; i < clouds.size(); i++)
        clouds[i]->restore(startClouds[i]);
    vq_engine::restoreRandom(startRandom);
}

// Frame round(seconds * fps) of a show played at fps frames a second, frame
// n showing n / fps seconds; an error line, or empty.
EMSCRIPTEN_KEEPALIVE const char* velquor_draw_frame(double seconds, int fps) {
    long long frame = std::llround(seconds * fps);
    if (frame < 1) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "at=%g comes before the first frame (1/%d s)", seconds, fps);
        return say(reason);
    }
    for (long long n = 1; n < frame; n++)
        demo->step(double(n) / fps);
    demo->show(double(frame) / fps);
    return say("");
}

} // extern "C"
