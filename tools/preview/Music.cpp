#include "tools/preview/Music.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace preview {

namespace {

bool openMixer() {
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
}

} // namespace

Music::~Music() {
    if (music)
        Mix_FreeMusic(music);
    if (audioOpen)
        Mix_CloseAudio();
}

std::string Music::open(const std::string& path, const std::string& program) {
    if (path.empty())
        return "";
    audioOpen = openMixer();
    if (!audioOpen) {
        std::fprintf(stderr, "%s: warning: no audio device (%s); playing without sound\n", program.c_str(),
                     SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        audioOpen = openMixer();
        if (!audioOpen)
            return std::string("cannot open even a silent audio device: ") + Mix_GetError();
    }
    music = Mix_LoadMUS(path.c_str());
    if (!music)
        return "cannot load " + path + ": " + Mix_GetError();
    return "";
}

void Music::playFrom(double seconds) {
    if (!music)
        return;
    // Once through from the position, without a fade. Starting again is
    // exact where pausing and resuming would keep what the decoder had buffered.
    playing = Mix_FadeInMusicPos(music, 1, 0, seconds) == 0;
}

void Music::stop() {
    if (playing)
        Mix_HaltMusic();
    playing = false;
}

} // namespace preview
