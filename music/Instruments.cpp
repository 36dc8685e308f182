#include "music/Instruments.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

namespace {

// Every voice gets its own noise, fixed by where it starts and what it is.
Noise noiseFor(double time, uint64_t voice) {
    return Noise((uint64_t(frameAt(time)) + 1) * 0x100000001B3ull + voice * 0x9E3779B97F4A7C15ull);
}

double attackRamp(double t, double attack) {
    return t < attack ? t / attack : 1.0;
}

// 1 while the note is held, then a linear release to 0.
double releaseRamp(double t, double held, double release) {
    if (t <= held)
        return 1.0;
    return std::max(0.0, 1.0 - (t - held) / release);
}

double cents(double amount) {
    return std::pow(2.0, amount / 1200.0);
}

// Twelve decibels an octave under the cutoff: what keeps noise out of the
// range where the chords sound.
double lowCut(Svf& filter, double input, double cutoff) {
    return filter.process(input, cutoff, butterworthResonance).high;
}

} // namespace

void kick(StereoBuffer& out, double time, double velocity) {
    // Tuned and shortened so that it is gone by the time the bass answers it
    // two sixteenths later, and the two never beat against each other.
    const double length = 0.24;
    const double held = 0.16;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Oscillator body;
    Noise noise = noiseFor(time, 1);
    OnePoleHighpass clickFilter(2000.0);
    const double drive = 1.3;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double frequency = 55.0 + 160.0 * std::exp(-t / 0.025);
        double envelope = attackRamp(t, 0.001) * std::exp(-t / 0.12) * releaseRamp(t, held, length - held);
        double click = clickFilter.process(noise.next()) * std::exp(-t / 0.002) * 0.35;
        double value = std::tanh(drive * (body.sine(frequency) * envelope + click)) / std::tanh(drive);
        value *= velocity;
        out.add(start + i, value, value);
    }
}

void snare(StereoBuffer& out, double time, double velocity) {
    const double length = 0.5;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Oscillator low;
    Oscillator high;
    Noise noise = noiseFor(time, 2);
    Svf wires;
    Svf wiresFloor;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double body = low.sine(185.0 + 70.0 * std::exp(-t / 0.012)) * std::exp(-t / 0.06) * 0.55 +
                      high.sine(277.0) * std::exp(-t / 0.04) * 0.18;
        double wire = lowCut(wiresFloor, wires.process(noise.next(), 2200.0, 0.1).high, 2200.0);
        double rattle = wire * std::exp(-t / 0.12) * 0.55;
        double value = (body + rattle) * attackRamp(t, 0.0008) * velocity;
        out.add(start + i, value, value);
    }
}

void clap(StereoBuffer& out, double time, double velocity) {
    const double length = 0.5;
    const double bursts[] = {0.0, 0.009, 0.018};
    const double tailStart = 0.026;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Noise leftNoise = noiseFor(time, 3);
    Noise rightNoise = noiseFor(time, 4);
    Svf leftFilter;
    Svf rightFilter;
    // The band-pass alone would spread the clap's tail under the chords.
    const double floor = 800.0;
    Svf leftCut, leftCutAgain;
    Svf rightCut, rightCutAgain;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double envelope = 0.0;
        for (double burst : bursts)
            if (t >= burst && t < tailStart)
                envelope = std::max(envelope, std::exp(-(t - burst) / 0.004));
        if (t >= tailStart)
            envelope = 0.8 * std::exp(-(t - tailStart) / 0.1);
        envelope *= velocity * 1.4;
        double l = leftFilter.process(leftNoise.next(), 1150.0, 0.45).band;
        double r = rightFilter.process(rightNoise.next(), 1250.0, 0.45).band;
        l = lowCut(leftCutAgain, lowCut(leftCut, l, floor), floor);
        r = lowCut(rightCutAgain, lowCut(rightCut, r, floor), floor);
        out.add(start + i, l * envelope, r * envelope);
    }
}

