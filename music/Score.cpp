#include "music/Score.h"

#include <algorithm>
#include <cmath>

#include "demo/Cues.h"
#include "music/Instruments.h"

namespace soundtrack {

TempoMap::TempoMap(std::vector<Anchor> anchors) : anchors(std::move(anchors)) {}

double TempoMap::time(double sixteenth) const {
    size_t next = 1;
    while (next + 1 < anchors.size() && anchors[next].sixteenth < sixteenth)
        ++next;
    const Anchor& a = anchors[next - 1];
    const Anchor& b = anchors[next];
    return a.time + (sixteenth - a.sixteenth) * (b.time - a.time) / (b.sixteenth - a.sixteenth);
}

namespace {

// Where the digit row's two passes and the closing chord stand in the score.
const double firstPassSixteenth = 144;
const double secondPassSixteenth = 232;
const double finalSixteenth = 280;

} // namespace

// Bars are 16 sixteenths, except a five-beat bar before 158 flies in and a
// two-beat fill bar before the second pass. The breaks around 9 s and the
// breakdown from 12.486 s carry the larger bends, where little keeps time.
TempoMap trackTempo() {
    return TempoMap({
        {0, showStart},
        {16, beginAppears},
        {24, beginDissolves},
        {32, fourteenAppears},
        {39, fourteenDissolves},
        {48, thirtytwoAppears},
        {68, n158Appears},
        {72, thirtytwoScatters},
        {74, n158Dissolves},
        {84, n271Appears},
        {96, n271StreamsAway},
        {100, millionAppears},
        {103, millionDrifts},
        {114, tovelplexAppears},
        {120, millionFalls},
        {firstPassSixteenth, randomNumsFirstPass},
        {secondPassSixteenth, randomNumsSecondPass},
        {finalSixteenth, finalChord},
    });
}

namespace {

// The whole track is in A minor.
enum class Chord { Am, F, C, G };

struct Change {
    double sixteenth;
    Chord chord;
};

const Change harmony[] = {
    {0, Chord::Am},   {24, Chord::F},   {32, Chord::C},   {39, Chord::G},   {48, Chord::Am},  {56, Chord::F},
    {64, Chord::G},   {68, Chord::Am},  {72, Chord::F},   {74, Chord::G},   {84, Chord::Am},  {92, Chord::F},
    {96, Chord::G},   {100, Chord::F},  {114, Chord::C},  {120, Chord::G},  {144, Chord::Am}, {160, Chord::F},
    {176, Chord::C},  {192, Chord::G},  {208, Chord::Am}, {224, Chord::G},  {232, Chord::Am}, {248, Chord::F},
    {264, Chord::G},  {finalSixteenth, Chord::Am},
};

// How long the closing chord rings, in seconds.
const double finalRing = trackLength - finalChord;

// Open voicings, a root or fifth at the bottom and the rest above middle C,
// clear of the bass and moving by step from chord to chord.
std::vector<int> padVoicing(Chord chord) {
    switch (chord) {
    case Chord::Am: return {57, 64, 69, 72};
    case Chord::F: return {57, 65, 69, 72};
    case Chord::C: return {55, 64, 67, 72};
    case Chord::G: return {59, 67, 71, 74};
    }
    return {};
}

int bassRoot(Chord chord) {
    switch (chord) {
    case Chord::Am: return 33;
    case Chord::F: return 29;
    case Chord::C: return 36;
    case Chord::G: return 31;
    }
    return 33;
}

// Root, third, fifth, octave and the octave's third, for the arpeggio.
std::vector<int> arpeggioTones(Chord chord) {
    switch (chord) {
    case Chord::Am: return {69, 72, 76, 81, 84};
    case Chord::F: return {65, 69, 72, 77, 81};
    case Chord::C: return {67, 72, 76, 79, 84};
    case Chord::G: return {67, 71, 74, 79, 83};
    }
    return {};
}

std::vector<int> transposed(std::vector<int> notes, int semitones) {
    for (int& note : notes)
        note += semitones;
    return notes;
}

Chord chordAt(double sixteenth) {
    Chord chord = Chord::Am;
    for (const Change& change : harmony)
        if (change.sixteenth <= sixteenth)
            chord = change.chord;
    return chord;
}

struct Note {
    double sixteenth;
    int pitch;
    double length;
};

enum class Part { Pluck, Lead };

struct Phrase {
    double bar;
    std::vector<Note> notes;
    Part part;
    TuneNote::Role role;
    double velocity;
};

// Each note with the note of the A minor scale two steps under it.
std::vector<Note> thirdsUnder(const std::vector<Note>& notes) {
    const int scale[] = {0, 2, 3, 5, 7, 8, 10}; // A minor, from A
    std::vector<Note> harmony;
    for (const Note& note : notes) {
        int fromA = note.pitch - 57;
        int octave = fromA / 12;
        int degree = 0;
        while (degree < 6 && scale[degree + 1] <= fromA % 12)
            ++degree;
        int lower = degree - 2;
        int pitch = 57 + 12 * (octave + (lower < 0 ? -1 : 0)) + scale[(lower + 7) % 7];
        harmony.push_back({note.sixteenth, pitch, note.length});
    }
    return harmony;
}

std::vector<Note> octaveUp(std::vector<Note> notes) {
    for (Note& note : notes)
        note.pitch += 12;
    return notes;
}

// The hook is three notes, 3 + 3 + 2 sixteenths, then an answer. It is heard
// first on the pluck under 32, louder than the arpeggio around it; slowly in
// the breakdown; then in each bar of the first drop. The second drop sings it
// in thirds with an octave doubled over it, and climbs past the first drop's
// top note.
std::vector<Phrase> tunePhrases() {
    using Role = TuneNote::Role;
    std::vector<Phrase> phrases = {
        {48,
         {{0, 76, 3}, {3, 74, 3}, {6, 72, 2}, {8, 74, 3}, {11, 72, 3}, {14, 71, 2}},
         Part::Pluck,
         Role::Melody,
         1.0},
        {56, {{0, 72, 3}, {3, 69, 3}, {6, 72, 2}}, Part::Pluck, Role::Melody, 1.0},
        {100,
         {{0, 76, 3}, {3, 74, 3}, {6, 72, 2}, {8, 69, 6}, {14, 76, 3}, {17, 79, 3}, {20, 74, 2}, {22, 71, 10},
          {32, 74, 3}, {35, 72, 3}, {38, 71, 2}, {40, 74, 4}},
         Part::Lead,
         Role::Melody,
         0.5},
    };
    const std::vector<std::pair<double, std::vector<Note>>> firstDrop = {
        {144, {{0, 76, 3}, {3, 74, 3}, {6, 72, 2}, {8, 74, 4}, {12, 72, 2}, {14, 71, 2}}},
        {160, {{0, 72, 3}, {3, 69, 3}, {6, 72, 2}, {8, 77, 4}, {12, 76, 2}, {14, 74, 2}}},
        {176, {{0, 76, 3}, {3, 79, 3}, {6, 76, 2}, {8, 74, 4}, {12, 72, 2}, {14, 74, 2}}},
        {192, {{0, 74, 3}, {3, 71, 3}, {6, 74, 2}, {8, 79, 4}, {12, 76, 2}, {14, 74, 2}}},
        {208, {{0, 72, 3}, {3, 71, 3}, {6, 69, 8}}},
    };
    for (const auto& [bar, notes] : firstDrop)
        phrases.push_back({bar, notes, Part::Lead, Role::Melody, 0.75});
    const std::vector<std::pair<double, std::vector<Note>>> secondDrop = {
        {secondPassSixteenth, {{0, 76, 3}, {3, 74, 3}, {6, 72, 2}, {8, 76, 4}, {12, 79, 2}, {14, 81, 2}}},
        {248, {{0, 81, 3}, {3, 79, 3}, {6, 77, 2}, {8, 81, 4}, {12, 84, 4}}},
        {264, {{0, 83, 3}, {3, 81, 3}, {6, 79, 2}, {8, 83, 4}, {12, 86, 4}}},
    };
    for (const auto& [bar, notes] : secondDrop) {
        phrases.push_back({bar, notes, Part::Lead, Role::Melody, 0.9});
        phrases.push_back({bar, thirdsUnder(notes), Part::Lead, Role::Harmony, 0.7});
        phrases.push_back({bar, octaveUp(notes), Part::Lead, Role::Doubling, 0.8});
    }
    return phrases;
}

} // namespace

std::vector<TuneNote> tune() {
    TempoMap tempo = trackTempo();
    std::vector<TuneNote> notes;
    for (const Phrase& phrase : tunePhrases())
        for (const Note& note : phrase.notes) {
            double sixteenth = phrase.bar + note.sixteenth;
            notes.push_back({sixteenth, tempo.time(sixteenth), note.pitch, phrase.role});
        }
    std::stable_sort(notes.begin(), notes.end(),
                     [](const TuneNote& a, const TuneNote& b) { return a.sixteenth < b.sixteenth; });
    return notes;
}

std::vector<ChordChange> chordChanges() {
    TempoMap tempo = trackTempo();
    std::vector<ChordChange> changes;
    for (const Change& change : harmony) {
        std::vector<int> pitchClasses;
        for (int note : padVoicing(change.chord))
            if (std::find(pitchClasses.begin(), pitchClasses.end(), note % 12) == pitchClasses.end())
                pitchClasses.push_back(note % 12);
        changes.push_back({tempo.time(change.sixteenth), pitchClasses});
    }
    return changes;
}

namespace {

// How far the render has come, for a bar that moves: the shares of the
// steps are what they take of the whole render.
struct RenderProgress {
    const std::function<void(double)>& report;
    void reached(double done) const {
        if (report)
            report(done);
    }
};

// One stem per group of instruments, so each gets its own level, sends and
// ducking under the kick.
struct Stems {
    explicit Stems(size_t frames)
        : kick(frames), snare(frames), hats(frames), cymbals(frames), effects(frames), bass(frames), pad(frames),
          arpeggio(frames), lead(frames), stabs(frames), sweeps(frames) {}
    StereoBuffer kick, snare, hats, cymbals, effects, bass, pad, arpeggio, lead, stabs, sweeps;
    std::vector<double> kickTimes;
    std::vector<double> sectionHits;
};

class Composer {
public:
    Composer(Stems& stems) : stems(stems), tempo(trackTempo()) {}

