#ifndef VELQUOR_SHADERS_LOOKSECTIONS_H
#define VELQUOR_SHADERS_LOOKSECTIONS_H

#include "demo/Cues.h"

// The parts of the show that each have their own colour, each starting on a
// cue of the show's one list: the built particle shaders change palette at
// these times, and the look's measures are taken per part.
namespace look {

struct Section {
    double start; // seconds of show time
    const char* name;
};

constexpr Section sections[] = {
    {showStart, "opening"},
    {beginAppears, "words"},
    {n158Appears, "numbers"},
    {millionAppears, "powers"},
    {randomNumsFirstPass, "first drop"},
    {randomNumsSecondPass, "second drop"},
    {finalChord, "close"},
};

constexpr int sectionCount = sizeof sections / sizeof sections[0];

} // namespace look

#endif
