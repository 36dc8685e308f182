#include "tools/preview/PlayClock.h"

#include <algorithm>
#include <cmath>

#include "tools/common/FrameTime.h"

namespace preview {

PlayClock::PlayClock(int fps, int lastFrame) : fps(fps), lastFrame(lastFrame) {}

PlayClock::Due PlayClock::advance(double now) {
    Due due{anchorFrame, false, false};
    if (!playing)
        return due;
    due.frame = anchorFrame + int(tools::frameAtOrBefore((now - anchorTime) * rate, fps));
    // The frame after the loop's end when that lies ahead, or else after the show's end.
    int end = (looping && anchorFrame <= loopEnd ? loopEnd : lastFrame) + 1;
    if (due.frame < end)
        return due;
    if (!looping) {
        due.frame = lastFrame;
        due.ended = true;
        pause(lastFrame);
        return due;
    }
    // Frames past the end count on from the loop's start, so the rhythm holds.
    int period = loopEnd - loopStart + 1;
    due.frame = loopStart + (due.frame - end) % period;
    due.wrapped = true;
    startAt(due.frame, now);
    return due;
}

void PlayClock::startAt(int from, double now) {
    anchorFrame = std::max(0, std::min(from, lastFrame));
    anchorTime = now;
    playing = true;
}

void PlayClock::pause(int at) {
    anchorFrame = std::max(0, std::min(at, lastFrame));
    playing = false;
}

void PlayClock::setRate(double newRate, int at, double now) {
    rate = std::max(slowest, std::min(newRate, fastest));
    if (playing)
        startAt(at, now);
}

void PlayClock::setLoop(int start, int end) {
    loopStart = std::max(0, start);
    loopEnd = std::min(end, lastFrame);
    looping = loopStart < loopEnd;
}

bool PlayClock::setLoopStart(int frame) {
    int end = looping ? loopEnd : lastFrame;
    if (frame >= end)
        return false;
    setLoop(frame, end);
    return true;
}

bool PlayClock::setLoopEnd(int frame) {
    int start = looping ? loopStart : 0;
    if (frame <= start)
        return false;
    setLoop(start, frame);
    return true;
}

} // namespace preview
