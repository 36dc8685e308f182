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
#include "tests/support/MusicMeasures.h"
#include "tests/support/Process.h"
#include "demo/Cues.h"
#include "music/Dsp.h"
#include "music/Instruments.h"
#include "music/Score.h"

namespace {

const double pi = 3.14159265358979323846;
const int rate = 44100;
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

std::vector<float> tone(double frequency, double amplitude, double seconds) {
    return sine(frequency, 20.0 * std::log10(amplitude), seconds).left;
}

TEST(AudioMeasurement, EnergyAndBandsOfKnownSignals) {
    // A full-scale square wave reads 0 dB, a sine 3 dB less.
    std::vector<float> square(rate);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 50) % 2 ? 1.0f : -1.0f;
    EXPECT_NEAR(energyDb(square, rate, 0.0, 1.0), 0.0, 0.01);
    EXPECT_NEAR(energyDb(tone(1000.0, 0.1, 1.0), rate, 0.1, 0.9), -23.01, 0.05);
    // Half the stretch beyond the end is silence.
    EXPECT_NEAR(energyDb(square, rate, 0.5, 1.5), -3.01, 0.01);

    // In the pass band a tone keeps its level; an octave beyond a cutoff it
    // loses at least 40 dB.
    struct Case {
        double frequency, low, high, expectedDb;
    };
    for (const Case& c : {Case{100.0, 60.0, 250.0, -3.0}, Case{3000.0, 2000.0, 6000.0, -3.0},
                          Case{30.0, 60.0, 250.0, -50.0}, Case{500.0, 60.0, 250.0, -50.0},
                          Case{1000.0, 2000.0, 6000.0, -50.0}, Case{12000.0, 2000.0, 6000.0, -50.0}}) {
        std::vector<float> filtered = bandLimited(tone(c.frequency, 1.0, 1.0), rate, c.low, c.high);
        double db = energyDb(filtered, rate, 0.5, 1.0);
        if (c.expectedDb > -10.0)
            EXPECT_NEAR(db, c.expectedDb, 0.3) << c.frequency << " Hz in " << c.low << "-" << c.high;
        else
            EXPECT_LT(db, c.expectedDb + 7.0) << c.frequency << " Hz in " << c.low << "-" << c.high;
    }
}

TEST(AudioMeasurement, ExtremesFallsAndLoudnessRange) {
    // 4 s at -10 dB, 4 s at -30 dB, 4 s at -20 dB (sine levels, 3 dB under).
    std::vector<float> steps = tone(440.0, std::pow(10.0, -0.5), 4.0);
    for (double amplitude : {std::pow(10.0, -1.5), std::pow(10.0, -1.0)}) {
        std::vector<float> more = tone(440.0, amplitude, 4.0);
        steps.insert(steps.end(), more.begin(), more.end());
    }
    EnergyExtremes extremes = energyExtremes(steps, rate, 0.0, 12.0, 3.0);
    EXPECT_NEAR(extremes.loudestDb, -13.0, 0.1);
    EXPECT_NEAR(extremes.quietestDb, -33.0, 0.1);
    EXPECT_NEAR(extremes.quietestAt, 4.0, 1.0);

    // The 20 dB step down is a fall; the 10 dB step up is none.
    Fall fall = largestFall(steps, rate, 1.0, 11.0, 0.05);
    EXPECT_NEAR(fall.db, 20.0, 0.5);
    EXPECT_NEAR(fall.at, 3.99, 0.02);
    EXPECT_LT(largestFall(steps, rate, 5.0, 11.0, 0.05).db, 0.5);

    // Loudness range spans the levels the music spends its time at: none for
    // a steady tone, about the 20 dB between the steps here.
    StereoAudio steady{rate, tone(1000.0, 0.1, 20.0), tone(1000.0, 0.1, 20.0)};
    EXPECT_LT(loudnessRange(steady), 0.1);
    StereoAudio stepped{rate, steps, steps};
    EXPECT_NEAR(loudnessRange(stepped), 20.0, 1.0);
}

