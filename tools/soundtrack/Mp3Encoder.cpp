#include "tools/soundtrack/Mp3Encoder.h"

#include <lame/lame.h>

#include <stdexcept>
#include <string>

namespace soundtrack {

namespace {

const int bitrate = 192;
const int chunkFrames = 8192;

class Encoder {
public:
    Encoder() : flags(lame_init()) {
        if (!flags)
            throw std::runtime_error("the MP3 encoder could not be created");
    }
    ~Encoder() { lame_close(flags); }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    lame_t flags;
};

void check(int result, const char* step) {
    if (result < 0)
        throw std::runtime_error(std::string("the MP3 encoder failed ") + step + " (LAME error " +
                                 std::to_string(result) + ")");
}

} // namespace

std::vector<unsigned char> encodeMp3(const StereoBuffer& track) {
    Encoder encoder;
    lame_t flags = encoder.flags;
    lame_set_in_samplerate(flags, sampleRate);
    lame_set_out_samplerate(flags, sampleRate);
    lame_set_num_channels(flags, 2);
    lame_set_mode(flags, JOINT_STEREO);
    lame_set_brate(flags, bitrate);
    lame_set_quality(flags, 2);
    lame_set_bWriteVbrTag(flags, 1);
    lame_set_write_id3tag_automatic(flags, 0);
    check(lame_init_params(flags), "to accept its settings");

    std::vector<unsigned char> mp3;
    std::vector<unsigned char> chunk(chunkFrames * 5 / 4 + 7200);
    for (size_t from = 0; from < track.frames(); from += chunkFrames) {
        int count = int(std::min<size_t>(chunkFrames, track.frames() - from));
        int written = lame_encode_buffer_ieee_float(flags, track.left.data() + from, track.right.data() + from, count,
                                                    chunk.data(), int(chunk.size()));
        check(written, "while encoding");
        mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + written);
    }
    int written = lame_encode_flush(flags, chunk.data(), int(chunk.size()));
    check(written, "while flushing");
    mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + written);

    // LAME left an empty frame at the start for the info frame.
    std::vector<unsigned char> info(2880);
    size_t infoSize = lame_get_lametag_frame(flags, info.data(), info.size());
    if (infoSize == 0 || infoSize > info.size() || infoSize > mp3.size())
        throw std::runtime_error("the MP3 encoder gave no info frame");
    std::copy(info.begin(), info.begin() + infoSize, mp3.begin());
    return mp3;
}

} // namespace soundtrack
