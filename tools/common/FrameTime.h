#ifndef VELQUOR_TOOLS_FRAMETIME_H
#define VELQUOR_TOOLS_FRAMETIME_H

#include <cmath>

// Where a time falls among a show's frames, for every tool alike.
namespace tools {

// Times are typed in decimal and clocks count in binary: a time meant to
// fall on a frame, or on the show's end, can land a hair either side of it.
// This much, in frames or in seconds, still counts as on it.
const double timeSlack = 1e-6;

// The last frame at or before the time: frame n shows n / fps seconds.
inline long long frameAtOrBefore(double seconds, double fps) {
    return (long long)std::floor(seconds * fps + timeSlack);
}

// The first frame at or after the time.
inline long long frameAtOrAfter(double seconds, double fps) {
    return (long long)std::ceil(seconds * fps - timeSlack);
}

// Whether the time lies beyond the end.
inline bool pastEnd(double seconds, double end) {
    return seconds > end + timeSlack;
}

} // namespace tools

#endif