    void compose(const RenderProgress& progress) {
        openingDrums();
        progress.reached(0.12);
        breakDrums();
        progress.reached(0.24);
        digitRowDrums();
        progress.reached(0.52);
        bassLine();
        progress.reached(0.54);
        pads();
        progress.reached(0.65);
        arpeggio();
        progress.reached(0.70);
        stabsAndHits();
        progress.reached(0.74);
        melody();
        progress.reached(0.79);
    }

private:
    double at(double sixteenth) const { return tempo.time(sixteenth); }

    // Whether a note here would fall in the breath before a cue.
    bool inBreath(double sixteenth) const {
        for (const TempoMap::Anchor& cue : tempo.anchors)
            if (sixteenth >= cue.sixteenth - 1 && sixteenth < cue.sixteenth)
                return true;
        return false;
    }

    void kickAt(double sixteenth, double velocity) {
        kick(stems.kick, at(sixteenth), velocity);
        stems.kickTimes.push_back(at(sixteenth));
    }

    void snareAt(double sixteenth, double velocity) {
        snare(stems.snare, at(sixteenth), velocity);
    }

    void backbeat(double sixteenth, double velocity) {
        snare(stems.snare, at(sixteenth), velocity);
        clap(stems.snare, at(sixteenth), velocity * 0.8);
    }

