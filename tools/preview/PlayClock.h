#ifndef VELQUOR_PREVIEW_PLAYCLOCK_H
#define VELQUOR_PREVIEW_PLAYCLOCK_H

namespace preview {

// Which frame is due when: the show runs at fps frames per second of show
// time, times the playback rate, from the frame where it was last started.
// It stops at the show's last frame or, with a loop, goes back to the loop's
// start when it reaches the loop's end (or the show's, when it was already
// past the loop's end). Times are seconds on any steady clock.
class PlayClock {
public:
    static constexpr double slowest = 1.0 / 16.0;
    static constexpr double fastest = 16.0;

    PlayClock(int fps, int lastFrame);

    // What happened to the due frame since the clock was last started.
    struct Due {
        int frame;
        bool wrapped; // it went back to the loop's start: the music starts again
        bool ended;   // it reached the end of the show without a loop: playing stopped
    };
    // The frame due now, restarting the clock at the loop's start when it wraps.
    Due advance(double now);

    // When frame falls due while playing on from the last start, loops aside.
    double dueTime(int frame) const { return anchorTime + (frame - anchorFrame) / (rate * fps); }

    // Starts playing at frame from (paused stays paused, keeping from as its frame).
    void startAt(int from, double now);
    void pause(int at);
    void setRate(double rate, int at, double now);

    // The loop covers frames start to end, both shown; end is at most the last frame.
    void setLoop(int start, int end);
    void clearLoop() { looping = false; }
    // The loop's start or end at the given frame, keeping the other end
    // (or the show's start or end when there was no loop); false when the
    // loop would be empty.
    bool setLoopStart(int frame);
    bool setLoopEnd(int frame);

    int fps;
    int lastFrame;
    bool playing = false;
    double rate = 1.0;
    bool looping = false;
    int loopStart = 0;
    int loopEnd = 0;

private:
    int anchorFrame = 0;
    double anchorTime = 0.0;
};

} // namespace preview

#endif
