#include "tools/preview/Preview.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>

#include "engine/Shader.h"
#include "tools/common/FrameTime.h"
#include "tools/common/GLWindow.h"
#include "tools/common/PngFile.h"

namespace preview {

namespace {

const double titleInterval = 0.25;
// An editor's save shows within a quarter of a second; looking more often
// costs system calls for nothing.
const double watchInterval = 0.25;
// How long a pass while paused may spend keeping states ahead, and how long
// it waits for a key when there is nothing left to do.
const double keepAheadSlice = 0.04;
const double idleWait = 0.04;
const double scoutSliceMinimum = 0.012;
const int stillPngCompression = 9;
// Frames to step for a seek, beyond which the title says the preview is busy.
const int longSeek = 300;

bool shiftHeld(const SDL_Event& event) {
    return (event.key.keysym.mod & KMOD_SHIFT) != 0;
}

} // namespace

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

Preview::Preview(const vq_tools::Show& description, const PreviewOptions& options, double showSeconds,
                 std::function<double()> now)
    : showSeconds(showSeconds),
      player(description, options.fps, int(tools::frameAtOrBefore(showSeconds, options.fps))),
      clock(options.fps, player.lastFrame), watch(std::vector<std::string>()), now(now), options(options) {}

std::string Preview::program() const {
    return player.show.description.name + "-preview";
}

namespace {

// Every file the programs were built from, once each.
std::vector<std::string> shaderFiles(const std::vector<vq_engine::ShaderProgram*>& programs) {
    std::vector<std::string> files;
    std::set<std::string> seen;
    for (vq_engine::ShaderProgram* program : programs)
        for (vq_engine::Shader* shader : program->shaders)
            if (seen.insert(shader->path).second)
                files.push_back(shader->path);
    return files;
}

} // namespace

Preview::~Preview() {
    presenter.reset();
    music.stop();
    player.close();
    if (context)
        SDL_GL_DeleteContext(context);
    if (window)
        SDL_DestroyWindow(window);
}

std::string Preview::open() {
    Uint32 flags = SDL_WINDOW_RESIZABLE | (options.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    std::string error =
        tools::openGLWindow(program().c_str(), options.width, options.height, flags, false, window, context);
    if (!error.empty())
        return error;

    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    error = player.open(width, height);
    if (!error.empty())
        return error;
    watch = ShaderWatch(shaderFiles(player.show.programs()));
    if (player.show.description.keepsOtherState)
        std::printf("%s: the show keeps state beyond its clouds, so a seek steps it from the start\n",
                    program().c_str());
    bar.reset(new TimelineBar(player.show.demo->scenes, player.show.description.cues, showSeconds));
    presenter.reset(new Presenter(window, context, *bar));
    if (!presenter->error.empty())
        return presenter->error;
    error = music.open(player.show.description.track, program());
    if (!error.empty())
        return error;

    int fps = options.fps;
    if (options.loopGiven)
        clock.setLoop(int(std::lround(options.loopStart * fps)), int(std::lround(options.loopEnd * fps)));
    double start = options.startGiven || !options.loopGiven ? options.start : options.loopStart;
    seekTo(int(std::lround(start * fps)));
    if (!options.paused)
        togglePause();
    return "";
}

void Preview::run() {
    while (!quit)
        runOnce();
}

void Preview::runOnce() {
    handleEvents();
    useSpareTime(seconds());
}

void Preview::handleEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handle(event);
    update();
}

void Preview::update() {
    watchShaders(seconds());
    followClock();
    if (changed)
        present();
    changed = false;
    updateTitle(seconds());
}

void Preview::followClock() {
    if (!clock.playing)
        return;
    PlayClock::Due due = clock.advance(seconds());
    if (due.frame != player.frame) {
        player.showFrame(due.frame);
        framesSinceTitle++;
        framesDrawn++;
        changed = true;
    }
    if (due.wrapped)
        restartFromFrame();
    if (due.ended)
        music.stop();
}

void Preview::watchShaders(double now) {
    if (lastWatch >= 0.0 && now - lastWatch < watchInterval)
        return;
    lastWatch = now;
    if (watch.changed())
        reloadShaders();
}

void Preview::present() {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    // A minimised window has no pixels to draw; the show waits for it.
    if (width <= 0 || height <= 0)
        return;
    if (width != player.show.width || height != player.show.height) {
        presenter->finish();
        // Without a buffer there is nothing to draw into: the preview ends.
        failure = player.resize(width, height);
        if (!failure.empty()) {
            quit = true;
            return;
        }
    }
    Presenter::Frame frame;
    frame.texture = player.show.texture();
    frame.width = width;
    frame.height = height;
    frame.drawn = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    frame.barShown = barShown;
    frame.time = player.timeOf(player.frame);
    frame.clock = clock;
    presenter->show(frame);
    if (!clock.playing)
        presenter->finish();
}

void Preview::updateTitle(double now) {
    if (lastTitle >= 0.0 && now - lastTitle < titleInterval)
        return;
    if (lastTitle >= 0.0)
        drawnPerSecond = framesSinceTitle / (now - lastTitle);
    lastTitle = now;
    framesSinceTitle = 0;

    char part[128];
    std::snprintf(part, sizeof part, "  %.3f s  frame %d  %s%gx", player.timeOf(player.frame), player.frame,
                  clock.playing ? "" : "paused  ", clock.rate);
    std::string title = program() + part;
    if (clock.looping) {
        std::snprintf(part, sizeof part, "  loop %.3f-%.3f", player.timeOf(clock.loopStart),
                      player.timeOf(clock.loopEnd));
        title += part;
    }
    std::snprintf(part, sizeof part, "  %.0f fps ", drawnPerSecond);
    title += part;
    for (const std::string& name : player.scenesAt(player.frame))
        title += " " + name;
    SDL_SetWindowTitle(window, title.c_str());
}

// Until the next frame is due (or for a while, when paused): states kept
// ahead now make later seeks quick.
void Preview::useSpareTime(double now) {
    double spare = clock.playing ? clock.dueTime(player.frame + 1) - now : keepAheadSlice;
    if (spare <= 0.0)
        return;
    // A slice saves and restores the whole show around its steps: worth it
    // only with room for a few steps.
    if (!scoutDone && (!clock.playing || spare >= scoutSliceMinimum)) {
        scoutDone = !player.keepAhead(spare);
        return;
    }
    waitForNextFrame(std::min(spare, idleWait));
}

// Asleep in SDL until an event comes or the time is up: rounded up to whole
// milliseconds, so that the frame is due when it wakes.
void Preview::waitForNextFrame(double seconds) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, std::max(1, int(std::ceil(seconds * 1000.0)))))
        handle(event);
    // Waiting leaves SDL's end-of-poll marker queued: polling up to it now
    // lets the next pass see every event that arrives before it.
    while (SDL_PollEvent(&event))
        handle(event);
}

