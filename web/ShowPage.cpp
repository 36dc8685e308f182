#include "web/ShowPage.h"

#include <GL/glew.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/Demo.h"
#include "engine/RegularFile.h"
#include "engine/ShowRunner.h"

namespace {

vq_engine::ShowRunner* runner = nullptr;
// The show as it was built, for playing it again.
vq_engine::ShowRunner::State start;

// The text handed back to the page, alive until the next call.
std::string answer;

const char* say(const std::string& text) {
    answer = text;
    return answer.c_str();
}

std::string makeContext(bool keepFrame) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // An opaque canvas, as a window is: shows clear to black with alpha 0.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    // A still must survive until the browser is asked for its pixels.
    attributes.preserveDrawingBuffer = keepFrame ? EM_TRUE : EM_FALSE;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0)
        return "this browser gives the page no WebGL2 context";
    emscripten_webgl_make_context_current(context);
    if (glewInit() != GLEW_OK)
        return "GLEW found no WebGL2 entry points";
    return "";
}

std::string missingFile(const vq_engine::Show& show) {
    for (const std::string& file : show.files) {
        std::string reason = vq_engine::unreadableDataReason(file.c_str());
        if (!reason.empty())
            return reason + " (the page packs the files its build was given)";
    }
    return "";
}

} // namespace

namespace vq_web {

int pageMain(const vq_engine::Show& show) {
    std::string problem = show.problem();
    if (!problem.empty()) {
        std::printf("vq_web::pageMain: %s\n", problem.c_str());
        return 1;
    }
    runner = new vq_engine::ShowRunner(show);
    return 0;
}

} // namespace vq_web

// What the page calls. Times are show seconds; an answer of text is an error
// line, or empty.
extern "C" {

EMSCRIPTEN_KEEPALIVE const char* vq_page_name() {
    return runner->show.name.c_str();
}

// The track the page plays, one of its packed files; empty for a silent show.
EMSCRIPTEN_KEEPALIVE const char* vq_page_track() {
    return runner->show.track.c_str();
}

// A silent show's length.
EMSCRIPTEN_KEEPALIVE double vq_page_seconds() {
    return runner->show.seconds;
}

// Builds the show for a canvas of width x height pixels. The engine's shader
// reports, if any, have been printed.
EMSCRIPTEN_KEEPALIVE const char* vq_page_open(int width, int height, int keepFrame) {
    if (runner->demo)
        return say("the show is already open");
    std::string error = missingFile(runner->show);
    error = error.empty() ? makeContext(keepFrame != 0) : error;
    if (!error.empty())
        return say(error);
    glViewport(0, 0, width, height);
    error = runner->build(width, height);
    error = error.empty() ? runner->brokenProgramReason() : error;
    if (!error.empty())
        return say(error);
    start = runner->save();
    return say("");
}

// The renderer WebGL names, for the page's status.
EMSCRIPTEN_KEEPALIVE const char* vq_page_renderer() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return say(renderer ? renderer : "");
}

// The show moved on to t as a drawn frame would move it, with nothing drawn.
EMSCRIPTEN_KEEPALIVE void vq_page_step(double t) {
    runner->demo->step(t);
}

EMSCRIPTEN_KEEPALIVE void vq_page_draw(double t) {
    runner->demo->show(t);
}

// The canvas has a new size: the show is built again for it and carries on
// from the state it had.
EMSCRIPTEN_KEEPALIVE const char* vq_page_resize(int width, int height) {
    glViewport(0, 0, width, height);
    return say(runner->rebuild(width, height));
}

// The show back where it started, for playing it again.
EMSCRIPTEN_KEEPALIVE const char* vq_page_rewind() {
    return say(runner->restore(start));
}

// Frame round(seconds * fps) of the show played at fps frames a second,
// drawn after every frame before it has been stepped: what the capture
// draws for --at seconds --fps fps.
EMSCRIPTEN_KEEPALIVE const char* vq_page_still(double seconds, int fps) {
    long long frame = std::llround(seconds * fps);
    if (frame < 1) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "at=%g comes before the first frame (1/%d s)", seconds, fps);
        return say(reason);
    }
    for (long long n = 1; n < frame; n++)
        vq_page_step(double(n) / fps);
    vq_page_draw(double(frame) / fps);
    return say("");
}

} // extern "C"
