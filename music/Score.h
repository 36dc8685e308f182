#ifndef VELQUOR_MUSIC_SCORE_H
#define VELQUOR_MUSIC_SCORE_H

#include <functional>
#include <vector>

#include "music/Dsp.h"

namespace soundtrack {

// Where each sixteenth note of the score falls in show time. The tempo stays
// near 120 beats per minute and bends slightly between anchors, so that every
// cue of the show lands exactly on a note of the score.
class TempoMap {
public:
    struct Anchor {
        double sixteenth;
        double time;
    };
    // Anchors in increasing order; past the last one the tempo stays that of
    // the last stretch.
    explicit TempoMap(std::vector<Anchor> anchors);
    double time(double sixteenth) const;

    std::vector<Anchor> anchors;
};

// The tempo map of this track: the cues of the show pinned to their notes.
TempoMap trackTempo();

// Where the harmony changes, in show time, and the pitch classes (0 is C)
// of the chord it changes to.
struct ChordChange {
    double time;
    std::vector<int> pitchClasses;
};
std::vector<ChordChange> chordChanges();

// A note of the tune, the hook and its answers on the pluck and the lead:
// where it starts, in sixteenths of the score and in show time, its pitch,
// and what it is to the tune.
struct TuneNote {
    enum class Role { Melody, Harmony, Doubling };
    double sixteenth;
    double time;
    int pitch;
    Role role;
};
std::vector<TuneNote> tune();

// The finished track: composed, mixed, limited and faded, trackLength seconds
// of 44.1 kHz stereo in [-1, 1]. progress, if given, hears how much of the
// render is done, from 0 to 1, a dozen times along the way.
StereoBuffer renderTrack(const std::function<void(double)>& progress = {});

} // namespace soundtrack

#endif
