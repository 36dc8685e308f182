#include "tests/support/LookMeasures.h"

#include <algorithm>
#include <cmath>

#include <unistd.h>

#include "demo/Cues.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/common/PngFile.h"
#include "tools/shaders/LookSections.h"
#include "music/Score.h"

namespace {

const double pi = 3.14159265358979323846;

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : 0.5 * (values[mid - 1] + values[mid]);
}

double correlation(const std::vector<double>& x, const std::vector<double>& y) {
    double n = double(x.size());
    if (n < 2)
        return 0.0;
    double mx = 0, my = 0;
    for (size_t k = 0; k < x.size(); k++) {
        mx += x[k] / n;
        my += y[k] / n;
    }
    double sxy = 0, sxx = 0, syy = 0;
    for (size_t k = 0; k < x.size(); k++) {
        sxy += (x[k] - mx) * (y[k] - my);
        sxx += (x[k] - mx) * (x[k] - mx);
        syy += (y[k] - my) * (y[k] - my);
    }
    return sxx > 0 && syy > 0 ? sxy / std::sqrt(sxx * syy) : 0.0;
}

// The frames whose time lies in [from, to), with a little slack for frame times in float.
template <typename Use>
void eachFrame(const std::vector<FrameLook>& frames, double from, double to, Use use) {
    for (const FrameLook& frame : frames)
        if (frame.time >= from - 1e-6 && frame.time < to - 1e-6)
            use(frame);
}

double decibels(double power) {
    return 10.0 * std::log10(std::max(power, 1e-9));
}

// Mean power of both channels over [from, to) seconds.
double trackPower(const StereoAudio& track, double from, double to) {
    size_t first = size_t(std::max(from, 0.0) * track.sampleRate);
    size_t last = std::min(size_t(to * track.sampleRate), track.left.size());
    double power = 0;
    for (size_t k = first; k < last; k++)
        power += 0.5 * (double(track.left[k]) * track.left[k] + double(track.right[k]) * track.right[k]);
    return last > first ? power / double(last - first) : 0.0;
}

// The beats of the two drops, each at least half a second after a drop's start.
std::vector<double> dropBeats() {
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    double first = look::sections[4].start, second = look::sections[5].start, end = look::sections[6].start;
    std::vector<double> beats;
    for (double sixteenth = 0;; sixteenth += 4) {
        double time = tempo.time(sixteenth);
        if (time >= end - 0.5)
            break;
        if (time >= first + 0.5 && (time < second || time >= second + 0.5))
            beats.push_back(time);
    }
    return beats;
}

double lightAfterBeats(const std::vector<FrameLook>& frames, const std::vector<double>& beats, double from,
                       double to) {
    double sum = 0;
    int count = 0;
    for (double beat : beats)
        eachFrame(frames, beat + from, beat + to, [&](const FrameLook& frame) {
            sum += frame.light;
            count++;
        });
    return count ? sum / count : 0.0;
}

} // namespace

