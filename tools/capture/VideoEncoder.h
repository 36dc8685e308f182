#ifndef VELQUOR_CAPTURE_VIDEOENCODER_H
#define VELQUOR_CAPTURE_VIDEOENCODER_H

#include <sys/types.h>

#include <string>

#include "tools/common/PngFile.h"

namespace capture {

using tools::RgbImage;

// Whether a program of that name is an executable on PATH.
bool programInstalled(const std::string& name);

// Frames piped into ffmpeg as raw RGB, encoded as H.264 in yuv420p with a
// stretch of the soundtrack beside them. ffmpeg writes a temporary file that
// becomes path only when it has finished well, so path never names a cut-off
// video. Broken pipes must not kill the process (SIGPIPE ignored).
class VideoEncoder {
public:
    VideoEncoder(const std::string& path, int width, int height, int fps);
    // Abandons an unfinished video.
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Starts ffmpeg; the sound is audioSeconds of audioPath from audioStart
    // on, and an empty audioPath makes a silent video.
    // Each of these returns an error message, or empty.
    std::string start(const std::string& audioPath, double audioStart, double audioSeconds);
    std::string writeFrame(const RgbImage& frame);
    std::string finish();
    // Stops ffmpeg and removes what it wrote.
    void abandon();

    std::string path;
    std::string partialPath;
    int width;
    int height;
    int fps;

private:
    std::string stopped(const std::string& what);
    std::string lastLogLine() const;

    pid_t encoder = -1;
    int pipe = -1;
    std::string logPath;
};

} // namespace capture

#endif
