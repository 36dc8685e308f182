#ifndef VELQUOR_MUSIC_DSP_H
#define VELQUOR_MUSIC_DSP_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Building blocks of the synthesiser: band-limited oscillators, filters, a
// seeded noise source, reverb, delay and the master limiter. Everything is
// deterministic: the same calls give the same samples on every run.
namespace soundtrack {

constexpr int sampleRate = 44100;
constexpr double pi = 3.14159265358979323846;

// A stretch of stereo audio; writes past the end are dropped, so a voice may
// ring past the end of the track.
class StereoBuffer {
public:
    explicit StereoBuffer(size_t frames);
    size_t frames() const { return left.size(); }
    void add(size_t frame, double l, double r);
    void mix(const StereoBuffer& other, double gain);

    std::vector<float> left;
    std::vector<float> right;
};

size_t frameAt(double seconds);
double midiFrequency(double note);
double decibels(double gain);
double gainOf(double decibels);
// Equal-power pan: -1 is hard left, 0 the centre, 1 hard right.
void panGains(double pan, double& left, double& right);

// xorshift64*, so the noise does not depend on the C++ library's engines.
class Noise {
public:
    explicit Noise(uint64_t seed);
    double next(); // uniform in [-1, 1)
private:
    uint64_t state;
};

// Phase-accumulating oscillator with polyBLEP corrections, so saws and
// pulses stay free of audible aliasing up to the top of the lead's range.
class Oscillator {
public:
    explicit Oscillator(double phase = 0.0) : phase(phase) {}
    double saw(double frequency);
    double pulse(double frequency, double width);
    double sine(double frequency);
    double triangle(double frequency);
    double phase;

private:
    double advance(double frequency);
};

// Topology-preserving state-variable filter: stays stable while its cutoff
// sweeps every sample.
class Svf {
public:
    struct Outputs {
        double low;
        double band;
        double high;
    };
    Outputs process(double input, double cutoff, double resonance);

private:
    double ic1 = 0.0;
    double ic2 = 0.0;
    // The last cutoff and its prewarped tangent.
    double tangentOf = -1.0;
    double tangent = 0.0;
};

// The resonance, 1 - sqrt(1/2), at which the filter is a Butterworth one.
constexpr double butterworthResonance = 0.29289321881345248;

class OnePoleHighpass {
public:
    explicit OnePoleHighpass(double cutoff);
    double process(double input);

private:
    double coefficient;
    double previousInput = 0.0;
    double previousOutput = 0.0;
};

// A stereo room: parallel damped combs into series allpasses per side, the
// right side's delays slightly longer for width. Its input is high-passed at
// lowCut, so the room never widens the low end, which stays mono.
class Reverb {
public:
    Reverb(double roomSize, double damping, double lowCut);
    void process(const StereoBuffer& input, StereoBuffer& output, double gain);

private:
    struct Comb {
        std::vector<float> line;
        size_t position = 0;
        double store = 0.0;
    };
    struct Allpass {
        std::vector<float> line;
        size_t position = 0;
    };
    double runSide(std::vector<Comb>& combs, std::vector<Allpass>& allpasses, double input);

    double feedback;
    double damping;
    double lowCut;
    Svf inputFilter;
    std::vector<Comb> leftCombs;
    std::vector<Comb> rightCombs;
    std::vector<Allpass> leftAllpasses;
    std::vector<Allpass> rightAllpasses;
};

// Echoes that alternate between the sides, each darker than the last.
void pingPongDelay(const StereoBuffer& input, StereoBuffer& output, double delaySeconds, double feedback,
                   double gain);

// The largest magnitude of the signal between samples, estimated on a 4x
// oversampled reconstruction.
std::vector<float> interSamplePeaks(const std::vector<float>& channel);

// Keeps the true peak of both channels under ceilingDb with a look-ahead gain
// that never exceeds what the loudest nearby peak allows.
void limitTruePeak(StereoBuffer& buffer, double ceilingDb, double releaseSeconds);

} // namespace soundtrack

#endif
