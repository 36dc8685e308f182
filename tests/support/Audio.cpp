#include "tests/support/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>

namespace {

const double pi = 3.14159265358979323846;

} // namespace

StereoAudio decodeWithMixer(const std::string& path, std::string& error) {
    StereoAudio audio;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return audio;
    }
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) != 0) {
        error = Mix_GetError();
        SDL_Quit();
        return audio;
    }
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) {
        error = Mix_GetError();
    } else {
        const Sint16* samples = reinterpret_cast<const Sint16*>(chunk->abuf);
        size_t frames = chunk->alen / 4;
        audio.sampleRate = 44100;
        audio.left.resize(frames);
        audio.right.resize(frames);
        for (size_t i = 0; i < frames; ++i) {
            audio.left[i] = samples[2 * i] / 32768.0f;
            audio.right[i] = samples[2 * i + 1] / 32768.0f;
        }
        Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
    return audio;
}

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0;
    double z2 = 0.0;
    double process(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two stages of the K-weighting filter, from their analogue prototypes,
// so any sample rate gets the right curve.
Biquad shelvingStage(double rate) {
    const double f0 = 1681.974450955533;
    const double gainDb = 3.999843853973347;
    const double q = 0.7071752369554196;
    double k = std::tan(pi * f0 / rate);
    double vh = std::pow(10.0, gainDb / 20.0);
    double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad highpassStage(double rate) {
    const double f0 = 38.13547087602444;
    const double q = 0.5003270373238773;
    double k = std::tan(pi * f0 / rate);
    double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

std::vector<double> kWeightedSquares(const std::vector<float>& channel, double rate) {
    Biquad shelf = shelvingStage(rate);
    Biquad highpass = highpassStage(rate);
    std::vector<double> squares(channel.size());
    for (size_t i = 0; i < channel.size(); ++i) {
        double y = highpass.process(shelf.process(channel[i]));
        squares[i] = y * y;
    }
    return squares;
}

double loudnessOf(double meanSquare) {
    return -0.691 + 10.0 * std::log10(meanSquare);
}

} // namespace

double integratedLoudness(const StereoAudio& audio) {
    std::vector<double> left = kWeightedSquares(audio.left, audio.sampleRate);
    std::vector<double> right = kWeightedSquares(audio.right, audio.sampleRate);
    size_t block = size_t(std::lround(0.4 * audio.sampleRate));
    size_t step = block / 4;
    std::vector<double> blocks;
    for (size_t from = 0; from + block <= left.size(); from += step) {
        double sum = 0.0;
        for (size_t i = from; i < from + block; ++i)
            sum += left[i] + right[i];
        blocks.push_back(sum / block);
    }
    auto gatedMean = [&](double gate) {
        double sum = 0.0;
        size_t count = 0;
        for (double z : blocks)
            if (loudnessOf(z) > gate) {
                sum += z;
                ++count;
            }
        return count ? sum / count : 0.0;
    };
    double absolute = gatedMean(-70.0);
    if (absolute <= 0.0)
        return -HUGE_VAL;
    return loudnessOf(gatedMean(loudnessOf(absolute) - 10.0));
}

double truePeakDb(const std::vector<float>& channel) {
    const int factor = 4;
    const int half = 16; // taps either side of the interpolated point
    std::vector<double> kernel[factor];
    for (int phase = 1; phase < factor; ++phase)
        for (int k = -half + 1; k <= half; ++k) {
            double x = double(phase) / factor - k;
            double sinc = std::sin(pi * x) / (pi * x);
            double window = 0.5 + 0.5 * std::cos(pi * x / half); // Hann over +-half
            kernel[phase].push_back(sinc * window);
        }
    double peak = 0.0;
    long count = long(channel.size());
    for (long n = 0; n < count; ++n) {
        peak = std::max(peak, double(std::fabs(channel[n])));
        for (int phase = 1; phase < factor; ++phase) {
            double value = 0.0;
            for (int k = -half + 1; k <= half; ++k) {
                long index = n + k;
                if (index >= 0 && index < count)
                    value += channel[index] * kernel[phase][k + half - 1];
            }
            peak = std::max(peak, std::fabs(value));
        }
    }
    return 20.0 * std::log10(std::max(peak, 1e-12));
}

double longestQuietStretch(const StereoAudio& audio, double from, double to, double thresholdDb) {
    size_t window = size_t(audio.sampleRate / 100);
    size_t first = size_t(std::max(0.0, from) * audio.sampleRate);
    size_t last = std::min(audio.left.size(), size_t(to * audio.sampleRate));
    double threshold = std::pow(10.0, thresholdDb / 10.0);
    double longest = 0.0;
    double current = 0.0;
    for (size_t start = first; start + window <= last; start += window) {
        double sum = 0.0;
        for (size_t i = start; i < start + window; ++i)
            sum += 0.5 * (double(audio.left[i]) * audio.left[i] + double(audio.right[i]) * audio.right[i]);
        current = sum / window < threshold ? current + double(window) / audio.sampleRate : 0.0;
        longest = std::max(longest, current);
    }
    return longest;
}

namespace {

void fft(std::vector<std::complex<double>>& data) {
    size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        std::complex<double> step = std::polar(1.0, -2.0 * pi / double(length));
        for (size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                std::complex<double> even = data[i + k];
                std::complex<double> odd = data[i + k + length / 2] * w;
                data[i + k] = even + odd;
                data[i + k + length / 2] = even - odd;
                w *= step;
            }
        }
    }
}

const size_t frameSize = 512;
const size_t hop = 64;
const size_t lag = 2;

std::vector<double> spectralFlux(const StereoAudio& audio) {
    std::vector<double> window(frameSize);
    for (size_t i = 0; i < frameSize; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2.0 * pi * double(i) / frameSize);
    const double compression = 100.0;
    const size_t bins = frameSize / 2 + 1;
    size_t frames = audio.left.size() / hop;
    std::vector<double> flux(frames, 0.0);
    std::vector<std::vector<double>> magnitudes(frames, std::vector<double>(bins));
    std::vector<std::complex<double>> spectrum(frameSize);
    for (size_t f = 0; f < frames; ++f) {
        // Frame f is centred on sample f * hop; before the start is silence.
        long first = long(f * hop) - long(frameSize / 2);
        for (size_t i = 0; i < frameSize; ++i) {
            long index = first + long(i);
            double sample = 0.0;
            if (index >= 0 && size_t(index) < audio.left.size())
                sample = 0.5 * (double(audio.left[index]) + audio.right[index]);
            spectrum[i] = sample * window[i];
        }
        fft(spectrum);
        for (size_t bin = 0; bin < bins; ++bin)
            magnitudes[f][bin] = std::log1p(compression * std::abs(spectrum[bin]));
    }
    // Each bin is compared with the loudest of its neighbours a few frames
    // back, so the ripple of noise and vibrato does not read as onsets.
    const std::vector<double> silence(bins, 0.0);
    for (size_t f = 0; f < frames; ++f) {
        const std::vector<double>& before = f >= lag ? magnitudes[f - lag] : silence;
        double sum = 0.0;
        for (size_t bin = 0; bin < bins; ++bin) {
            double reference = before[bin];
            if (bin > 0)
                reference = std::max(reference, before[bin - 1]);
            if (bin + 1 < bins)
                reference = std::max(reference, before[bin + 1]);
            sum += std::max(0.0, magnitudes[f][bin] - reference);
        }
        flux[f] = sum;
    }
    return flux;
}

} // namespace

