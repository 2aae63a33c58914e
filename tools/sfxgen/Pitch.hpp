#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sfxgen {

// Note names follow scientific pitch: "A4" is MIDI note 69 (440 Hz), "C4" is 60; a sharp is
// written '#', a flat 'b' ("Bb3", "F#5"). Octaves run from -1 to 9.
std::optional<int> noteNumber(const std::string& name);

// Equal temperament with A4 = 440 Hz; fractional note numbers bend between semitones.
double noteFrequency(double noteNumber);

// A chord symbol: root letter with optional accidental, then a quality such as "m", "7", "m7",
// "maj7", "sus2", "sus4", "dim", "aug", "6", "m6", "add9", "m9", "maj9" ("" is a major triad).
struct Chord {
    int root = 0; // pitch class, C = 0
    std::vector<int> intervals;
};
std::optional<Chord> parseChord(const std::string& symbol);

// The MIDI note of the index-th tone (0 is the lowest) of `chord`, voiced upwards from `low`:
// either all tones packed into the octave from `low` (close), or the root first at or above
// `low` with the other tones stacked on it (root). Indices past the chord climb by octaves.
int chordTone(const Chord& chord, int index, int low, bool rootVoicing);

} // namespace sfxgen
