// The soundtrack as the demo hears it: data/quorvin.mp3 from the build,
// decoded by SDL_mixer, measured for level, peaks, gaps and its accents on
// the show's cues; and the synthesiser that makes it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/Audio.h"
#include "tests/support/Process.h"
#include "tools/soundtrack/Cues.h"

namespace {

const double pi = 3.14159265358979323846;
const int rate = 44100;
const char* const trackPath = "data/quorvin.mp3";
const std::string synthesiser = std::string(VQ_BUILD_DIR) + "/velquor-soundtrack";

StereoAudio sine(double frequency, double peakDb, double seconds, double phase = 0.0) {
    StereoAudio audio;
    audio.sampleRate = rate;
    double amplitude = std::pow(10.0, peakDb / 20.0);
    for (size_t i = 0; i < size_t(seconds * rate); ++i) {
        float value = float(amplitude * std::sin(2.0 * pi * frequency * double(i) / rate + phase));
        audio.left.push_back(value);
        audio.right.push_back(value);
    }
    return audio;
}

void append(StereoAudio& audio, const StereoAudio& more) {
    audio.sampleRate = more.sampleRate;
    audio.left.insert(audio.left.end(), more.left.begin(), more.left.end());
    audio.right.insert(audio.right.end(), more.right.begin(), more.right.end());
}

// Raised-cosine fades at both ends, so the edges themselves are no onsets.
void fadeEnds(StereoAudio& audio, double seconds) {
    size_t length = size_t(seconds * audio.sampleRate);
    size_t count = audio.left.size();
    for (size_t i = 0; i < length && i < count; ++i) {
        float gain = float(0.5 - 0.5 * std::cos(pi * double(i) / double(length)));
        audio.left[i] *= gain;
        audio.right[i] *= gain;
        audio.left[count - 1 - i] *= gain;
        audio.right[count - 1 - i] *= gain;
    }
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

// The measurements themselves, on signals whose answers are known.
TEST(AudioMeasurement, LoudnessOfReferenceTonesAndGating) {
    // A 1 kHz tone at -23 dBFS in both channels reads -23 LUFS.
    EXPECT_NEAR(integratedLoudness(sine(1000.0, -23.0, 20.0)), -23.0, 0.1);
    // Quiet stretches 13 dB down fall under the relative gate and do not count.
    StereoAudio gated = sine(1000.0, -36.0, 10.0);
    append(gated, sine(1000.0, -23.0, 60.0));
    append(gated, sine(1000.0, -36.0, 10.0));
    EXPECT_NEAR(integratedLoudness(gated), -23.0, 0.1);
    // K-weighting: low tones count for less, presence tones for more.
    EXPECT_LT(integratedLoudness(sine(40.0, -23.0, 10.0)), -23.5);
    EXPECT_GT(integratedLoudness(sine(4000.0, -23.0, 10.0)), -21.0);
}

TEST(AudioMeasurement, TruePeakFindsPeaksBetweenSamples) {
    // A quarter-rate tone sampled 45 degrees off its crests: every sample
    // is 3 dB under the true peak of -6 dBFS.
    StereoAudio tone = sine(rate / 4.0, -6.0206, 1.0, pi / 4.0);
    float samplePeak = *std::max_element(tone.left.begin(), tone.left.end());
    EXPECT_NEAR(20.0 * std::log10(samplePeak), -9.03, 0.05);
    EXPECT_NEAR(truePeakDb(tone.left), -6.02, 0.15);
}

TEST(AudioMeasurement, OnsetsOfHitsAndQuietStretches) {
    const std::vector<double> hits = {0.25, 0.61, 0.9, 1.537, 2.0, 2.2};
    StereoAudio audio = sine(220.0, -30.0, 3.0);
    fadeEnds(audio, 0.1);
    for (double hit : hits) {
        size_t start = size_t(hit * rate);
        unsigned state = unsigned(start);
        for (size_t i = 0; i < size_t(0.2 * rate); ++i) {
            state = state * 1664525u + 1013904223u;
            float noise = float(int(state >> 9) - (1 << 22)) / float(1 << 22);
            float value = 0.5f * noise * float(std::exp(-double(i) / (0.03 * rate)));
            audio.left[start + i] += value;
            audio.right[start + i] += value;
        }
    }
    std::vector<Onset> onsets = detectOnsets(audio);
    ASSERT_EQ(onsets.size(), hits.size());
    for (size_t i = 0; i < hits.size(); ++i)
        EXPECT_NEAR(onsets[i].time, hits[i], 0.006) << "hit " << i;

    StereoAudio gap = sine(220.0, -20.0, 1.0);
    append(gap, sine(220.0, -90.0, 0.7));
    append(gap, sine(220.0, -20.0, 1.0));
    EXPECT_NEAR(longestQuietStretch(gap, 0.0, gap.seconds(), -60.0), 0.7, 0.02);
    EXPECT_NEAR(longestQuietStretch(gap, 0.0, 1.3, -60.0), 0.3, 0.02);
}

class Soundtrack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        track = decodeWithMixer(trackPath, error);
        if (!track.left.empty())
            onsets = detectOnsets(track);
    }
    void SetUp() override { ASSERT_FALSE(track.left.empty()) << "cannot decode " << trackPath << ": " << error; }

    static StereoAudio track;
    static std::string error;
    static std::vector<Onset> onsets;
};

StereoAudio Soundtrack::track;
std::string Soundtrack::error;
std::vector<Onset> Soundtrack::onsets;