TEST(AudioMeasurement, TonesAreResolvedASemitoneApart) {
    // E4 at -20 dB and F4 30 dB under it, as a chord change leaves them.
    std::vector<float> e4 = tone(329.63, 0.1, 1.0);
    std::vector<float> f4 = tone(349.23, 0.1 * std::pow(10.0, -1.5), 1.0);
    for (size_t i = 0; i < e4.size(); ++i)
        e4[i] += f4[i];
    Spectrum spectrum(e4, rate, 0.3, 8192.0 / rate);
    EXPECT_NEAR(spectrum.toneDb(329.63, 25.0), -23.0, 0.5);
    EXPECT_NEAR(spectrum.toneDb(349.23, 25.0), -53.0, 2.0);
    // A semitone away from a lone tone reads at least 25 dB under it.
    EXPECT_LT(spectrum.toneDb(311.13, 25.0), -48.0);
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
    EXPECT_GT(finalChord, randomNumsSecondPass);
    double end = track.seconds();
    EXPECT_GE(longestQuietStretch(track, end - 0.1, end, -60.0), 0.09) << "the track stops abruptly";
}

// The file carries the encoder's delay and padding, and the demo's decoder
// drops both: the decoded track has exactly the rendered length, and the
// opening hit sounds in its first milliseconds, so show time 0 is the
// track's time 0.
TEST_F(Soundtrack, DecodesSampleExactWithoutEncoderDelay) {
    EXPECT_EQ(track.left.size(), size_t(std::lround(trackLength * rate)));
    float opening = 0.0f;
    for (size_t i = 0; i < size_t(0.003 * rate); ++i)
        opening = std::max(opening, std::fabs(track.left[i]));
    EXPECT_GT(20.0 * std::log10(opening + 1e-9f), -30.0) << "the track starts late";
}

// velquor-soundtrack NAME.wav writes the render before the MP3 encoder: the
// shipped track, decoded, is that WAV file less the encoder's small loss,
// sample for sample and channel for channel.
TEST_F(Soundtrack, TheWavFileIsTheRenderTheMp3Encodes) {
    TempDir directory;
    std::string output = directory.path + "/velquor.wav";
    ASSERT_EQ(waitProcess(spawnProcess({synthesiser, output}), 120.0), 0);
    std::string bytes = fileBytes(output);
    ASSERT_GE(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8), "RIFFWAVEfmt ");
    EXPECT_EQ(bytes.size(), 44 + 4 * track.left.size()) << "16-bit stereo, as long as the track";
    std::string error;
    StereoAudio wav = decodeWithMixer(output, error);
    ASSERT_EQ(wav.left.size(), track.left.size()) << error;
    for (const auto& channel : {std::make_pair(&wav.left, &track.left), std::make_pair(&wav.right, &track.right)}) {
        double music = 0.0, loss = 0.0;
        for (size_t i = 0; i < channel.first->size(); i++) {
            double d = (*channel.first)[i] - (*channel.second)[i];
            music += double((*channel.first)[i]) * (*channel.first)[i];
            loss += d * d;
        }
        // The encoder's own loss reads about -19 dB; a render at half the
        // level, or silence, would read -6 dB or 0 dB.
        EXPECT_LT(10.0 * std::log10(loss / music), -12.0) << "the MP3 is not this render";
    }
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
    EXPECT_LT(longestQuietStretch(track, 0.0, finalChord, -60.0), 0.5);
}

