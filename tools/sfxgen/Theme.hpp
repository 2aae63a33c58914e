#pragma once

#include "Layer.hpp"
#include "Oscillator.hpp"
#include "Pitch.hpp"

#include <map>
#include <string>
#include <vector>

namespace sfxgen {

// A pitched instrument of a theme: detunable oscillators through a low-pass filter with its own
// envelope, an ADSR amplitude envelope, optional FM (electric pianos, bells) and delayed
// vibrato. `low` and `rootVoicing` place chord-relative notes (see chordTone).
struct Instrument {
    std::string name;
    Wave wave = Wave::Sine;
    double duty = 0.5;
    int voices = 1;
    double detune = 0.0; // cents between the outermost voices
    double attack = 0.005;
    double decay = 0.3;
    double sustain = 0.7;
    double release = 0.15;
    double cutoff = 20000.0;
    double q = 0.707;
    double filterEnvelope = 0.0; // octaves the cutoff opens at the start of a note
    double filterDecay = 0.2;
    double vibratoRate = 5.0;
    double vibratoDepth = 0.0; // semitones
    double vibratoDelay = 0.2;
    double fmRatio = 0.0;
    double fmIndex = 0.0;
    double fmDecay = 0.0; // 0: the index stays
    double drive = 0.0;
    double gate = 0.92; // share of its written length a note is held before it is released
    int low = 48;       // lowest note of the chord voicing
    bool rootVoicing = false;
    int transpose = 0;
    double gain = 0.5;
    double pan = 0.0;
    double haas = 0.0; // seconds the right channel lags, for width
    double reverb = 0.0;
    double echo = 0.0;
};

// A drum: a one-shot made of effect layers, rendered once and replayed at every hit.
struct Drum {
    std::string name;
    std::vector<Layer> layers;
    double gain = 1.0;
    double pan = 0.0;
    double reverb = 0.0;
    double echo = 0.0;
};

struct ChordSpan {
    Chord chord;
    double beats = 4.0;
};

struct Progression {
    std::vector<ChordSpan> chords;
    double beats = 0.0;
};

// One step of a pattern. A Note is an absolute MIDI note; a ChordTone is the index-th tone of
// the chord playing at that moment, shifted by whole octaves; WholeChord sounds every tone.
struct Step {
    enum class Kind { Rest, Hold, Note, ChordTone, WholeChord, Hit };
    Kind kind = Kind::Rest;
    int value = 0;
    int octaves = 0;
    float velocity = 1.0f;
};

struct PatternRow {
    std::string drum; // empty for a melodic pattern
    std::vector<Step> steps;
};

struct Pattern {
    std::string instrument; // empty for a drum pattern
    int grid = 16;          // steps per bar
    int transpose = 0;
    std::vector<PatternRow> rows;
    int bars = 0;
};

// A stretch of the song: `play` patterns repeat over it; a `first` or `last` pattern replaces
// the patterns of its instrument (or the drums) in the section's first or last bars, for
// fills and crashes.
struct Section {
    int bars = 4;
    std::string progression;
    std::vector<std::string> play;
    std::vector<std::string> first;
    std::vector<std::string> last;
};

struct Theme {
    double tempo = 120.0;
    int meter = 4; // beats per bar
    double room = 0.6;
    double damp = 0.4;
    double reverbLevel = 1.0;
    double echoBeats = 0.75;
    double echoFeedback = 0.35;
    double echoCutoff = 3500.0;
    double peakDecibels = -1.0;
    std::vector<Instrument> instruments;
    std::vector<Drum> drums;
    std::map<std::string, Progression> progressions;
    std::map<std::string, Pattern> patterns;
    std::map<std::string, Section> sections;
    std::vector<std::string> song;
};

// `lines` must start with the `theme` statement. Every name a section or pattern uses must be
// defined; every pattern must fill whole bars.
Theme parseTheme(const std::vector<DescriptionLine>& lines);

} // namespace sfxgen
