#include "tests/support/MusicMeasures.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "demo/Cues.h"
#include "music/Score.h"

namespace {


// The digit row's first pass, in sixteenths of the score: five bars from
// sixteenth 144, backbeats on beats 2 and 4.
const double firstPassStart = 144;
const double firstPassEnd = 224;

double midiFrequency(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// The loudest tone of the given pitch classes from E4 to the E flat under E5:
// each of the seven notes of the key once, where the chords' fundamentals
// lie. Lower, a 186 ms window cannot tell a semitone apart at 20 dB (and the
// drums' pitched bodies sound there); higher, the third harmonic of A3 is E5.
double loudestTone(const Spectrum& spectrum, const std::set<int>& pitchClasses) {
    double loudest = -200.0;
    for (int note = 64; note < 76; ++note)
        if (pitchClasses.count(note % 12))
            loudest = std::max(loudest, spectrum.toneDb(midiFrequency(note), 25.0));
    return loudest;
}

std::vector<MusicMeasures::AtTime> chordMargins(const std::vector<float>& mono, int rate) {
    const double after = 0.1;
    const double length = 8192.0 / rate;
    // A chord that changes again within this is no chord to hear clearly.
    const double shortest = 0.45;
    std::vector<soundtrack::ChordChange> changes = soundtrack::chordChanges();
    std::vector<MusicMeasures::AtTime> margins;
    for (size_t i = 1; i < changes.size(); ++i) {
        bool lastsLongEnough = i + 1 == changes.size() || changes[i + 1].time - changes[i].time >= shortest;
        if (!lastsLongEnough)
            continue;
        // The tones that leave against the tones that arrive (E against F
        // from A minor to F), the ones both chords share left out.
        std::set<int> leaving(changes[i - 1].pitchClasses.begin(), changes[i - 1].pitchClasses.end());
        std::set<int> arriving(changes[i].pitchClasses.begin(), changes[i].pitchClasses.end());
        for (int pitchClass : changes[i].pitchClasses)
            leaving.erase(pitchClass);
        for (int pitchClass : changes[i - 1].pitchClasses)
            arriving.erase(pitchClass);
        if (leaving.empty() || arriving.empty())
            continue;
        Spectrum spectrum(mono, rate, changes[i].time + after, length);
        margins.push_back({changes[i].time, loudestTone(spectrum, arriving) - loudestTone(spectrum, leaving)});
    }
    return margins;
}

// Peak 10 ms energy within `reach` seconds from `time`.
double peakDb(const std::vector<float>& signal, int rate, double time, double reach) {
    double peak = -200.0;
    for (double t = time; t + 0.01 <= time + reach; t += 0.002)
        peak = std::max(peak, energyDb(signal, rate, t, t + 0.01));
    return peak;
}

// The bass answers every kick of the first pass two sixteenths after it.
MusicMeasures::AtTime loudestKickTail(const std::vector<float>& mono, int rate) {
    std::vector<float> low = bandLimited(mono, rate, 0.0, 150.0);
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    MusicMeasures::AtTime loudest{0.0, -200.0};
    for (double beat = firstPassStart; beat < firstPassEnd; beat += 4) {
        double kick = tempo.time(beat);
        double bassNote = tempo.time(beat + 2);
        double tail = energyDb(low, rate, bassNote - 0.012, bassNote - 0.002) - peakDb(low, rate, kick, 0.06);
        if (tail > loudest.db)
            loudest = {bassNote, tail};
    }
    return loudest;
}

// The quietest 100 ms of the band above 6 kHz in the gaps between the first
// pass's backbeats.
double quietestAirBetweenBackbeats(const std::vector<float>& mono, int rate) {
    std::vector<float> air = bandLimited(mono, rate, 6000.0, rate);
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    double quietest = HUGE_VAL;
    for (double beat = firstPassStart + 4; beat + 8 < firstPassEnd; beat += 8) {
        EnergyExtremes gap = energyExtremes(air, rate, tempo.time(beat), tempo.time(beat + 8), 0.1);
        quietest = std::min(quietest, gap.quietestDb);
    }
    return quietest;
}

std::vector<MusicMeasures::AtTime> sectionHitsOverSnare(const std::vector<float>& mono, int rate) {
    std::vector<float> high = bandLimited(mono, rate, 2000.0, rate);
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    const double length = 0.05;
    // The median backbeat: the few under a crash's tail are no ordinary ones.
    std::vector<double> backbeats;
    for (double beat = firstPassStart + 4; beat < firstPassEnd; beat += 8) {
        double t = tempo.time(beat);
        backbeats.push_back(energyDb(high, rate, t, t + length));
    }
    std::nth_element(backbeats.begin(), backbeats.begin() + backbeats.size() / 2, backbeats.end());
    double ordinary = backbeats[backbeats.size() / 2];
    std::vector<MusicMeasures::AtTime> hits;
    for (double t : {randomNumsFirstPass, randomNumsSecondPass, finalChord})
        hits.push_back({t, energyDb(high, rate, t, t + length) - ordinary});
    return hits;
}

using soundtrack::TuneNote;

std::vector<TuneNote> melodyNotes() {
    std::vector<TuneNote> melody;
    for (const TuneNote& note : soundtrack::tune())
        if (note.role == TuneNote::Role::Melody)
            melody.push_back(note);
    return melody;
}

// Where each statement of the hook starts, as indices into the melody.
std::vector<size_t> hookStatements(const std::vector<TuneNote>& melody) {
    std::vector<size_t> starts;
    for (size_t i = 0; i + 3 < melody.size(); ++i) {
        double s = melody[i].sixteenth;
        if (melody[i + 1].sixteenth == s + 3 && melody[i + 2].sixteenth == s + 6 && melody[i + 3].sixteenth == s + 8)
            starts.push_back(i);
    }
    return starts;
}

// A tone over the median of the twelve semitones from a fifth under it.
double prominence(const std::vector<float>& mono, int rate, const TuneNote& note) {
    Spectrum spectrum(mono, rate, note.time + 0.02, 0.18);
    std::vector<double> semitones;
    for (int offset = -7; offset < 5; ++offset)
        semitones.push_back(spectrum.toneDb(midiFrequency(note.pitch + offset), 25.0));
    std::nth_element(semitones.begin(), semitones.begin() + 6, semitones.end());
    return spectrum.toneDb(midiFrequency(note.pitch), 25.0) - semitones[6];
}

void measureHook(const std::vector<float>& mono, int rate, MusicMeasures& m) {
    std::vector<TuneNote> melody = melodyNotes();
    m.weakestHookNote = {0.0, HUGE_VAL};
    for (size_t start : hookStatements(melody)) {
        m.hookStatements.push_back(melody[start].time);
        for (size_t i = start; i < start + 3; ++i) {
            double db = prominence(mono, rate, melody[i]);
            if (db < m.weakestHookNote.db)
                m.weakestHookNote = {melody[i].time, db};
        }
    }
    m.firstPassTop = m.secondPassTop = 0;
    m.secondPassHarmonised = true;
    std::vector<TuneNote> all = soundtrack::tune();
    for (const TuneNote& note : melody) {
        if (note.time >= randomNumsFirstPass && note.time < randomNumsSecondPass)
            m.firstPassTop = std::max(m.firstPassTop, note.pitch);
        if (note.time < randomNumsSecondPass)
            continue;
        m.secondPassTop = std::max(m.secondPassTop, note.pitch);
        bool harmonised = std::any_of(all.begin(), all.end(), [&](const TuneNote& other) {
            return other.role == TuneNote::Role::Harmony && other.sixteenth == note.sixteenth;
        });
        m.secondPassHarmonised = m.secondPassHarmonised && harmonised;
    }
}

} // namespace

MusicMeasures measureMusic(const StereoAudio& track) {
    const int rate = track.sampleRate;
    std::vector<float> mono = monoSum(track);
    MusicMeasures m;

    StereoAudio monoTrack{rate, mono, mono};
    m.loudnessRange = loudnessRange(monoTrack);
    EnergyExtremes extremes = energyExtremes(mono, rate, 4.0, 34.0, 3.0);
    m.quietestUnderLoudest = extremes.loudestDb - extremes.quietestDb;
    m.secondPassLift = energyDb(mono, rate, randomNumsSecondPass, finalChord) -
                       energyDb(mono, rate, randomNumsFirstPass, randomNumsSecondPass);

    std::vector<float> presence = bandLimited(mono, rate, 2000.0, 6000.0);
    std::vector<float> low = bandLimited(mono, rate, 60.0, 250.0);
    m.presenceUnderLow = energyDb(low, rate, randomNumsFirstPass, randomNumsSecondPass) -
                         energyDb(presence, rate, randomNumsFirstPass, randomNumsSecondPass);
    m.quietestAir = quietestAirBetweenBackbeats(mono, rate);

    for (const Cue& cue : cues) {
        double after = energyDb(mono, rate, cue.time, cue.time + 0.02);
        m.cueLifts.push_back({cue.time, after - energyDb(mono, rate, cue.time - 0.1, cue.time)});
    }
    m.sectionHitsOverSnare = sectionHitsOverSnare(mono, rate);

    std::vector<float> lowMid = bandLimited(mono, rate, 0.0, 150.0);
    std::vector<float> lowSide = bandLimited(sideSignal(track), rate, 0.0, 150.0);
    m.lowSideUnderMid = energyDb(lowMid, rate, 0.0, track.seconds()) - energyDb(lowSide, rate, 0.0, track.seconds());
    m.chordMargins = chordMargins(mono, rate);

    Fall fall = largestFall(lowMid, rate, 35.2, track.seconds() - 1.0, 0.05);
    m.closingFall = {fall.at, fall.db};
    m.kickTail = loudestKickTail(mono, rate);
    measureHook(mono, rate, m);
    return m;
}

namespace {

const MusicMeasures::AtTime& smallest(const std::vector<MusicMeasures::AtTime>& values) {
    auto quieter = [](const MusicMeasures::AtTime& a, const MusicMeasures::AtTime& b) { return a.db < b.db; };
    return *std::min_element(values.begin(), values.end(), quieter);
}

} // namespace

void printMeasures(const MusicMeasures& m, std::FILE* out) {
    std::fprintf(out, "loudness range                       %6.1f LU\n", m.loudnessRange);
    std::fprintf(out, "quietest 3 s under loudest (4-34 s)  %6.1f dB\n", m.quietestUnderLoudest);
    std::fprintf(out, "second pass over first               %+6.1f dB\n", m.secondPassLift);
    std::fprintf(out, "2-6 kHz under 60-250 Hz (18-29 s)    %6.1f dB\n", m.presenceUnderLow);
    std::fprintf(out, "quietest air above 6 kHz (18-29 s)   %6.1f dBFS\n", m.quietestAir);
    for (const MusicMeasures::AtTime& cue : m.cueLifts)
        std::fprintf(out, "cue %7.3f s: 20 ms after over 100 ms before  %+6.1f dB\n", cue.time, cue.db);
    std::fprintf(out, "weakest cue                          %+6.1f dB at %.3f s\n", smallest(m.cueLifts).db,
                 smallest(m.cueLifts).time);
    for (const MusicMeasures::AtTime& hit : m.sectionHitsOverSnare)
        std::fprintf(out, "section hit %4.1f s over snare >2 kHz %+6.1f dB\n", hit.time, hit.db);
    std::fprintf(out, "side under mid below 150 Hz          %6.1f dB\n", m.lowSideUnderMid);
    for (const MusicMeasures::AtTime& chord : m.chordMargins)
        std::fprintf(out, "chord change %7.3f s: new over old   %+6.1f dB\n", chord.time, chord.db);
    std::fprintf(out, "weakest chord change                 %+6.1f dB at %.3f s\n", smallest(m.chordMargins).db,
                 smallest(m.chordMargins).time);
    std::fprintf(out, "largest fall <150 Hz in 50 ms (close) %5.1f dB at %.2f s\n", m.closingFall.db,
                 m.closingFall.time);
    std::fprintf(out, "loudest kick tail at a bass note     %6.1f dB at %.3f s\n", m.kickTail.db, m.kickTail.time);
    std::fprintf(out, "hook statements (3+3+2) at         ");
    for (double t : m.hookStatements)
        std::fprintf(out, " %.2f", t);
    std::fprintf(out, " s\n");
    std::fprintf(out, "top melody note, first/second pass   %d / %d (MIDI), second pass %s\n", m.firstPassTop,
                 m.secondPassTop, m.secondPassHarmonised ? "harmonised" : "not harmonised");
    std::fprintf(out, "weakest hook note over its semitones %+6.1f dB at %.3f s\n", m.weakestHookNote.db,
                 m.weakestHookNote.time);
}
