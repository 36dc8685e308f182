#ifndef VQ_TESTS_MUSIC_MEASURES_H
#define VQ_TESTS_MUSIC_MEASURES_H

#include <cstdio>
#include <vector>

#include "tests/support/Audio.h"

// What the soundtrack's music is held to, measured on the decoded track's
// mono sum at the places the score puts things: its cues, backbeats, bass
// notes and chord changes. Levels are in dB; a "lift" or a "margin" is
// positive when the music does what it should.
struct MusicMeasures {
    struct AtTime {
        double time;
        double db;
    };

    double loudnessRange;
    // The quietest 3 s between 4 s and 34 s under the loudest.
    double quietestUnderLoudest;
    // The digit row's second pass over its first.
    double secondPassLift;
    // In the first pass: the 2-6 kHz band under the 60-250 Hz band, and the
    // quietest 100 ms of the air above 6 kHz between two backbeats.
    double presenceUnderLow;
    double quietestAir;
    // The 20 ms after each cue over the 100 ms before it, in the order of
    // the cue list.
    std::vector<AtTime> cueLifts;
    // Above 2 kHz, the 50 ms after each section hit over the median backbeat
    // of the first pass.
    std::vector<AtTime> sectionHitsOverSnare;
    // Below 150 Hz, the side under the mid.
    double lowSideUnderMid;
    // From 100 ms after each chord change (for 186 ms), the loudest tone
    // that arrives with the new chord over the loudest that left with the
    // old one, for chords that last at least 0.45 s.
    std::vector<AtTime> chordMargins;
    // Below 150 Hz, the largest fall within 50 ms from 35.2 s to the last
    // second.
    MusicMeasures::AtTime closingFall;
    // Below 150 Hz, the kick's tail just before each bass note between the
    // beats, under the kick's peak; the loudest tail of all.
    AtTime kickTail;

    // The hook as the score writes it: where each 3 + 3 + 2 statement starts
    // (three melody notes 3 and 3 sixteenths apart, the next 2 after the
    // third), whether every melody note of the second pass is harmonised,
    // and the top melody note of each pass.
    std::vector<double> hookStatements;
    bool secondPassHarmonised;
    int firstPassTop;
    int secondPassTop;
    // As the track sounds it: over each note of every statement, its tone
    // over the median of the twelve semitones around it; the weakest.
    AtTime weakestHookNote;
};

MusicMeasures measureMusic(const StereoAudio& track);

// One line per measure, for the closing note and for a listen-check.
void printMeasures(const MusicMeasures& measures, std::FILE* out);

#endif