namespace {

void hat(StereoBuffer& out, double time, double velocity, double pan, double decay, uint64_t voice) {
    double length = decay * 5.0;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Noise noise = noiseFor(time, voice);
    Svf air;
    Svf shimmer;
    Svf top;
    // The shimmer's band-pass skirts reach far down: a hat has no business
    // among the chords.
    Svf floor;
    double left = 0.0;
    double right = 0.0;
    panGains(pan, left, right);
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double n = noise.next();
        double bright = air.process(n, 6500.0, 0.2).high * 0.7 + shimmer.process(n, 9000.0, 0.5).band * 0.5;
        double value = lowCut(floor, top.process(bright, 12000.0, 0.0).low, 3000.0);
        value *= attackRamp(t, 0.0005) * std::exp(-t / decay) * velocity;
        out.add(start + i, value * left, value * right);
    }
}

} // namespace

void closedHat(StereoBuffer& out, double time, double velocity, double pan) {
    hat(out, time, velocity, pan, 0.07, 5);
}

void openHat(StereoBuffer& out, double time, double velocity, double pan) {
    hat(out, time, velocity, pan, 0.18, 6);
}

void ride(StereoBuffer& out, double time, double velocity, double pan) {
    hat(out, time, velocity, pan, 0.5, 15);
}

void crash(StereoBuffer& out, double time, double velocity) {
    const double length = 3.5;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Noise leftNoise = noiseFor(time, 7);
    Noise rightNoise = noiseFor(time, 8);
    Svf leftAir, rightAir, leftBody, rightBody, leftTop, rightTop;
    // Like the hats', the body's skirts are kept out of the chords' range.
    Svf leftFloor, rightFloor;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double envelope = attackRamp(t, 0.001) * (0.6 * std::exp(-t / 0.08) + 0.4 * std::exp(-t / 1.0)) *
                          releaseRamp(t, length - 0.3, 0.3) * velocity;
        double l = leftNoise.next();
        double r = rightNoise.next();
        double leftValue = leftAir.process(l, 4200.0, 0.1).high * 0.6 + leftBody.process(l, 6500.0, 0.4).band * 0.5;
        double rightValue =
            rightAir.process(r, 4200.0, 0.1).high * 0.6 + rightBody.process(r, 6500.0, 0.4).band * 0.5;
        leftValue = lowCut(leftFloor, leftTop.process(leftValue, 13000.0, 0.0).low, 2000.0);
        rightValue = lowCut(rightFloor, rightTop.process(rightValue, 13000.0, 0.0).low, 2000.0);
        out.add(start + i, leftValue * envelope, rightValue * envelope);
    }
}

void tomDrop(StereoBuffer& out, double time, double velocity) {
    const double length = 0.9;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Oscillator body;
    Noise noise = noiseFor(time, 9);
    Svf skin;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double frequency = 55.0 + 200.0 * std::exp(-t / 0.1);
        double value = body.sine(frequency) * std::exp(-t / 0.3) +
                       skin.process(noise.next(), 900.0, 0.3).band * std::exp(-t / 0.03) * 0.5;
        value *= attackRamp(t, 0.001) * releaseRamp(t, length - 0.1, 0.1) * velocity;
        out.add(start + i, value, value);
    }
}

void impact(StereoBuffer& out, double time, double velocity) {
    const double length = 2.5;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    Oscillator boom;
    Noise leftNoise = noiseFor(time, 10);
    Noise rightNoise = noiseFor(time, 11);
    Svf leftFilter, rightFilter;
    // The two sides' noise differs, so it stays out of the mono low end.
    OnePoleHighpass leftCut(200.0), rightCut(200.0);
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double fade = attackRamp(t, 0.001) * releaseRamp(t, length - 0.4, 0.4) * velocity;
        // The boom is over before the bass answers the hit.
        double sub = boom.sine(40.0 + 90.0 * std::exp(-t / 0.06)) * std::exp(-t / 0.07) * 0.5;
        double cutoff = 250.0 + 9000.0 * std::exp(-t / 0.1);
        double burst = std::exp(-t / 0.22) * 0.7;
        double l = leftCut.process(leftFilter.process(leftNoise.next(), cutoff, 0.2).low) * burst;
        double r = rightCut.process(rightFilter.process(rightNoise.next(), cutoff, 0.2).low) * burst;
        out.add(start + i, (sub + l) * fade, (sub + r) * fade);
    }
}

