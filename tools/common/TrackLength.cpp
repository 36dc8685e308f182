#include "tools/common/TrackLength.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace tools {

double trackSeconds(const std::string& path, std::string& error) {
    // Nothing is played: the length needs a mixer, not a sound device.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("cannot open SDL audio: ") + SDL_GetError();
        return 0.0;
    }
    double seconds = 0.0;
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        error = std::string("cannot open the mixer: ") + Mix_GetError();
    } else {
        Mix_Music* music = Mix_LoadMUS(path.c_str());
        if (!music) {
            error = "cannot read " + path + ": " + Mix_GetError();
        } else {
            seconds = Mix_MusicDuration(music);
            if (seconds <= 0.0) {
                error = "cannot tell the length of " + path;
                seconds = 0.0;
            }
            Mix_FreeMusic(music);
        }
        Mix_CloseAudio();
    }
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return seconds;
}

} // namespace tools