std::vector<Onset> detectOnsets(const StereoAudio& audio) {
    std::vector<double> flux = spectralFlux(audio);
    double frameSeconds = double(hop) / audio.sampleRate;
    long peakReach = long(std::lround(0.03 / frameSeconds));
    long medianReach = long(std::lround(0.15 / frameSeconds));
    std::vector<Onset> onsets;
    long count = long(flux.size());
    double mean = 0.0;
    for (double value : flux)
        mean += value / double(count);
    for (long f = 0; f < count; ++f) {
        bool isPeak = true;
        for (long k = std::max(0L, f - peakReach); k <= std::min(count - 1, f + peakReach) && isPeak; ++k)
            if (flux[k] > flux[f] || (flux[k] == flux[f] && k < f))
                isPeak = false;
        if (!isPeak)
            continue;
        std::vector<double> around(flux.begin() + std::max(0L, f - medianReach),
                                   flux.begin() + std::min(count, f + medianReach + 1));
        std::nth_element(around.begin(), around.begin() + around.size() / 2, around.end());
        double median = around[around.size() / 2];
        if (flux[f] > 1.5 * median + mean)
            onsets.push_back({f * frameSeconds, flux[f]});
    }
    return onsets;
}

std::vector<float> monoSum(const StereoAudio& audio) {
    std::vector<float> mono(audio.left.size());
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (audio.left[i] + audio.right[i]);
    return mono;
}