// Every cue of the show is marked by an onset within 20 ms, and not a faint
// one: it is at least as strong as the median onset of the whole track.
TEST_F(Soundtrack, AccentsEveryCueOfTheShow) {
    std::vector<double> strengths;
    for (const Onset& onset : onsets)
        strengths.push_back(onset.strength);
    std::nth_element(strengths.begin(), strengths.begin() + strengths.size() / 2, strengths.end());
    double median = strengths[strengths.size() / 2];

    for (const Cue& cue : cues) {
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

// The music as music, measured where the score puts things; the whole
// report is printed for comparing one render with another.
class SoundtrackMusic : public Soundtrack {
protected:
    static void SetUpTestSuite() {
        Soundtrack::SetUpTestSuite();
        if (!track.left.empty()) {
            measures = measureMusic(track);
            printMeasures(measures, stdout);
        }
    }
    static MusicMeasures measures;
};

MusicMeasures SoundtrackMusic::measures;

TEST_F(SoundtrackMusic, HasAnArcFromBreakdownToSecondPass) {
    EXPECT_GE(measures.loudnessRange, 4.0);
    EXPECT_GE(measures.quietestUnderLoudest, 5.0);
    EXPECT_GE(measures.secondPassLift, 1.5);
}

TEST_F(SoundtrackMusic, HasAnOpenTop) {
    EXPECT_LE(measures.presenceUnderLow, 10.0);
    EXPECT_GE(measures.quietestAir, -33.0);
}

TEST_F(SoundtrackMusic, HitsEveryCueOutOfABreath) {
    ASSERT_EQ(measures.cueLifts.size(), size_t(cueCount));
    for (const MusicMeasures::AtTime& cue : measures.cueLifts)
        EXPECT_GE(cue.db, 9.0) << "the cue at " << cue.time << " s";
    ASSERT_EQ(measures.sectionHitsOverSnare.size(), 3u);
    for (const MusicMeasures::AtTime& hit : measures.sectionHitsOverSnare)
        EXPECT_GE(hit.db, 3.0) << "the section hit at " << hit.time << " s";
}

TEST_F(SoundtrackMusic, ChordsAreClearAndTheLowEndMono) {
    ASSERT_GE(measures.chordMargins.size(), 20u);
    for (const MusicMeasures::AtTime& change : measures.chordMargins)
        EXPECT_GE(change.db, 20.0) << "the chord change at " << change.time << " s";
    EXPECT_GE(measures.lowSideUnderMid, 30.0);
}

TEST_F(SoundtrackMusic, TheHookReturnsAndClimbs) {
    auto statedBetween = [](double from, double to) {
        return std::any_of(measures.hookStatements.begin(), measures.hookStatements.end(),
                           [&](double t) { return t >= from && t < to; });
    };
    using namespace soundtrack;
    EXPECT_TRUE(statedBetween(5.5, 6.5)) << "not stated early, on the pluck";
    EXPECT_TRUE(statedBetween(millionAppears, randomNumsFirstPass)) << "not in the breakdown";
    EXPECT_TRUE(statedBetween(randomNumsFirstPass, randomNumsSecondPass)) << "not in the first pass";
    EXPECT_TRUE(statedBetween(randomNumsSecondPass, finalChord)) << "not in the second pass";
    EXPECT_TRUE(measures.secondPassHarmonised);
    EXPECT_GT(measures.secondPassTop, measures.firstPassTop);
    EXPECT_GE(measures.weakestHookNote.db, 6.0) << "a hook note at " << measures.weakestHookNote.time << " s is buried";
}

TEST_F(SoundtrackMusic, ClosesWithTheBassIntoTheFade) {
    EXPECT_LE(measures.closingFall.db, 10.0) << "at " << measures.closingFall.time << " s";
}

TEST_F(SoundtrackMusic, TheKickIsGoneWhenTheBassAnswers) {
    EXPECT_LE(measures.kickTail.db, -20.0) << "at " << measures.kickTail.time << " s";
}

// The kick alone: its body settles near 55 Hz, an octave under the bass's A.
TEST(SoundtrackInstruments, KickSettlesNear55Hz) {
    soundtrack::StereoBuffer buffer(soundtrack::frameAt(0.5));
    soundtrack::kick(buffer, 0.0, 1.0);
    int crossings = 0;
    const size_t from = soundtrack::frameAt(0.06);
    const size_t to = soundtrack::frameAt(0.16);
    for (size_t i = from + 1; i < to; ++i)
        crossings += (buffer.left[i - 1] < 0.0f) != (buffer.left[i] < 0.0f);
    EXPECT_NEAR(crossings / 2.0 / 0.1, 55.0, 5.0);
}

// The voices that used to blur the next note or chord are gone in time: the
// kick before the bass answers it two sixteenths later, a pluck and a stab
// before the next chord, a pad within its release.
TEST(SoundtrackInstruments, VoicesEndBeforeTheNextNeedsTheSpace) {
    using namespace soundtrack;
    struct Case {
        const char* voice;
        void (*play)(StereoBuffer&);
        double goneBy;
    };
    const Case cases[] = {
        {"kick", [](StereoBuffer& out) { kick(out, 0.0, 1.0); }, 0.25},
        {"pluck", [](StereoBuffer& out) { pluck(out, 0.0, 72, 1.0, 0.0); }, 0.33},
        {"stab", [](StereoBuffer& out) { stab(out, 0.0, {69, 76, 81, 84}, 1.0); }, 0.46},
        {"pad held 0.5 s", [](StereoBuffer& out) { padChord(out, 0.0, 0.5, {57, 65, 69, 72}, 1.0, 0.02, 0.2); }, 0.71},
    };
    for (const Case& c : cases) {
        StereoBuffer buffer(frameAt(1.5));
        c.play(buffer);
        double loudest = energyExtremes(buffer.left, rate, 0.0, 0.5, 0.01).loudestDb;
        EXPECT_GT(loudest, -30.0) << c.voice;
        EXPECT_LT(energyDb(buffer.left, rate, c.goneBy, 1.5), loudest - 60.0) << c.voice;
    }
}

// The room takes nothing below its low cut, so the low end stays mono.
TEST(SoundtrackInstruments, TheRoomLeavesTheLowEndAlone) {
    auto roomOf = [](double frequency) {
        StereoAudio tone = sine(frequency, -6.0, 2.0);
        soundtrack::StereoBuffer dry(tone.left.size());
        dry.left = tone.left;
        dry.right = tone.right;
        soundtrack::StereoBuffer wet(dry.frames());
        soundtrack::Reverb(0.45, 0.5, 250.0).process(dry, wet, 3.0);
        return energyDb(wet.left, rate, 0.5, 2.0);
    };
    EXPECT_LT(roomOf(60.0), roomOf(1000.0) - 20.0);
}

// Every note of the tune is in A minor, and each harmony note is a third
// of the scale under a melody note struck with it.
TEST(SoundtrackScore, TheTuneStaysInKeyAndHarmonisesInThirds) {
    using soundtrack::TuneNote;
    const std::vector<int> aMinor = {9, 11, 0, 2, 4, 5, 7};
    std::vector<TuneNote> tune = soundtrack::tune();
    ASSERT_FALSE(tune.empty());
    int harmonies = 0;
    for (const TuneNote& note : tune) {
        EXPECT_NE(std::find(aMinor.begin(), aMinor.end(), note.pitch % 12), aMinor.end())
            << "note " << note.pitch << " at " << note.time << " s";
        if (note.role != TuneNote::Role::Harmony)
            continue;
        ++harmonies;
        bool underAMelodyNote = std::any_of(tune.begin(), tune.end(), [&](const TuneNote& melody) {
            int interval = melody.pitch - note.pitch;
            return melody.role == TuneNote::Role::Melody && melody.sixteenth == note.sixteenth &&
                   (interval == 3 || interval == 4);
        });
        EXPECT_TRUE(underAMelodyNote) << "harmony note " << note.pitch << " at " << note.time << " s";
    }
    EXPECT_GT(harmonies, 10);
}

TEST(SoundtrackMeter, PrintsEveryMeasureOrSaysWhyItCannot) {
    const std::string meter = std::string(VQ_BUILD_DIR) + "/soundtrack_meter";
    TempDir directory;
    ProcessOptions options;
    options.outputPath = directory.path + "/report.txt";
    EXPECT_EQ(waitProcess(spawnProcess({meter, trackPath}, options), 60.0), 0);
    std::string report = readTextFile(options.outputPath);
    for (const char* line : {"integrated loudness", "loudness range", "cue  29.000 s", "weakest chord change",
                             "kick tail", "hook statements"})
        EXPECT_NE(report.find(line), std::string::npos) << line << " missing from:\n" << report;

    std::string missing = directory.path + "/none.mp3";
    options.outputPath = directory.path + "/missing.txt";
    EXPECT_EQ(waitProcess(spawnProcess({meter, missing}, options), 60.0), 1);
    std::string message = readTextFile(options.outputPath);
    EXPECT_NE(message.find("soundtrack_meter: cannot decode " + missing), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
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

    // The name says how to write it.
    options.outputPath = directory.path + "/kind.log";
    EXPECT_EQ(waitProcess(spawnProcess({synthesiser, directory.path + "/track.ogg"}, options), 30.0), 2);
    EXPECT_NE(readTextFile(options.outputPath).find("track.ogg: the name must end in .mp3 or .wav"), std::string::npos);

    // Anything but one output path is a usage error.
    options.outputPath = directory.path + "/usage.log";
    EXPECT_EQ(waitProcess(spawnProcess({synthesiser, "a.mp3", "b.mp3"}, options), 30.0), 2);
    EXPECT_NE(readTextFile(options.outputPath).find("usage: velquor-soundtrack"), std::string::npos);
}
