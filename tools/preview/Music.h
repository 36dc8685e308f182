#ifndef VELQUOR_PREVIEW_MUSIC_H
#define VELQUOR_PREVIEW_MUSIC_H

#include <SDL_mixer.h>

#include <string>

namespace preview {

// The soundtrack, played from any moment of the show and stopped at will.
// Without a sound device it plays silently on SDL's dummy driver.
class Music {
public:
    Music() = default;
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // An error naming the file, or empty; an empty path is a silent show.
    // Warnings start with program.
    std::string open(const std::string& path, const std::string& program);
    void playFrom(double seconds);
    void stop();

    bool playing = false;

private:
    Mix_Music* music = nullptr;
    bool audioOpen = false;
};

} // namespace preview

#endif