    void crashAt(double sixteenth, double velocity) {
        crash(stems.cymbals, at(sixteenth), velocity);
    }

    // The sections open on two crashes, one a little late and to the side,
    // so the hit rings over any snare.
    void sectionCrash(double sixteenth) {
        stems.sectionHits.push_back(at(sixteenth));
        crash(stems.cymbals, at(sixteenth), 4.0);
        crash(stems.cymbals, at(sixteenth) + 0.004, 1.2);
    }

    // Four on the floor, backbeat on 2 and 4, a ride on the beats, sixteenth
    // hats with an open hat on every off-beat. Before a cue the last hat is
    // left out: the breath makes the hit on the cue stand out.
    void grooveBar(double bar, double intensity, bool cueFollows = false) {
        for (int beat = 0; beat < 4; ++beat) {
            kickAt(bar + beat * 4, 1.0);
            ride(stems.hats, at(bar + beat * 4), 0.8 * intensity, 0.4);
        }
        backbeat(bar + 4, 0.8 * intensity);
        backbeat(bar + 12, 0.8 * intensity);
        hatsBar(bar, intensity, cueFollows ? 15 : 16);
    }

    // Sixteenth hats, open on the off-beats; the backbeats are left to the
    // snare and the ride, so a section's crash stands above them.
    void hatsBar(double bar, double intensity, int steps) {
        for (int step = 0; step < steps; ++step) {
            double pan = (step % 2) ? 0.25 : -0.15;
            if (step == 4 || step == 12)
                continue;
            if (step % 4 == 2)
                openHat(stems.hats, at(bar + step), 0.6 * intensity, 0.3);
            else
                closedHat(stems.hats, at(bar + step), (step % 2 ? 0.4 : 0.45) * intensity, pan);
        }
    }