void Preview::restartFromFrame() {
    if (clock.playing && clock.rate == 1.0 && player.frame < player.lastFrame)
        music.playFrom(player.timeOf(player.frame));
    else
        music.stop();
    // From now: a seek far from any state kept, or the music's start, may have taken a while.
    if (clock.playing)
        clock.startAt(player.frame, seconds());
}

void Preview::togglePause() {
    if (clock.playing) {
        clock.pause(player.frame);
    } else {
        // At the end of the show, play means play again.
        if (player.frame >= player.lastFrame)
            player.showFrame(clock.looping ? clock.loopStart : 0);
        clock.startAt(player.frame, seconds());
    }
    restartFromFrame();
}

void Preview::seekTo(int frame) {
    // Far beyond the states kept so far a seek takes a while: say so meanwhile.
    if (player.framesToStep(frame) > longSeek) {
        char title[64];
        std::snprintf(title, sizeof title, "  stepping to %.3f s", player.timeOf(frame));
        SDL_SetWindowTitle(window, (program() + title).c_str());
        SDL_PumpEvents();
        lastTitle = -1.0;
    }
    player.showFrame(frame);
    if (!clock.playing)
        clock.pause(player.frame);
    restartFromFrame();
}

void Preview::stepBy(int frames) {
    clock.pause(player.frame);
    seekTo(player.frame + frames);
}