std::vector<float> sideSignal(const StereoAudio& audio) {
    std::vector<float> side(audio.left.size());
    for (size_t i = 0; i < side.size(); ++i)
        side[i] = 0.5f * (audio.left[i] - audio.right[i]);
    return side;
}

namespace {

// One section of a Butterworth cascade (bilinear transform, prewarped).
Biquad butterworthSection(double rate, double cutoff, double q, bool highpass) {
    double w = 2.0 * pi * cutoff / rate;
    double alpha = std::sin(w) / (2.0 * q);
    double c = std::cos(w);
    double a0 = 1.0 + alpha;
    double b0 = highpass ? (1.0 + c) / 2.0 : (1.0 - c) / 2.0;
    double b1 = highpass ? -(1.0 + c) : 1.0 - c;
    return {b0 / a0, b1 / a0, b0 / a0, -2.0 * c / a0, (1.0 - alpha) / a0};
}

void butterworth(std::vector<double>& signal, double rate, double cutoff, bool highpass) {
    const int order = 8;
    for (int k = 0; k < order / 2; ++k) {
        double q = 1.0 / (2.0 * std::cos(pi * (2 * k + 1) / (2.0 * order)));
        Biquad section = butterworthSection(rate, cutoff, q, highpass);
        for (double& sample : signal)
            sample = section.process(sample);
    }
}

double meanSquare(const std::vector<float>& signal, long first, long last) {
    double sum = 0.0;
    for (long i = std::max(0L, first); i < std::min(long(signal.size()), last); ++i)
        sum += double(signal[i]) * signal[i];
    return last > first ? sum / double(last - first) : 0.0;
}

double toDb(double energy) {
    return 10.0 * std::log10(std::max(energy, 1e-20));
}

// Running sums of squares, so any window's energy is one subtraction.
std::vector<double> squareSums(const std::vector<float>& signal) {
    std::vector<double> sums(signal.size() + 1, 0.0);
    for (size_t i = 0; i < signal.size(); ++i)
        sums[i + 1] = sums[i] + double(signal[i]) * signal[i];
    return sums;
}

double windowDb(const std::vector<double>& sums, size_t first, size_t length) {
    return toDb((sums[first + length] - sums[first]) / double(length));
}

} // namespace

std::vector<float> bandLimited(const std::vector<float>& signal, int rate, double lowHz, double highHz) {
    std::vector<double> work(signal.begin(), signal.end());
    if (lowHz > 0.0)
        butterworth(work, rate, lowHz, true);
    if (highHz < 0.5 * rate)
        butterworth(work, rate, highHz, false);
    return std::vector<float>(work.begin(), work.end());
}

double energyDb(const std::vector<float>& signal, int rate, double from, double to) {
    return toDb(meanSquare(signal, std::lround(from * rate), std::lround(to * rate)));
}

EnergyExtremes energyExtremes(const std::vector<float>& signal, int rate, double from, double to, double window) {
    std::vector<double> sums = squareSums(signal);
    size_t length = size_t(std::lround(window * rate));
    size_t step = size_t(rate / 100);
    size_t last = std::min(signal.size(), size_t(std::lround(to * rate)));
    EnergyExtremes extremes{HUGE_VAL, 0.0, -HUGE_VAL, 0.0};
    for (size_t first = size_t(std::lround(std::max(0.0, from) * rate)); first + length <= last; first += step) {
        double db = windowDb(sums, first, length);
        double at = double(first) / rate;
        if (db < extremes.quietestDb)
            extremes.quietestDb = db, extremes.quietestAt = at;
        if (db > extremes.loudestDb)
            extremes.loudestDb = db, extremes.loudestAt = at;
    }
    return extremes;
}