void riser(StereoBuffer& out, double from, double peak, double velocity) {
    size_t start = frameAt(from);
    size_t count = frameAt(peak) - start;
    Noise leftNoise = noiseFor(from, 12);
    Noise rightNoise = noiseFor(from, 13);
    Svf leftFilter, rightFilter;
    const double lowest = 300.0;
    const double highest = 9000.0;
    for (size_t i = 0; i < count; ++i) {
        double u = double(i) / count;
        double cutoff = lowest * std::pow(highest / lowest, u);
        // It stops a breath before the hit, without a click.
        double cut = std::min(1.0, double(count - i) / frameAt(0.005));
        double envelope = u * u * cut * velocity;
        out.add(start + i, leftFilter.process(leftNoise.next(), cutoff, 0.55).band * envelope,
                rightFilter.process(rightNoise.next(), cutoff * 1.03, 0.55).band * envelope);
    }
}

void bassNote(StereoBuffer& out, double time, double duration, int note, double velocity) {
    const double release = 0.03;
    size_t start = frameAt(time);
    size_t count = frameAt(duration + release);
    double frequency = midiFrequency(note);
    Oscillator saw;
    Oscillator sub;
    Svf filter;
    // The saturation's upper harmonics are filtered again: the bass's 7th and
    // 9th would otherwise sound the notes of the chord it has just left.
    Svf smoothing;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double cutoff = 140.0 + 900.0 * std::exp(-t / 0.05);
        double tone = filter.process(saw.saw(frequency) * 0.6, cutoff, 0.3).low + sub.sine(frequency) * 0.7;
        double saturated = smoothing.process(std::tanh(1.4 * tone), 2.0 * cutoff, butterworthResonance).low;
        double value = saturated * attackRamp(t, 0.003) * releaseRamp(t, duration, release) * velocity;
        out.add(start + i, value, value);
    }
}

void padChord(StereoBuffer& out, double time, double duration, const std::vector<int>& notes, double velocity,
              double attack, double release) {
    const double detunes[] = {-14.0, -6.0, 0.0, 6.0, 14.0};
    const double pans[] = {-0.7, 0.35, 0.0, -0.35, 0.7};
    const int voices = 5;
    size_t start = frameAt(time);
    size_t count = frameAt(duration + release);
    Noise phases = noiseFor(time, 14);
    std::vector<Oscillator> oscillators;
    std::vector<double> frequencies;
    for (int note : notes)
        for (double detune : detunes) {
            oscillators.emplace_back(0.5 + 0.5 * phases.next());
            frequencies.push_back(midiFrequency(note) * cents(detune));
        }
    double panLeft[voices], panRight[voices];
    for (int v = 0; v < voices; ++v)
        panGains(pans[v], panLeft[v], panRight[v]);
    Svf leftFilter, rightFilter;
    OnePoleHighpass leftCut(220.0), rightCut(220.0);
    double scale = velocity / (std::sqrt(double(oscillators.size())) * 1.5);
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double l = 0.0;
        double r = 0.0;
        for (size_t o = 0; o < oscillators.size(); ++o) {
            double value = oscillators[o].saw(frequencies[o]);
            l += value * panLeft[o % voices];
            r += value * panRight[o % voices];
        }
        double cutoff = 4200.0 + 1600.0 * std::sin(2.0 * pi * 0.2 * (time + t));
        double envelope = std::min(1.0, t / attack) * releaseRamp(t, duration, release) * scale;
        l = leftCut.process(leftFilter.process(l, cutoff, 0.15).low) * envelope;
        r = rightCut.process(rightFilter.process(r, cutoff, 0.15).low) * envelope;
        out.add(start + i, l, r);
    }
}