    void fill(double from, double to, double startVelocity, double endVelocity) {
        for (double step = from; step < to; ++step) {
            double u = (step - from) / std::max(1.0, to - from - 1);
            snareAt(step, startVelocity + (endVelocity - startVelocity) * u);
        }
    }

    void openingDrums() {
        // Intro: one soft hit to open the show.
        kickAt(0, 0.9);
        crashAt(0, 0.35);

        // BEGIN: half-time, the backbeat on 3 as the word dissolves.
        kickAt(16, 1.0);
        crashAt(16, 0.5);
        kickAt(22, 0.7);
        backbeat(24, 1.1);
        kickAt(26, 0.8);
        for (int step = 18; step < 32; step += 2)
            closedHat(stems.hats, at(step), 0.3, step % 4 ? 0.25 : -0.2);
        snareAt(29, 0.25);
        snareAt(30, 0.35);

        // 14: the bass comes in; the push on the last sixteenth of beat 2.
        kickAt(32, 1.0);
        crashAt(32, 0.55);
        kickAt(36, 0.9);
        kickAt(39, 1.0);
        backbeat(39, 1.0);
        kickAt(44, 0.9);
        snareAt(45, 0.3);
        snareAt(46, 0.45);
        for (int step = 33; step < 47; ++step)
            if (step != 39 && step != 40)
                closedHat(stems.hats, at(step), step % 2 ? 0.22 : 0.32, step % 2 ? 0.25 : -0.15);

        // 32: the full groove, and a one-beat fill into 158.
        crashAt(48, 0.8);
        grooveBar(48, 1.0);
        kickAt(64, 0.9);
        fill(64, 66, 0.5, 0.8);
    }

    void breakDrums() {
        // The break: 158 flies in, 32 is blown apart, 158 dissolves, then a
        // roll back into the groove.
        kickAt(68, 1.0);
        crashAt(68, 0.8);
        kickAt(72, 1.0);
        crashAt(72, 0.9);
        kickAt(74, 0.9);
        backbeat(74, 1.1);
        for (double step : {76.0, 78.0})
            snareAt(step, 0.35);
        fill(80, 82, 0.5, 0.8);

        // 271: the groove again; 271 streams away on the backbeat of beat 4.
        crashAt(84, 0.8);
        grooveBar(84, 1.0, true);
        kickAt(96, 0.9);
        clap(stems.snare, at(96), 0.8);
        openHat(stems.hats, at(96), 0.5, -0.3);

        // The breakdown under 10^6 and 10^12431: only the cues are struck.
        kickAt(100, 1.0);
        crashAt(100, 0.7);
        backbeat(103, 0.9);
        for (int step = 104; step < 120; step += 2)
            if (step != 114)
                closedHat(stems.hats, at(step), 0.25, step % 4 ? 0.3 : -0.3);
        kickAt(114, 1.0);
        crashAt(114, 0.75);
        kickAt(120, 0.9);
        tomDrop(stems.snare, at(120), 0.9);

        // The build into the digit row: the snare doubles its pace twice.
        for (int step = 124; step < 144; step += 4)
            kickAt(step, 0.8);
        for (int step = 124; step < 132; step += 4)
            snareAt(step, 0.35);
        for (int step = 132; step < 136; step += 2)
            snareAt(step, 0.45);
        fill(136, 142, 0.4, 0.9);
    }

    void digitRowDrums() {
        // The digit row: five bars of groove, a two-beat fill, three more bars.
        for (int bar = 144; bar < 224; bar += 16) {
            if (bar == firstPassSixteenth)
                sectionCrash(bar);
            else if (bar == 208)
                crashAt(bar, 0.9);
            grooveBar(bar, 1.0);
        }
        kickAt(224, 1.0);
        fill(224, 230, 0.45, 0.9);
        hatsBar(224, 0.8, 7);
        for (int bar = 232; bar < finalSixteenth; bar += 16) {
            if (bar == secondPassSixteenth)
                sectionCrash(bar);
            else
                crashAt(bar, 0.7);
            grooveBar(bar, 1.15, bar + 16 == finalSixteenth);
        }

        // The closing hit.
        kickAt(finalSixteenth, 1.0);
        sectionCrash(finalSixteenth);
    }

