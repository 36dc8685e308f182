#include "tools/capture/VideoEncoder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "tools/common/ChildProcess.h"

namespace capture {

namespace {

std::string decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

} // namespace

bool programInstalled(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    for (;;) {
        size_t colon = directories.find(':', begin);
        std::string directory = directories.substr(begin, colon == std::string::npos ? colon : colon - begin);
        std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        struct stat status;
        if (stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string::npos)
            return false;
        begin = colon + 1;
    }
}

VideoEncoder::VideoEncoder(const std::string& path, int width, int height, int fps)
    : path(path), partialPath(path + ".part"), width(width), height(height), fps(fps) {}

VideoEncoder::~VideoEncoder() {
    abandon();
}

std::string VideoEncoder::start(const std::string& audioPath, double audioStart, double audioSeconds) {
    char logName[] = "/tmp/vq-capture-ffmpeg-XXXXXX";
    int log = mkstemp(logName);
    if (log < 0)
        return std::string("cannot make a log file for ffmpeg in /tmp: ") + std::strerror(errno);
    logPath = logName;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        close(log);
        return std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
    }
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", std::to_string(width) + "x" + std::to_string(height),
        "-framerate", std::to_string(fps), "-i", "pipe:0"};
    std::vector<std::string> sound = {
        "-ss", decimal(audioStart), "-t", decimal(audioSeconds), "-i", audioPath,
        "-map", "0:v:0", "-map", "1:a:0", "-c:a", "aac", "-b:a", "192k"};
    if (!audioPath.empty())
        args.insert(args.end(), sound.begin(), sound.end());
    for (const char* rest : {"-c:v", "libx264", "-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p",
                             "-movflags", "+faststart", "-f", "mp4"})
        args.push_back(rest);
    args.push_back(partialPath);
    tools::ChildSetup setup;
    setup.input = fds[0];
    setup.output = log;
    encoder = tools::startChild(args, setup);
    int forkError = errno;
    close(fds[0]);
    close(log);
    if (encoder < 0) {
        close(fds[1]);
        return std::string("cannot start ffmpeg: ") + std::strerror(forkError);
    }
    pipe = fds[1];
    return "";
}

std::string VideoEncoder::writeFrame(const RgbImage& frame) {
    const unsigned char* bytes = frame.rgb.data();
    size_t left = frame.rgb.size();
    while (left > 0) {
        ssize_t written = write(pipe, bytes, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return stopped("stopped taking frames");
        bytes += written;
        left -= size_t(written);
    }
    return "";
}

std::string VideoEncoder::finish() {
    close(pipe);
    pipe = -1;
    int status = tools::waitChild(encoder);
    encoder = -1;
    std::string error;
    if (status != 0)
        error = "ffmpeg failed writing " + path + ": " + lastLogLine();
    else if (std::rename(partialPath.c_str(), path.c_str()) != 0)
        error = "cannot write " + path + ": " + std::strerror(errno);
    if (!error.empty())
        abandon();
    return error;
}

void VideoEncoder::abandon() {
    if (pipe >= 0) {
        close(pipe);
        pipe = -1;
    }
    if (encoder > 0) {
        kill(encoder, SIGKILL);
        tools::waitChild(encoder);
        encoder = -1;
    }
    std::remove(partialPath.c_str());
    if (!logPath.empty()) {
        std::remove(logPath.c_str());
        logPath.clear();
    }
}

std::string VideoEncoder::stopped(const std::string& what) {
    // ffmpeg closed its end: it has exited or is about to.
    int status = tools::waitChild(encoder);
    encoder = -1;
    std::string reason;
    if (status == 127)
        reason = "it could not be started";
    else
        reason = lastLogLine();
    std::string error = "ffmpeg " + what + " while writing " + path + ": " + reason;
    abandon();
    return error;
}

std::string VideoEncoder::lastLogLine() const {
    std::ifstream log(logPath);
    std::string line;
    std::string last;
    while (std::getline(log, line))
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            last = line;
    return last.empty() ? "it gave no reason" : last;
}

} // namespace capture
