#ifndef VELQUOR_MUSIC_INSTRUMENTS_H
#define VELQUOR_MUSIC_INSTRUMENTS_H

#include <vector>

#include "music/Dsp.h"

// The track's instruments. Each call adds one note or hit, starting at the
// given time in seconds, into a buffer; velocities are linear gains around 1.
// Noise is seeded from the start time, so every hit is the same on every run.
namespace soundtrack {

void kick(StereoBuffer& out, double time, double velocity);
void snare(StereoBuffer& out, double time, double velocity);
void clap(StereoBuffer& out, double time, double velocity);
void closedHat(StereoBuffer& out, double time, double velocity, double pan);
void openHat(StereoBuffer& out, double time, double velocity, double pan);
// A long hat on the beats of the drops, so their air never thins.
void ride(StereoBuffer& out, double time, double velocity, double pan);
void crash(StereoBuffer& out, double time, double velocity);
// A tom whose pitch falls far, for things that drop.
void tomDrop(StereoBuffer& out, double time, double velocity);
// A deep boom with a burst of darkening noise, for the big moments.
void impact(StereoBuffer& out, double time, double velocity);
// Noise swept upwards, loudest and brightest at `peak`, silent after it.
void riser(StereoBuffer& out, double from, double peak, double velocity);

void bassNote(StereoBuffer& out, double time, double duration, int note, double velocity);
void padChord(StereoBuffer& out, double time, double duration, const std::vector<int>& notes, double velocity,
              double attack, double release);
void pluck(StereoBuffer& out, double time, int note, double velocity, double pan);
void leadNote(StereoBuffer& out, double time, double duration, int note, double velocity);
void stab(StereoBuffer& out, double time, const std::vector<int>& notes, double velocity);

} // namespace soundtrack

#endif
