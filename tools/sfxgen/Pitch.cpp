#include "Pitch.hpp"

#include <algorithm>
#include <cmath>
#include <map>

namespace sfxgen {
namespace {

std::optional<int> letterClass(char letter) {
    switch (letter) {
    case 'C':
        return 0;
    case 'D':
        return 2;
    case 'E':
        return 4;
    case 'F':
        return 5;
    case 'G':
        return 7;
    case 'A':
        return 9;
    case 'B':
        return 11;
    default:
        return std::nullopt;
    }
}

// Reads the root letter and accidental at the start of `text`; returns the pitch class (-1 for
// Cb, 12 for B#, so notes keep their written octave) and how many characters it used.
std::optional<std::pair<int, std::size_t>> readRoot(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const auto base = letterClass(text[0]);
    if (!base) {
        return std::nullopt;
    }
    int pitchClass = *base;
    std::size_t used = 1;
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        pitchClass += text[1] == '#' ? 1 : -1;
        used = 2;
    }
    return std::make_pair(pitchClass, used);
}

} // namespace

std::optional<int> noteNumber(const std::string& name) {
    const auto root = readRoot(name);
    if (!root) {
        return std::nullopt;
    }
    const std::string octaveText = name.substr(root->second);
    if (octaveText.empty() || octaveText.size() > 2) {
        return std::nullopt;
    }
    int octave = 0;
    bool negative = false;
    std::size_t i = 0;
    if (octaveText[0] == '-') {
        negative = true;
        i = 1;
    }
    if (i + 1 != octaveText.size() || octaveText[i] < '0' || octaveText[i] > '9') {
        return std::nullopt;
    }
    octave = (octaveText[i] - '0') * (negative ? -1 : 1);
    return (octave + 1) * 12 + root->first;
}

double noteFrequency(double noteNumber) {
    return 440.0 * std::pow(2.0, (noteNumber - 69.0) / 12.0);
}

std::optional<Chord> parseChord(const std::string& symbol) {
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},
        {"7", {0, 4, 7, 10}},      {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}},   {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},       {"dim", {0, 3, 6}},
        {"aug", {0, 4, 8}},        {"6", {0, 4, 7, 9}},
        {"m6", {0, 3, 7, 9}},      {"add9", {0, 4, 7, 14}},
        {"m9", {0, 3, 7, 10, 14}}, {"maj9", {0, 4, 7, 11, 14}},
        {"7sus4", {0, 5, 7, 10}},
    };
    const auto root = readRoot(symbol);
    if (!root) {
        return std::nullopt;
    }
    const auto quality = qualities.find(symbol.substr(root->second));
    if (quality == qualities.end()) {
        return std::nullopt;
    }
    return Chord{(root->first % 12 + 12) % 12, quality->second};
}

int chordTone(const Chord& chord, int index, int low, bool rootVoicing) {
    std::vector<int> tones;
    if (rootVoicing) {
        const int root = low + ((chord.root - low) % 12 + 12) % 12;
        for (const int interval : chord.intervals) {
            tones.push_back(root + interval);
        }
    } else {
        for (const int interval : chord.intervals) {
            const int pitchClass = (chord.root + interval) % 12;
            tones.push_back(low + ((pitchClass - low) % 12 + 12) % 12);
        }
    }
    std::sort(tones.begin(), tones.end());
    tones.erase(std::unique(tones.begin(), tones.end()), tones.end());
    const int count = static_cast<int>(tones.size());
    const int octave = index >= 0 ? index / count : -((-index + count - 1) / count);
    return tones[index - octave * count] + 12 * octave;
}

} // namespace sfxgen
