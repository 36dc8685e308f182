#include "music/Dsp.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace soundtrack {

StereoBuffer::StereoBuffer(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

void StereoBuffer::add(size_t frame, double l, double r) {
    if (frame >= left.size())
        return;
    left[frame] += float(l);
    right[frame] += float(r);
}

void StereoBuffer::mix(const StereoBuffer& other, double gain) {
    size_t count = std::min(frames(), other.frames());
    for (size_t i = 0; i < count; ++i) {
        left[i] += float(other.left[i] * gain);
        right[i] += float(other.right[i] * gain);
    }
}

size_t frameAt(double seconds) {
    return seconds <= 0.0 ? 0 : size_t(std::lround(seconds * sampleRate));
}

double midiFrequency(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

double decibels(double gain) {
    return 20.0 * std::log10(gain);
}

double gainOf(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

void panGains(double pan, double& left, double& right) {
    double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * pi / 4.0;
    left = std::cos(angle);
    right = std::sin(angle);
}

Noise::Noise(uint64_t seed) : state(seed ? seed : 0x9E3779B97F4A7C15ull) {}

double Noise::next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    uint64_t value = state * 0x2545F4914F6CDD1Dull;
    return double(value >> 11) / double(1ull << 52) - 1.0;
}

namespace {

// The residual of a band-limited step at phase t, for a phase increment dt.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double Oscillator::advance(double frequency) {
    double increment = frequency / sampleRate;
    phase += increment;
    if (phase >= 1.0)
        phase -= std::floor(phase);
    return increment;
}

double Oscillator::saw(double frequency) {
    double increment = frequency / sampleRate;
    double value = 2.0 * phase - 1.0 - polyBlep(phase, increment);
    advance(frequency);
    return value;
}

double Oscillator::pulse(double frequency, double width) {
    double increment = frequency / sampleRate;
    double value = phase < width ? 1.0 : -1.0;
    value += polyBlep(phase, increment);
    double shifted = phase + 1.0 - width;
    value -= polyBlep(shifted - std::floor(shifted), increment);
    advance(frequency);
    return value;
}

double Oscillator::sine(double frequency) {
    double value = std::sin(2.0 * pi * phase);
    advance(frequency);
    return value;
}

double Oscillator::triangle(double frequency) {
    double value = 4.0 * std::fabs(phase - 0.5) - 1.0;
    advance(frequency);
    return value;
}

Svf::Outputs Svf::process(double input, double cutoff, double resonance) {
    // Most filters hold their cutoff for many samples, and the tangent is
    // most of the filter's time.
    double clamped = std::clamp(cutoff, 20.0, 0.45 * sampleRate);
    if (clamped != tangentOf) {
        tangentOf = clamped;
        tangent = std::tan(pi * clamped / sampleRate);
    }
    double g = tangent;
    double k = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.95);
    double a1 = 1.0 / (1.0 + g * (g + k));
    double a2 = g * a1;
    double a3 = g * a2;
    double v3 = input - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0 * v1 - ic1;
    ic2 = 2.0 * v2 - ic2;
    return {v2, v1, input - k * v1 - v2};
}

OnePoleHighpass::OnePoleHighpass(double cutoff) {
    double rc = 1.0 / (2.0 * pi * cutoff);
    coefficient = rc / (rc + 1.0 / sampleRate);
}

double OnePoleHighpass::process(double input) {
    previousOutput = coefficient * (previousOutput + input - previousInput);
    previousInput = input;
    return previousOutput;
}

namespace {

const int combTunings[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int allpassTunings[] = {556, 441, 341, 225};
const int stereoSpread = 23;
const double reverbInputGain = 0.015;

} // namespace

Reverb::Reverb(double roomSize, double damping, double lowCut)
    : feedback(roomSize * 0.28 + 0.7), damping(damping * 0.4), lowCut(lowCut) {
    for (int tuning : combTunings) {
        leftCombs.push_back({std::vector<float>(tuning, 0.0f)});
        rightCombs.push_back({std::vector<float>(tuning + stereoSpread, 0.0f)});
    }
    for (int tuning : allpassTunings) {
        leftAllpasses.push_back({std::vector<float>(tuning, 0.0f)});
        rightAllpasses.push_back({std::vector<float>(tuning + stereoSpread, 0.0f)});
    }
}

double Reverb::runSide(std::vector<Comb>& combs, std::vector<Allpass>& allpasses, double input) {
    double sum = 0.0;
    for (Comb& comb : combs) {
        double out = comb.line[comb.position];
        comb.store = out * (1.0 - damping) + comb.store * damping;
        comb.line[comb.position] = float(input + comb.store * feedback);
        comb.position = (comb.position + 1) % comb.line.size();
        sum += out;
    }
    for (Allpass& allpass : allpasses) {
        double delayed = allpass.line[allpass.position];
        allpass.line[allpass.position] = float(sum + delayed * 0.5);
        allpass.position = (allpass.position + 1) % allpass.line.size();
        sum = delayed - sum;
    }
    return sum;
}

void Reverb::process(const StereoBuffer& input, StereoBuffer& output, double gain) {
    size_t count = std::min(input.frames(), output.frames());
    for (size_t i = 0; i < count; ++i) {
        double sum = double(input.left[i]) + input.right[i];
        double in = inputFilter.process(sum, lowCut, butterworthResonance).high * reverbInputGain;
        output.add(i, runSide(leftCombs, leftAllpasses, in) * gain, runSide(rightCombs, rightAllpasses, in) * gain);
    }
}

void pingPongDelay(const StereoBuffer& input, StereoBuffer& output, double delaySeconds, double feedback,
                   double gain) {
    size_t length = std::max<size_t>(1, frameAt(delaySeconds));
    std::vector<double> leftLine(length, 0.0);
    std::vector<double> rightLine(length, 0.0);
    double leftTone = 0.0;
    double rightTone = 0.0;
    const double darkening = 0.35;
    size_t count = std::min(input.frames(), output.frames());
    for (size_t i = 0; i < count; ++i) {
        size_t slot = i % length;
        double fromLeft = leftLine[slot];
        double fromRight = rightLine[slot];
        leftTone += (fromRight * feedback - leftTone) * (1.0 - darkening);
        rightTone += (fromLeft - rightTone) * (1.0 - darkening);
        leftLine[slot] = 0.5 * (double(input.left[i]) + input.right[i]) + leftTone;
        rightLine[slot] = rightTone;
        output.add(i, fromLeft * gain, fromRight * gain);
    }
}

namespace {

const int interpolationTaps = 12;
const int oversampling = 4;

double blackmanSinc(double x) {
    if (std::fabs(x) >= interpolationTaps)
        return 0.0;
    double sinc = x == 0.0 ? 1.0 : std::sin(pi * x) / (pi * x);
    double w = 0.5 + 0.5 * x / interpolationTaps;
    double window = 0.42 - 0.5 * std::cos(2.0 * pi * w) + 0.08 * std::cos(4.0 * pi * w);
    return sinc * window;
}

} // namespace

std::vector<float> interSamplePeaks(const std::vector<float>& channel) {
    double kernel[oversampling][2 * interpolationTaps];
    for (int p = 1; p < oversampling; ++p)
        for (int k = -interpolationTaps + 1; k <= interpolationTaps; ++k)
            kernel[p][k + interpolationTaps - 1] = blackmanSinc(double(p) / oversampling - k);
    long count = long(channel.size());
    std::vector<float> peaks(channel.size());
    for (long n = 0; n < count; ++n) {
        double peak = std::fabs(channel[n]);
        for (int p = 1; p < oversampling; ++p) {
            double value = 0.0;
            for (int k = -interpolationTaps + 1; k <= interpolationTaps; ++k) {
                long index = n + k;
                if (index >= 0 && index < count)
                    value += channel[index] * kernel[p][k + interpolationTaps - 1];
            }
            peak = std::max(peak, std::fabs(value));
        }
        peaks[n] = float(peak);
    }
    return peaks;
}

void limitTruePeak(StereoBuffer& buffer, double ceilingDb, double releaseSeconds) {
    const double ceiling = gainOf(ceilingDb);
    const size_t lookahead = frameAt(0.005);
    std::vector<float> leftPeaks = interSamplePeaks(buffer.left);
    std::vector<float> rightPeaks = interSamplePeaks(buffer.right);
    size_t count = buffer.frames();

    std::vector<double> required(count);
    for (size_t i = 0; i < count; ++i) {
        double peak = std::max(leftPeaks[i], rightPeaks[i]);
        required[i] = peak > ceiling ? ceiling / peak : 1.0;
    }

    // The smallest gain needed anywhere in the next look-ahead frames ...
    std::vector<double> ahead(count);
    std::deque<size_t> window;
    for (size_t i = count; i-- > 0;) {
        while (!window.empty() && required[window.back()] >= required[i])
            window.pop_back();
        window.push_back(i);
        while (window.front() >= i + lookahead)
            window.pop_front();
        ahead[i] = required[window.front()];
    }
    // ... averaged over as many frames, so the gain glides down in time and
    // still never rises above what any sample within reach allows.
    double release = std::exp(-1.0 / (releaseSeconds * sampleRate));
    double sum = 0.0;
    double gain = 1.0;
    for (size_t i = 0; i < count; ++i) {
        sum += ahead[i];
        if (i >= lookahead)
            sum -= ahead[i - lookahead];
        double smooth = i + 1 >= lookahead ? sum / lookahead : std::min(sum / double(i + 1), ahead[i]);
        gain = std::min(smooth, 1.0 - (1.0 - gain) * release);
        buffer.left[i] = float(buffer.left[i] * gain);
        buffer.right[i] = float(buffer.right[i] * gain);
    }
}

} // namespace soundtrack
