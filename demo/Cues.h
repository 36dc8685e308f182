#ifndef VELQUOR_DEMO_CUES_H
#define VELQUOR_DEMO_CUES_H

// The show's timeline: the moments the music accents, in seconds of show
// time. The scenes open their windows and start their motions at exactly
// these times, the score anchors its tempo map and its accents to them and the
// shaders flash on them, so this list is the one place where picture and sound
// agree.

constexpr double showStart = 0.0;
constexpr double beginAppears = 1.983;
constexpr double beginDissolves = 3.0;
constexpr double fourteenAppears = 4.012;
constexpr double fourteenDissolves = 4.9;
constexpr double thirtytwoAppears = 6.018;
constexpr double n158Appears = 8.474;
constexpr double thirtytwoScatters = 9.0;
constexpr double n158Dissolves = 9.3;
constexpr double n271Appears = 10.525;
constexpr double n271StreamsAway = 12.0;
constexpr double millionAppears = 12.486;
constexpr double millionDrifts = 12.9;
constexpr double tovelplexAppears = 14.289;
constexpr double millionFalls = 15.0;
constexpr double randomNumsFirstPass = 18.0;
constexpr double randomNumsSecondPass = 29.0;

struct Cue {
    double time;
    const char* event;
};

constexpr Cue cues[] = {
    {showStart, "the show starts"},
    {beginAppears, "BEGIN appears"},
    {beginDissolves, "BEGIN dissolves"},
    {fourteenAppears, "14 appears"},
    {fourteenDissolves, "14 dissolves"},
    {thirtytwoAppears, "32 appears"},
    {n158Appears, "158 flies in"},
    {thirtytwoScatters, "32 is blown apart"},
    {n158Dissolves, "158 dissolves"},
    {n271Appears, "271 appears"},
    {n271StreamsAway, "271 streams away"},
    {millionAppears, "10^6 appears"},
    {millionDrifts, "10^6 drifts"},
    {tovelplexAppears, "10^12431 appears"},
    {millionFalls, "10^6 falls"},
    {randomNumsFirstPass, "the digit row's first pass"},
    {randomNumsSecondPass, "the digit row's second pass"},
};

constexpr int cueCount = sizeof cues / sizeof cues[0];

// Where the scenes' windows close. No accent marks these: each scene's content
// has left the view or dissolved by then, and the long-lived scenes stay open
// well past the end of the music.
constexpr double beginCloses = 3.268;
constexpr double n158Closes = 9.939;
constexpr double fourteenCloses = 15.342;
constexpr double tovelplexCloses = 17.551;
constexpr double showCloses = 130.0;

// The last digits leave the view at about 35.06 s: the closing chord lands as
// they go, and the track rings out for a few seconds after it.
constexpr double finalChord = 35.0;
constexpr double trackLength = 38.5;
// The music, relative to the working directory.
constexpr const char* trackPath = "data/quorvin.mp3";

#endif