    // Two sixteenths after every beat: the bass gallops between the kicks.
    void gallop(double from, double to, double velocity) {
        for (double beat = from; beat < to; beat += 4) {
            Chord chord = chordAt(beat);
            int root = bassRoot(chord);
            bool lastBeat = std::fmod(beat, 16.0) == 12.0;
            double length2 = at(beat + 3) - at(beat + 2);
            double length3 = at(beat + 4) - at(beat + 3);
            bassNote(stems.bass, at(beat + 2), length2 * 0.8, lastBeat ? root + 12 : root, velocity);
            bassNote(stems.bass, at(beat + 3), length3 * 0.8, root, velocity * 0.85);
        }
    }

    void held(double from, double to, int note, double velocity) {
        bassNote(stems.bass, at(from), at(to) - at(from) - 0.02, note, velocity);
    }

    void bassLine() {
        held(32, 36, bassRoot(Chord::C), 1.0);
        held(36, 39, bassRoot(Chord::C), 0.8);
        held(39, 44, bassRoot(Chord::G), 1.0);
        held(44, 48, bassRoot(Chord::G) + 12, 0.8);
        gallop(48, 64, 1.0);
        held(64, 68, bassRoot(Chord::G), 0.9);
        held(68, 72, bassRoot(Chord::Am), 1.0);
        held(72, 74, bassRoot(Chord::F), 1.0);
        held(74, 84, bassRoot(Chord::G), 0.9);
        gallop(84, 100, 1.0);
        // The breakdown leaves the low end to the hits; the bass returns with
        // the build.
        held(120, 128, bassRoot(Chord::G), 0.9);
        for (double step = 128; step < 136; step += 2)
            held(step, step + 1.6, bassRoot(Chord::G), 0.9);
        for (double step = 136; step < 144; ++step)
            held(step, step + 0.8, bassRoot(Chord::G) + (step >= 140 ? 12 : 0), 0.9);
        gallop(144, 224, 1.0);
        held(224, 232, bassRoot(Chord::G), 0.9);
        gallop(232, finalSixteenth, 1.1);
        // The last note lasts into the fade, so the low end closes with it.
        bassNote(stems.bass, at(finalSixteenth), finalRing, bassRoot(Chord::Am), 1.0);
    }

    // Each chord stops short when the next begins, so chords never smear;
    // only the closing chord rings on into the fade. The second pass adds the
    // chords an octave up for a brighter layer.
    void pads() {
        const double release = 0.2;
        const size_t count = sizeof harmony / sizeof harmony[0];
        for (size_t i = 0; i + 1 < count; ++i) {
            double sixteenth = harmony[i].sixteenth;
            double from = at(sixteenth);
            double to = at(harmony[i + 1].sixteenth) - release;
            double attack = i == 0 ? 1.2 : 0.02;
            std::vector<int> voicing = padVoicing(harmony[i].chord);
            // The pad carries the opening, where little else holds a chord.
            double velocity = sixteenth < 100 ? 1.4 : sixteenth < 120 ? 0.6 : 0.9;
            padChord(stems.pad, from, to - from, voicing, velocity, attack, release);
            if (sixteenth >= secondPassSixteenth)
                padChord(stems.pad, from, to - from, transposed(voicing, 12), 1.3, attack, release);
        }
        padChord(stems.pad, finalChord, finalRing, padVoicing(Chord::Am), 1.0, 0.02, finalRing * 0.6);
        padChord(stems.pad, finalChord, finalRing, transposed(padVoicing(Chord::Am), 12), 0.6, 0.02, finalRing * 0.6);
    }

    void arpeggioRun(double from, double to, double startVelocity, double endVelocity) {
        const int pattern[] = {0, 1, 2, 3, 4, 3, 2, 1};
        for (double step = from; step < to; ++step) {
            if (inBreath(step))
                continue;
            std::vector<int> tones = arpeggioTones(chordAt(step));
            int index = pattern[int(step) % 8];
            double u = (step - from) / std::max(1.0, to - from);
            double accent = int(step) % 4 == 0 ? 1.0 : 0.8;
            double pan = 0.5 * std::sin(step * 0.4);
            pluck(stems.arpeggio, at(step), tones[index], (startVelocity + (endVelocity - startVelocity) * u) * accent,
                  pan);
        }
    }