TEST_F(Soundtrack, OutlastsTheLastTextAndRingsOutToSilence) {
    EXPECT_EQ(track.sampleRate, rate);
    EXPECT_GE(track.seconds(), 36.0);
    EXPECT_LE(track.seconds(), 42.0);
    EXPECT_GT(soundtrack::finalChord, soundtrack::randomNumsSecondPass);
    double end = track.seconds();
    EXPECT_GE(longestQuietStretch(track, end - 0.1, end, -60.0), 0.09) << "the track stops abruptly";
}

// The file carries the encoder's delay and padding, and the demo's decoder
// drops both: the decoded track has exactly the rendered length, and the
// opening hit sounds in its first milliseconds, so show time 0 is the
// track's time 0.
TEST_F(Soundtrack, DecodesSampleExactWithoutEncoderDelay) {
    EXPECT_EQ(track.left.size(), size_t(std::lround(soundtrack::trackLength * rate)));
    float opening = 0.0f;
    for (size_t i = 0; i < size_t(0.003 * rate); ++i)
        opening = std::max(opening, std::fabs(track.left[i]));
    EXPECT_GT(20.0 * std::log10(opening + 1e-9f), -30.0) << "the track starts late";
}

TEST_F(Soundtrack, TruePeakStaysAtOrBelowMinusOneDbfs) {
    double left = truePeakDb(track.left);
    double right = truePeakDb(track.right);
    std::printf("true peak: left %.2f dBTP, right %.2f dBTP\n", left, right);
    EXPECT_LE(left, -1.0);
    EXPECT_LE(right, -1.0);
}

TEST_F(Soundtrack, HasNoDcOffset) {
    for (const std::vector<float>* channel : {&track.left, &track.right}) {
        double sum = 0.0;
        for (float sample : *channel)
            sum += sample;
        EXPECT_LT(std::fabs(sum / double(channel->size())), 1e-3);
    }
}

TEST_F(Soundtrack, IntegratedLoudnessIsNearMinus14Lufs) {
    double loudness = integratedLoudness(track);
    std::printf("integrated loudness: %.2f LUFS\n", loudness);
    EXPECT_NEAR(loudness, -14.0, 2.0);
}

TEST_F(Soundtrack, NeverFallsSilentBeforeTheClosingChord) {
    EXPECT_LT(longestQuietStretch(track, 0.0, soundtrack::finalChord, -60.0), 0.5);
}

// Every cue of the show is marked by an onset within 20 ms, and not a faint
// one: it is at least as strong as the median onset of the whole track.
TEST_F(Soundtrack, AccentsEveryCueOfTheShow) {
    std::vector<double> strengths;
    for (const Onset& onset : onsets)
        strengths.push_back(onset.strength);
    std::nth_element(strengths.begin(), strengths.begin() + strengths.size() / 2, strengths.end());
    double median = strengths[strengths.size() / 2];

    for (const soundtrack::Cue& cue : soundtrack::cues) {
        const Onset* nearest = nullptr;
        for (const Onset& onset : onsets)
            if (!nearest || std::fabs(onset.time - cue.time) < std::fabs(nearest->time - cue.time))
                nearest = &onset;
        ASSERT_NE(nearest, nullptr);
        double offset = nearest->time - cue.time;
        std::printf("cue %7.3f s %-28s onset %+6.1f ms, strength %.2f x median\n", cue.time, cue.event,
                    offset * 1000.0, nearest->strength / median);
        EXPECT_LE(std::fabs(offset), 0.020) << cue.event << " at " << cue.time << " s";
        EXPECT_GE(nearest->strength, median) << cue.event << " at " << cue.time << " s";
    }
}

// The build rendered the shipped file; a second render gives the same bytes.
TEST(SoundtrackSynthesiser, RendersTheSameBytesEveryTime) {
    TempDir directory;
    std::string output = directory.path + "/again.mp3";
    pid_t child = spawnProcess({synthesiser, output});
    ASSERT_EQ(waitProcess(child, 120.0), 0);
    std::string shipped = fileBytes(trackPath);
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(fileBytes(output) == shipped) << "a new render differs from " << trackPath;
}

TEST(SoundtrackSynthesiser, FailsClearlyAndLeavesNoPartialFile) {
    TempDir directory;

    // A directory that does not exist.
    std::string missing = directory.path + "/no/such/dir/quorvin.mp3";
    std::string log = directory.path + "/missing.log";
    ProcessOptions options;
    options.outputPath = log;
    EXPECT_EQ(waitProcess(spawnProcess({synthesiser, missing}, options), 120.0), 1);
    std::string message = readTextFile(log);
    EXPECT_NE(message.find("cannot write " + missing), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;

    // The disk fills up half way through: a file-size limit makes the
    // writes fail. The old track stays as it was and no scrap is left.
    std::string out = directory.path + "/data";
    ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
    std::string target = out + "/quorvin.mp3";
    {
        std::ofstream old(target, std::ios::binary);
        old << "the previous track";
    }
    options.outputPath = directory.path + "/full.log";
    std::string command = "trap '' XFSZ; ulimit -f 64; exec '" + synthesiser + "' '" + target + "'";
    EXPECT_EQ(waitProcess(spawnProcess({"/bin/sh", "-c", command}, options), 120.0), 1);
    message = readTextFile(options.outputPath);
    EXPECT_NE(message.find("cannot write " + target + ": File too large"), std::string::npos) << message;
    EXPECT_EQ(fileBytes(target), "the previous track");
    EXPECT_EQ(commandOutput("ls -A '" + out + "'"), "quorvin.mp3\n");

    // Anything but one output path is a usage error.
    options.outputPath = directory.path + "/usage.log";
    EXPECT_EQ(waitProcess(spawnProcess({synthesiser, "a.mp3", "b.mp3"}, options), 30.0), 2);
    EXPECT_NE(readTextFile(options.outputPath).find("usage: velquor-soundtrack"), std::string::npos);
}