void Preview::setLoopStart() {
    if (!clock.setLoopStart(player.frame))
        std::printf("%s: a loop cannot start at or after its end\n", program().c_str());
    // The clock looks for the loop's end from where it last started.
    if (clock.playing)
        clock.startAt(player.frame, seconds());
}

void Preview::setLoopEnd() {
    if (!clock.setLoopEnd(player.frame))
        std::printf("%s: a loop cannot end at or before its start\n", program().c_str());
    if (clock.playing)
        clock.startAt(player.frame, seconds());
}

void Preview::clearLoop() {
    clock.clearLoop();
}

void Preview::changeRate(double factor) {
    clock.setRate(clock.rate * factor, player.frame, seconds());
    restartFromFrame();
}

void Preview::toggleFullscreen() {
    presenter->finish();
    bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void Preview::reloadShaders() {
    // Each program is built again from its own files. Shows often build many
    // from the same files: when one will not take them, none will, so each
    // set of files is tried, and reported, once.
    std::vector<std::string> rebuilt;
    std::vector<std::string> broken;
    for (vq_engine::ShaderProgram* shaderProgram : player.show.programs()) {
        std::string files = shaderProgram->sourceFiles();
        if (std::find(broken.begin(), broken.end(), files) != broken.end())
            continue;
        if (shaderProgram->reload()) {
            if (std::find(rebuilt.begin(), rebuilt.end(), files) == rebuilt.end())
                rebuilt.push_back(files);
        } else {
            broken.push_back(files);
        }
    }
    for (const std::string& files : rebuilt)
        if (std::find(broken.begin(), broken.end(), files) == broken.end())
            std::printf("%s: rebuilt the particle program from %s\n", program().c_str(), files.c_str());
    for (const std::string& files : broken)
        std::printf("%s: %s do not build; the show keeps its last working program\n", program().c_str(),
                    files.c_str());
    std::fflush(stdout);
    player.redraw();
    changed = true;
}

std::string Preview::writeScreenshot() {
    char time[32];
    std::snprintf(time, sizeof time, "-%07.3f.png", player.timeOf(player.frame));
    std::string name = player.show.description.name + time;
    tools::RgbImage frame;
    player.show.read(frame);
    std::string error = tools::writePng(frame, name, stillPngCompression);
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", program().c_str(), error.c_str());
        return "";
    }
    std::printf("%s: wrote %s\n", program().c_str(), name.c_str());
    std::fflush(stdout);
    return name;
}

void Preview::handle(const SDL_Event& event) {
    if (event.type == SDL_QUIT) {
        quit = true;
        return;
    }
    if (event.type == SDL_WINDOWEVENT)
        changed = true;
    if (event.type != SDL_KEYDOWN)
        return;
    changed = true;
    int second = player.fps;
    switch (event.key.keysym.sym) {
    case SDLK_ESCAPE: quit = true; break;
    case SDLK_SPACE: togglePause(); break;
    case SDLK_LEFT: seekTo(player.frame - (shiftHeld(event) ? 10 * second : second)); break;
    case SDLK_RIGHT: seekTo(player.frame + (shiftHeld(event) ? 10 * second : second)); break;
    case SDLK_COMMA: stepBy(-1); break;
    case SDLK_PERIOD: stepBy(1); break;
    case SDLK_HOME: seekTo(0); break;
    case SDLK_LEFTBRACKET: setLoopStart(); break;
    case SDLK_RIGHTBRACKET: setLoopEnd(); break;
    case SDLK_BACKSPACE: clearLoop(); break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS: changeRate(0.5); break;
    case SDLK_EQUALS:
    case SDLK_KP_PLUS: changeRate(2.0); break;
    case SDLK_h: barShown = !barShown; break;
    case SDLK_r: reloadShaders(); break;
    case SDLK_F1: std::fputs(controlsText().c_str(), stdout); std::fflush(stdout); break;
    case SDLK_F11: toggleFullscreen(); break;
    case SDLK_F12: writeScreenshot(); break;
    default: break;
    }
}

} // namespace preview
