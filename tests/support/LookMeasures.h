#ifndef VQ_TESTS_LOOKMEASURES_H
#define VQ_TESTS_LOOKMEASURES_H

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/Audio.h"

// What the show's picture is held to, measured on a capture of every frame:
// its colour per part of the show, how it lands on the cues and how its light
// follows the music's loudness. A pixel is lit when its luma (Rec. 709, 0 to
// 1) is above litLuma.
constexpr double litLuma = 0.12;

// One frame, reduced to what the measures need. Opponent channels on 0-255
// values: rg = R - G, yb = (R + G) / 2 - B.
struct FrameLook {
    double time = 0.0;
    double light = 0.0; // mean luma of the whole frame, 0 to 1
    double lit = 0.0;   // lit pixels
    double rg = 0.0, yb = 0.0, rg2 = 0.0, yb2 = 0.0; // sums over the lit pixels
};

FrameLook measureFrame(const unsigned char* rgb, int pixels, double time);

// Every frame-NNNNNN.png of a velquor-capture --frames folder, frame n at
// n / fps seconds. Empty, and a message naming the file, when one cannot be read.
std::vector<FrameLook> measureCapture(const std::string& directory, double fps, std::string& error);

struct ColourFigures {
    double colourfulness = 0.0; // Hasler and Suesstrunk's M
    double hue = 0.0;           // of the mean opponent colour, in degrees from +rg towards +yb
    double litShare = 0.0;      // of all pixels
};

// Over the lit pixels of the frames in [from, to).
ColourFigures colourOver(const std::vector<FrameLook>& frames, double from, double to);

// The smaller angle between two hues, in degrees.
double hueDistance(double a, double b);

struct CueFigures {
    double time;
    const char* event;
    double after;  // mean light of the frames 33-133 ms after the cue
    double before; // median light of the frames 67-333 ms before it
    double ratio() const { return before > 0.0 ? after / before : 0.0; }
};

struct SectionFigures {
    const char* name;
    double from, to;
    ColourFigures colour;
    double light;    // mean light of its frames
    double loudness; // the track's power over the section, in dB
    double hueShift; // from the section before, 0 for the first
};

struct HalfSecond {
    double from;
    double lightDb;    // 10 log10 of the mean light
    double loudnessDb; // 10 log10 of the track's mean power
};

struct LookFigures {
    ColourFigures show;
    std::vector<SectionFigures> sections;
    std::vector<CueFigures> cues; // every cue after 0 s
    double lightLoudness = 0.0;   // correlation of light and loudness per half second, in dB
    std::vector<HalfSecond> halfSecondWindows;
    // In the drops, clear of their opening hits: mean light of the frames in
    // the 70 ms after each beat against those 250-450 ms after it.
    double onBeat = 0.0, offBeat = 0.0;
    double beatPulse() const { return offBeat > 0.0 ? onBeat / offBeat : 0.0; }
    int boundariesMoved() const;  // of the boundaries between sections, those moving the hue 40 degrees or more
    int cuesLanded() const;       // of the cues, those with a ratio of 1.3 or more
};

constexpr double hueShiftTarget = 40.0;
constexpr double cueRatioTarget = 1.3;
constexpr double beatPulseTarget = 1.15;

LookFigures measureLook(const std::vector<FrameLook>& frames, const StereoAudio& track);

void printLook(const LookFigures& figures, std::FILE* out);

#endif