Fall largestFall(const std::vector<float>& signal, int rate, double from, double to, double within) {
    std::vector<double> sums = squareSums(signal);
    size_t window = size_t(rate / 100);
    size_t first = size_t(std::lround(std::max(0.0, from) * rate));
    size_t last = std::min(signal.size(), size_t(std::lround(to * rate)));
    std::vector<double> levels;
    for (size_t start = first; start + window <= last; start += window)
        levels.push_back(windowDb(sums, start, window));
    size_t reach = size_t(std::lround(within * 100.0));
    Fall fall{0.0, from};
    for (size_t i = 0; i < levels.size(); ++i)
        for (size_t j = i + 1; j < levels.size() && j <= i + reach; ++j)
            if (levels[i] - levels[j] > fall.db)
                fall = {levels[i] - levels[j], from + double(i) / 100.0};
    return fall;
}

double loudnessRange(const StereoAudio& audio) {
    std::vector<double> left = kWeightedSquares(audio.left, audio.sampleRate);
    std::vector<double> right = kWeightedSquares(audio.right, audio.sampleRate);
    size_t block = size_t(3 * audio.sampleRate);
    size_t step = size_t(audio.sampleRate / 10);
    std::vector<double> sums(left.size() + 1, 0.0);
    for (size_t i = 0; i < left.size(); ++i)
        sums[i + 1] = sums[i] + left[i] + right[i];
    std::vector<double> blocks;
    for (size_t from = 0; from + block <= left.size(); from += step) {
        double z = (sums[from + block] - sums[from]) / double(block);
        if (loudnessOf(z) > -70.0)
            blocks.push_back(z);
    }
    if (blocks.empty())
        return 0.0;
    double mean = 0.0;
    for (double z : blocks)
        mean += z / double(blocks.size());
    std::vector<double> levels;
    for (double z : blocks)
        if (loudnessOf(z) > loudnessOf(mean) - 20.0)
            levels.push_back(loudnessOf(z));
    std::sort(levels.begin(), levels.end());
    auto percentile = [&](double p) { return levels[size_t(std::lround(p * double(levels.size() - 1)))]; };
    return percentile(0.95) - percentile(0.10);
}

Spectrum::Spectrum(const std::vector<float>& signal, int rate, double from, double length) {
    size_t count = size_t(std::lround(length * rate));
    size_t size = 1;
    while (size < 4 * count)
        size <<= 1;
    std::vector<std::complex<double>> data(size, 0.0);
    long first = std::lround(from * rate);
    for (size_t i = 0; i < count; ++i) {
        long index = first + long(i);
        double sample = index >= 0 && size_t(index) < signal.size() ? signal[index] : 0.0;
        data[i] = sample * (0.5 - 0.5 * std::cos(2.0 * pi * double(i) / double(count)));
    }
    fft(data);
    magnitude.resize(size / 2 + 1);
    for (size_t bin = 0; bin < magnitude.size(); ++bin)
        magnitude[bin] = std::abs(data[bin]);
    binHz = double(rate) / double(size);
    // A sine of amplitude A peaks at A * count / 4 under a Hann window.
    scale = 4.0 / double(count);
}

double Spectrum::toneDb(double frequency, double cents) const {
    double reach = std::pow(2.0, cents / 1200.0);
    size_t low = size_t(std::max(0.0, std::floor(frequency / reach / binHz)));
    size_t high = std::min(magnitude.size() - 1, size_t(std::ceil(frequency * reach / binHz)));
    double peak = 0.0;
    for (size_t bin = low; bin <= high; ++bin)
        peak = std::max(peak, magnitude[bin]);
    double amplitude = peak * scale;
    return toDb(amplitude * amplitude / 2.0);
}