    void arpeggio() {
        arpeggioRun(0, 48, 0.25, 0.7);
        // Under 32 the arpeggio steps back for the hook's first statement.
        arpeggioRun(48, 68, 0.45, 0.45);
        arpeggioRun(84, 100, 0.8, 0.8);
        arpeggioRun(104, 120, 0.2, 0.3);
        arpeggioRun(120, 144, 0.4, 0.9);
        arpeggioRun(144, 224, 0.6, 0.6);
        arpeggioRun(232, finalSixteenth, 1.0, 1.0);
    }

    // Stabs sit an octave over the pad, clear of the chords they punctuate.
    void stabAt(double sixteenth, double velocity) {
        stab(stems.stabs, at(sixteenth), transposed(padVoicing(chordAt(sixteenth)), 12), velocity);
    }

    void stabsAndHits() {
        // A chord hit opens every section and marks every cue between them.
        for (double section : {32.0, 48.0, 68.0, 84.0, 100.0, 144.0, 232.0, finalSixteenth})
            stabAt(section, 1.0);
        for (double cue : {24.0, 39.0, 72.0, 74.0, 96.0, 103.0, 114.0, 120.0})
            stabAt(cue, 0.8);

        impact(stems.effects, at(68), 0.5);
        riser(stems.sweeps, at(68), at(71), 0.7);
        impact(stems.effects, at(72), 1.0);
        riser(stems.sweeps, at(74), at(83), 0.8);
        impact(stems.effects, at(114), 0.6);
        riser(stems.sweeps, at(120), at(143), 0.9);
        impact(stems.effects, at(144), 0.7);
        impact(stems.effects, at(232), 0.6);
        impact(stems.effects, at(finalSixteenth), 0.9);
    }

    void melody() {
        for (const Phrase& phrase : tunePhrases())
            for (const Note& note : phrase.notes) {
                double from = at(phrase.bar + note.sixteenth);
                if (phrase.part == Part::Pluck) {
                    pluck(stems.arpeggio, from, note.pitch, phrase.velocity, 0.0);
                } else {
                    double to = at(phrase.bar + note.sixteenth + note.length);
                    leadNote(stems.lead, from, (to - from) * 0.92, note.pitch, phrase.velocity);
                }
            }
        leadNote(stems.lead, finalChord, finalRing * 0.5, 81, 0.7);
    }