FrameLook measureFrame(const unsigned char* rgb, int pixels, double time) {
    FrameLook look;
    look.time = time;
    double lightSum = 0.0;
    for (int k = 0; k < pixels; k++) {
        double r = rgb[3 * k], g = rgb[3 * k + 1], b = rgb[3 * k + 2];
        double luma = (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255.0;
        lightSum += luma;
        if (luma <= litLuma)
            continue;
        double rg = r - g, yb = 0.5 * (r + g) - b;
        look.lit += 1;
        look.rg += rg;
        look.yb += yb;
        look.rg2 += rg * rg;
        look.yb2 += yb * yb;
    }
    look.light = pixels ? lightSum / pixels : 0.0;
    return look;
}

std::vector<FrameLook> measureCapture(const std::string& directory, double fps, std::string& error) {
    std::vector<FrameLook> frames;
    // A capture from the start begins with frame 0 or 1; the first one missing after that ends it.
    for (long long n = 0;; n++) {
        std::string path = directory + "/" + capture::numberedFrameName(n);
        if (n == 0 && access(path.c_str(), F_OK) != 0)
            continue;
        if (n > 1 && access(path.c_str(), F_OK) != 0)
            break;
        tools::RgbImage image;
        error = tools::readPng(path, image);
        if (!error.empty())
            return {};
        frames.push_back(measureFrame(image.rgb.data(), image.width * image.height, double(n) / fps));
    }
    return frames;
}

ColourFigures colourOver(const std::vector<FrameLook>& frames, double from, double to) {
    double lit = 0, rg = 0, yb = 0, rg2 = 0, yb2 = 0;
    int count = 0;
    eachFrame(frames, from, to, [&](const FrameLook& frame) {
        lit += frame.lit;
        rg += frame.rg;
        yb += frame.yb;
        rg2 += frame.rg2;
        yb2 += frame.yb2;
        count++;
    });
    ColourFigures figures;
    if (lit == 0)
        return figures;
    double mrg = rg / lit, myb = yb / lit;
    double varRg = std::max(rg2 / lit - mrg * mrg, 0.0), varYb = std::max(yb2 / lit - myb * myb, 0.0);
    figures.colourfulness = std::sqrt(varRg + varYb) + 0.3 * std::sqrt(mrg * mrg + myb * myb);
    figures.hue = std::fmod(std::atan2(myb, mrg) * 180.0 / pi + 360.0, 360.0);
    figures.litShare = count ? lit / count : 0.0;
    return figures;
}

double hueDistance(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

int LookFigures::boundariesMoved() const {
    int moved = 0;
    for (size_t s = 1; s < sections.size(); s++)
        moved += sections[s].hueShift >= hueShiftTarget;
    return moved;
}

int LookFigures::cuesLanded() const {
    int landed = 0;
    for (const CueFigures& cue : cues)
        landed += cue.ratio() >= cueRatioTarget;
    return landed;
}

LookFigures measureLook(const std::vector<FrameLook>& frames, const StereoAudio& track) {
    LookFigures figures;
    double end = frames.empty() ? 0.0 : frames.back().time + 1e-3;
    figures.show = colourOver(frames, 0.0, end);
    for (int s = 0; s < look::sectionCount; s++) {
        SectionFigures section;
        section.name = look::sections[s].name;
        section.from = look::sections[s].start;
        section.to = s + 1 < look::sectionCount ? look::sections[s + 1].start : end;
        section.colour = colourOver(frames, section.from, section.to);
        double light = 0;
        int count = 0;
        eachFrame(frames, section.from, section.to, [&](const FrameLook& frame) {
            light += frame.light;
            count++;
        });
        section.light = count ? light / count : 0.0;
        section.loudness = decibels(trackPower(track, section.from, section.to));
        section.hueShift = s ? hueDistance(section.colour.hue, figures.sections.back().colour.hue) : 0.0;
        figures.sections.push_back(section);
    }
    for (const Cue& cue : cues) {
        if (cue.time <= 0.0)
            continue;
        std::vector<double> before;
        eachFrame(frames, cue.time - 0.333, cue.time - 0.067 + 2e-6,
                  [&](const FrameLook& frame) { before.push_back(frame.light); });
        double after = 0;
        int count = 0;
        eachFrame(frames, cue.time + 0.033, cue.time + 0.133 + 2e-6, [&](const FrameLook& frame) {
            after += frame.light;
            count++;
        });
        figures.cues.push_back({cue.time, cue.event, count ? after / count : 0.0, median(before)});
    }
    std::vector<double> light, loudness;
    for (double from = 0.0; from + 0.5 <= end && from + 0.5 <= track.seconds(); from += 0.5) {
        double sum = 0;
        int count = 0;
        eachFrame(frames, from, from + 0.5, [&](const FrameLook& frame) {
            sum += frame.light;
            count++;
        });
        light.push_back(decibels(count ? sum / count : 0.0));
        loudness.push_back(decibels(trackPower(track, from, from + 0.5)));
        figures.halfSecondWindows.push_back({from, light.back(), loudness.back()});
    }
    figures.lightLoudness = correlation(light, loudness);
    std::vector<double> beats = dropBeats();
    figures.onBeat = lightAfterBeats(frames, beats, 0.0, 0.07);
    figures.offBeat = lightAfterBeats(frames, beats, 0.25, 0.45);
    return figures;
}

void printLook(const LookFigures& figures, std::FILE* out) {
    std::fprintf(out, "whole show: colourfulness %.1f (target >= 40), hue %.0f deg, lit pixels %.0f a frame\n",
                 figures.show.colourfulness, figures.show.hue, figures.show.litShare);
    std::fprintf(out, "\n%-12s %13s %14s %5s %10s %12s %8s %10s\n", "section", "seconds", "colourfulness", "hue",
                 "hue shift", "lit a frame", "light", "loudness");
    for (const SectionFigures& s : figures.sections)
        std::fprintf(out, "%-12s %6.2f-%6.2f %14.1f %5.0f %10.0f %12.0f %8.4f %7.1f dB\n", s.name, s.from, s.to,
                     s.colour.colourfulness, s.colour.hue, s.hueShift, s.colour.litShare, s.light, s.loudness);
    std::fprintf(out, "boundaries moving the hue >= %.0f deg: %d of %zu (target >= 4)\n", hueShiftTarget,
                 figures.boundariesMoved(), figures.sections.size() - 1);
    std::fprintf(out, "\n%8s  %-30s %10s %10s %7s\n", "cue", "event", "after", "before", "ratio");
    for (const CueFigures& cue : figures.cues)
        std::fprintf(out, "%8.3f  %-30s %10.4f %10.4f %7.2f%s\n", cue.time, cue.event, cue.after, cue.before,
                     cue.ratio(), cue.ratio() >= cueRatioTarget ? "" : "  (misses)");
    std::fprintf(out, "cues landing (after >= %.1f x before): %d of %zu (target >= 14)\n", cueRatioTarget,
                 figures.cuesLanded(), figures.cues.size());
    std::fprintf(out, "\nthe drops' beat: light %.4f just after a beat, %.4f between beats: %.2f x (target >= %.2f)\n",
                 figures.onBeat, figures.offBeat, figures.beatPulse(), beatPulseTarget);
    std::fprintf(out, "\nlight against loudness, %d half seconds, in dB: r = %.2f (target >= 0.5)\n",
                 int(figures.halfSecondWindows.size()), figures.lightLoudness);
    std::fprintf(out, "%8s %10s %10s\n", "from", "light", "loudness");
    for (const HalfSecond& window : figures.halfSecondWindows)
        std::fprintf(out, "%8.1f %7.1f dB %7.1f dB\n", window.from, window.lightDb, window.loudnessDb);
}