void pluck(StereoBuffer& out, double time, int note, double velocity, double pan) {
    // Short enough that a pluck is gone before the next chord speaks.
    const double length = 0.32;
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    double frequency = midiFrequency(note);
    Oscillator square;
    Oscillator saw(0.25);
    Svf filter;
    double left = 0.0;
    double right = 0.0;
    panGains(pan, left, right);
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double tone = square.pulse(frequency, 0.35) * 0.55 + saw.saw(frequency * cents(5.0)) * 0.45;
        double cutoff = 2500.0 + 7000.0 * std::exp(-t / 0.06);
        double value = filter.process(tone, cutoff, 0.3).low * attackRamp(t, 0.001) * std::exp(-t / 0.09) *
                       releaseRamp(t, length - 0.05, 0.05) * velocity;
        out.add(start + i, value * left, value * right);
    }
}

void leadNote(StereoBuffer& out, double time, double duration, int note, double velocity) {
    const double release = 0.08;
    size_t start = frameAt(time);
    size_t count = frameAt(duration + release);
    double frequency = midiFrequency(note);
    Oscillator first;
    Oscillator second(0.37);
    Oscillator octave(0.61);
    Oscillator vibrato;
    Svf filter;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double depth = std::clamp((t - 0.15) / 0.3, 0.0, 1.0) * 0.12;
        double bend = std::pow(2.0, depth * vibrato.sine(5.5) / 12.0);
        double f = frequency * bend;
        double tone = first.saw(f * cents(-6.0)) * 0.45 + second.saw(f * cents(6.0)) * 0.45 +
                      octave.pulse(f * 0.5, 0.5) * 0.25;
        double cutoff = 7000.0 + 4000.0 * std::exp(-t / 0.12);
        double envelope = attackRamp(t, 0.006) * (0.8 + 0.2 * std::exp(-t / 0.3)) *
                          releaseRamp(t, duration, release) * velocity;
        double value = filter.process(tone, cutoff, 0.2).low * envelope;
        out.add(start + i, value, value);
    }
}

void stab(StereoBuffer& out, double time, const std::vector<int>& notes, double velocity) {
    const double length = 0.45;
    const double detunes[] = {-10.0, 0.0, 10.0};
    const double pans[] = {-0.5, 0.0, 0.5};
    size_t start = frameAt(time);
    size_t count = frameAt(length);
    std::vector<Oscillator> oscillators;
    std::vector<double> frequencies;
    for (int note : notes)
        for (double detune : detunes) {
            oscillators.emplace_back(0.1 * double(oscillators.size() % 7));
            frequencies.push_back(midiFrequency(note) * cents(detune));
        }
    double panLeft[3], panRight[3];
    for (int v = 0; v < 3; ++v)
        panGains(pans[v], panLeft[v], panRight[v]);
    Svf leftFilter, rightFilter;
    double scale = velocity / std::sqrt(double(oscillators.size()));
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / sampleRate;
        double l = 0.0;
        double r = 0.0;
        for (size_t o = 0; o < oscillators.size(); ++o) {
            double value = oscillators[o].saw(frequencies[o]);
            l += value * panLeft[o % 3];
            r += value * panRight[o % 3];
        }
        double cutoff = 2200.0 + 8000.0 * std::exp(-t / 0.07);
        double envelope = attackRamp(t, 0.001) * std::exp(-t / 0.12) * releaseRamp(t, length - 0.1, 0.1) * scale;
        out.add(start + i, leftFilter.process(l, cutoff, 0.25).low * envelope,
                rightFilter.process(r, cutoff, 0.25).low * envelope);
    }
}

} // namespace soundtrack