    Stems& stems;
    TempoMap tempo;
};

// How far a stem dips under each hit: under the kicks, so the low end and
// the pad never blur the kick's attack; under the section hits, so their
// crashes ring out over the band.
void duck(StereoBuffer& stem, const std::vector<double>& hits, double depth) {
    const double recovery = 0.11;
    const double dip = 0.004;
    std::vector<double> sortedKicks = hits;
    std::sort(sortedKicks.begin(), sortedKicks.end());
    size_t next = 0;
    double lastKick = -1e9;
    for (size_t i = 0; i < stem.frames(); ++i) {
        double t = double(i) / sampleRate;
        while (next < sortedKicks.size() && sortedKicks[next] <= t)
            lastKick = sortedKicks[next++];
        double since = t - lastKick;
        double amount = since < dip ? since / dip : std::exp(-(since - dip) / recovery);
        double gain = 1.0 - depth * amount;
        stem.left[i] = float(stem.left[i] * gain);
        stem.right[i] = float(stem.right[i] * gain);
    }
}

// Before every cue the band takes a breath: for the last sixteenth the
// stem falls by `depth` (1 is silence), so the hit on the cue lands in a gap
// and stands out.
void breathe(StereoBuffer& stem, const TempoMap& tempo, double depth) {
    // The band fades out over a few milliseconds and comes back over two
    // from the cue, so that a note held through the breath does not click.
    const double fade = 0.006;
    const double rise = 0.002;
    for (size_t a = 1; a < tempo.anchors.size(); ++a) {
        double cue = tempo.anchors[a].time;
        double from = tempo.time(tempo.anchors[a].sixteenth - 1.0);
        for (size_t i = frameAt(from); i < frameAt(cue + rise) && i < stem.frames(); ++i) {
            double t = double(i) / sampleRate;
            double amount = t < cue ? std::min(1.0, (t - from) / fade) : std::max(0.0, 1.0 - (t - cue) / rise);
            double gain = 1.0 - depth * amount;
            stem.left[i] = float(stem.left[i] * gain);
            stem.right[i] = float(stem.right[i] * gain);
        }
    }
}

struct StemMix {
    StereoBuffer* stem;
    double gainDb;
    double reverbSend;
    double delaySend;
};

} // namespace

StereoBuffer renderTrack(const std::function<void(double)>& report) {
    RenderProgress progress{report};
    const size_t frames = frameAt(trackLength);
    Stems stems(frames);
    Composer(stems).compose(progress);

    duck(stems.bass, stems.kickTimes, 0.7);
    duck(stems.pad, stems.kickTimes, 0.3);
    duck(stems.arpeggio, stems.kickTimes, 0.25);
    for (StereoBuffer* stem : {&stems.hats, &stems.snare, &stems.pad, &stems.arpeggio, &stems.lead})
        duck(*stem, stems.sectionHits, 0.7);

    // The pad takes no room: a tail of it would carry each chord into the next.
    const StemMix mix[] = {
        {&stems.kick, -3.0, 0.0, 0.0},       {&stems.snare, -4.0, 0.25, 0.0},
        {&stems.hats, 1.0, 0.08, 0.0},       {&stems.cymbals, 0.0, 0.15, 0.0},
        {&stems.effects, -6.0, 0.35, 0.0},   {&stems.bass, -2.0, 0.0, 0.0},
        {&stems.pad, -2.0, 0.0, 0.0},        {&stems.arpeggio, -7.0, 0.15, 0.0},
        {&stems.lead, -4.0, 0.08, 0.0},      {&stems.stabs, -6.0, 0.25, 0.1},
        {&stems.sweeps, -6.0, 0.1, 0.0},
    };

    TempoMap tempo = trackTempo();
    StereoBuffer master(frames);
    StereoBuffer reverbSend(frames);
    StereoBuffer delaySend(frames);
    for (const StemMix& stem : mix) {
        if (stem.stem != &stems.kick)
            breathe(*stem.stem, tempo, 0.92);
        double gain = gainOf(stem.gainDb);
        master.mix(*stem.stem, gain);
        reverbSend.mix(*stem.stem, gain * stem.reverbSend);
        delaySend.mix(*stem.stem, gain * stem.delaySend);
    }

    // Dotted eighths at the drop's 120 beats per minute for the stabs alone,
    // so no echo carries a chord into the next, and a room whose
    // input leaves the low end alone; both hold their breath before the cues
    // with the band.
    StereoBuffer returns(frames);
    StereoBuffer echoes(frames);
    pingPongDelay(delaySend, echoes, 0.375, 0.45, 1.0);
    returns.mix(echoes, 0.6);
    reverbSend.mix(echoes, 0.3);
    const double reverbLowCut = 250.0;
    progress.reached(0.88);
    Reverb(0.45, 0.5, reverbLowCut).process(reverbSend, returns, 3.0);
    progress.reached(0.92);
    // The room keeps a little of its tail through the breath.
    breathe(returns, tempo, 0.8);
    master.mix(returns, 1.0);

    const double masterGainDb = -8.0;
    const double masterGain = gainOf(masterGainDb);
    // Below 28 Hz there is nothing to hear, only headroom to lose (and DC).
    const double lowCut = 28.0;
    Svf leftCut, rightCut;
    for (size_t i = 0; i < frames; ++i) {
        master.left[i] = float(leftCut.process(master.left[i], lowCut, butterworthResonance).high * masterGain);
        master.right[i] = float(rightCut.process(master.right[i], lowCut, butterworthResonance).high * masterGain);
    }
    progress.reached(0.93);
    limitTruePeak(master, -3.0, 0.08);

    // The closing chord rings out, bass and all, and the last second fades to
    // a silence that holds for the track's final moment.
    const double fadeLength = 1.2;
    const double silence = 0.15;
    const double fadeStart = trackLength - silence - fadeLength;
    for (size_t i = frameAt(fadeStart); i < frames; ++i) {
        double u = (double(i) / sampleRate - fadeStart) / fadeLength;
        double gain = 0.5 + 0.5 * std::cos(pi * std::min(1.0, u));
        master.left[i] = float(master.left[i] * gain);
        master.right[i] = float(master.right[i] * gain);
    }
    progress.reached(1.0);
    return master;
}

} // namespace soundtrack
