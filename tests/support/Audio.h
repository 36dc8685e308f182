#ifndef VQ_TESTS_AUDIO_H
#define VQ_TESTS_AUDIO_H

#include <string>
#include <vector>

// Measurements on decoded audio, for the soundtrack's tests.
struct StereoAudio {
    int sampleRate = 0;
    std::vector<float> left;  // in [-1, 1)
    std::vector<float> right;
    double seconds() const { return sampleRate ? double(left.size()) / sampleRate : 0.0; }
};

// Decodes a file with SDL_mixer, as the demo's player does: 44.1 kHz, signed
// 16-bit stereo, on SDL's dummy audio driver. Empty audio and a message in
// error when it cannot.
StereoAudio decodeWithMixer(const std::string& path, std::string& error);

// Integrated loudness in LUFS: K-weighted, 400 ms blocks overlapping by 75 %,
// absolute gate at -70 LUFS and relative gate 10 LU below.
double integratedLoudness(const StereoAudio& audio);

// The largest magnitude between samples, in dBFS, from a 4x oversampled
// band-limited reconstruction of one channel.
double truePeakDb(const std::vector<float>& channel);

// The longest run, in seconds, of 10 ms windows quieter than thresholdDb
// (RMS of both channels) between from and to seconds.
double longestQuietStretch(const StereoAudio& audio, double from, double to, double thresholdDb);

struct Onset {
    double time;     // seconds
    double strength; // spectral flux at the peak
};

// Note and hit onsets: peaks of the half-wave rectified spectral flux of the
// log-compressed magnitude spectrum (512-sample Hann frames, 64-sample hop)
// that stand above the local median by more than the mean flux.
std::vector<Onset> detectOnsets(const StereoAudio& audio);

#endif
