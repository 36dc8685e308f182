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

// The music meters below work on one channel: the mono sum (L + R) / 2, or
// the difference (L - R) / 2 for the stereo image.
std::vector<float> monoSum(const StereoAudio& audio);
std::vector<float> sideSignal(const StereoAudio& audio);

// The signal through 8th-order Butterworth filters: a high-pass at lowHz
// (none at 0) and a low-pass at highHz (none at or above half the rate).
std::vector<float> bandLimited(const std::vector<float>& signal, int rate, double lowHz, double highHz);

// Mean energy of the stretch from..to seconds, 10 log10 of the mean square
// (a full-scale square wave reads 0 dB); beyond the ends is silence.
double energyDb(const std::vector<float>& signal, int rate, double from, double to);

// The quietest and the loudest `window` seconds that fit between from and to,
// with the window stepped by a hundredth of a second.
struct EnergyExtremes {
    double quietestDb, quietestAt;
    double loudestDb, loudestAt;
};
EnergyExtremes energyExtremes(const std::vector<float>& signal, int rate, double from, double to, double window);

// The largest fall in level between from and to: 10 ms windows, each compared
// with every window that starts up to `within` seconds after it. In dB, 0 when
// the level never falls.
struct Fall {
    double db;
    double at;
};
Fall largestFall(const std::vector<float>& signal, int rate, double from, double to, double within);

// Loudness range in LU: K-weighted 3 s short-term loudness every 100 ms, gated
// at -70 LUFS and 20 LU under the mean of what passes, then the spread from the
// 10th to the 95th percentile.
double loudnessRange(const StereoAudio& audio);

// The spectrum of `length` seconds from `from` (Hann window, zero-padded four
// times), for the levels of single tones: toneDb is the peak within `cents`
// of a frequency, in dB of the mean square a sine of that level would have.
class Spectrum {
public:
    Spectrum(const std::vector<float>& signal, int rate, double from, double length);
    double toneDb(double frequency, double cents) const;

private:
    double binHz;
    double scale;
    std::vector<double> magnitude;
};

#endif
