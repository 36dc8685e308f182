// Velquor: opens a borderless full-screen window, plays the track once and
// draws the show until the track ends or Escape is pressed.
#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/Cues.h"
#include "demo/StartChecks.h"
#include "demo/MyDemo.h"
#include "demo/SceneCommon.h"
#include "engine/RegularFile.h"
#include "engine/Window.h"

namespace {

int fail(const char* what, const char* reason) {
    std::fprintf(stderr, "velquor: %s failed: %s\n", what, reason);
    SDL_Quit();
    return 1;
}

// The show cannot start without its data: say which file is missing (or is
// a directory or a pipe rather than a file) and where it was looked for.
bool dataFilesReadable() {
    const char* paths[] = {starsVertexPath, starsFragmentPath, trackPath};
    for (const char* path : paths) {
        std::string reason = vq_engine::unreadableDataReason(path);
        if (!reason.empty()) {
            std::fprintf(stderr, "velquor: %s\n", reason.c_str());
            return false;
        }
    }
    return true;
}

bool openMixer() {
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
}

// Without a sound device the show still runs, silently: SDL's dummy driver
// plays the track at real-time pace, so the show ends when the track does.
bool openAudio() {
    if (openMixer())
        return true;
    std::fprintf(stderr, "velquor: warning: no audio device (%s); playing without sound\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return openMixer();
}

// The context's default viewport is the window's size when the context was
// made current; a window manager may size the full-screen window only later.
void useWholeDrawable(SDL_Window* window) {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    glViewport(0, 0, width, height);
}

bool escapePressed() {
    bool pressed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
            pressed = true;
    }
    return pressed;
}

} // namespace

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    if (!dataFilesReadable())
        return 1;

    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return fail("SDL initialisation", SDL_GetError());
    std::string noDisplay = vq_engine::noDisplayReason(SDL_GetCurrentVideoDriver());
    if (!noDisplay.empty()) {
        std::fprintf(stderr, "velquor: %s\n", noDisplay.c_str());
        SDL_Quit();
        return 1;
    }
    SDL_Window* window = vq_engine::openWindow("Velquor", 0, 0, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_OPENGL);
    if (!window)
        return fail("window creation", SDL_GetError());
    SDL_ShowCursor(SDL_DISABLE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    if (!SDL_GL_CreateContext(window))
        return fail("OpenGL 4.1 core context creation", SDL_GetError());
    glewExperimental = GL_TRUE;
    GLenum glew = glewInit();
    if (glew != GLEW_OK)
        return fail("GLEW initialisation", reinterpret_cast<const char*>(glewGetErrorString(glew)));

    if (!openAudio())
        return fail("opening the audio device", Mix_GetError());
    Mix_Music* music = Mix_LoadMUS(trackPath);
    if (!music)
        return fail((std::string("loading ") + trackPath).c_str(), Mix_GetError());

    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    useWholeDrawable(window);

    // Everything is built before the music starts, so start-up costs no show time.
    MyDemo* demo = new MyDemo(width, height);
    demo->init();
    std::string broken = brokenProgramReason();
    if (!broken.empty()) {
        std::fprintf(stderr, "velquor: %s\n", broken.c_str());
        SDL_DestroyWindow(window);
        Mix_FreeMusic(music);
        SDL_Quit();
        return 1;
    }

    if (Mix_PlayMusic(music, 1) != 0)
        return fail((std::string("playing ") + trackPath).c_str(), Mix_GetError());
    Uint32 startTime = SDL_GetTicks();

    int quit = 0;
    while (!quit) {
        if (escapePressed())
            quit = 1;
        if (!Mix_PlayingMusic())
            quit = 1;
        double t = (double(SDL_GetTicks()) - double(startTime)) / 1000.0;
        demo->show(t);
        SDL_GL_SwapWindow(window);
    }

    SDL_ShowCursor(SDL_ENABLE);
    SDL_DestroyWindow(window);
    Mix_FreeMusic(music);
    Mix_Quit();
    SDL_Quit();
    return 0;
}
