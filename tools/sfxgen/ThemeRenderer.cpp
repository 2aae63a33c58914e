#include "ThemeRenderer.hpp"

#include "Echo.hpp"
#include "InstrumentVoice.hpp"
#include "Looped.hpp"
#include "Reverb.hpp"

#include <cmath>

namespace sfxgen {
namespace {

// Long enough for the echo and the reverb to fall silent (below -100 dB).
constexpr double settleSeconds = 12.0;
// How much of the echo is also sent into the room.
constexpr float echoIntoReverb = 0.3f;

// Where one pattern plays inside a section: the section's bar and the pattern's bar.
struct Placement {
    int sectionBar;
    int patternBar;
};

struct Sends {
    float gain;
    double pan;
    double haas;
    double reverb;
    double echo;
};

class ThemeRenderer {
public:
    explicit ThemeRenderer(const Theme& theme);

    Rendering render();

private:
    void renderSection(const Section& section, double startBeat);
    void playPattern(const Section& section, const Pattern& pattern,
                     const std::vector<Placement>& placements, double startBeat);
    void playNote(const Section& section, const Pattern& pattern, const Step& step,
                  double sectionBeat, double beats, double startBeat);
    void mix(const std::vector<float>& sound, double seconds, const Sends& sends);
    const Chord& chordAt(const Section& section, double sectionBeat) const;
    const Instrument& instrument(const std::string& name) const;

    const Theme& mTheme;
    double mSecondsPerBeat;
    std::size_t mLength = 0;
    std::vector<float> mLeft, mRight, mReverbSend, mEchoSend;
    std::map<std::string, std::vector<float>> mDrumSounds;
    std::vector<float> mScratch;
    std::uint32_t mNoteCount = 0;
};

ThemeRenderer::ThemeRenderer(const Theme& theme)
    : mTheme(theme), mSecondsPerBeat(60.0 / theme.tempo) {
    int bars = 0;
    for (const std::string& name : theme.song) {
        bars += theme.sections.at(name).bars;
    }
    mLength =
        static_cast<std::size_t>(std::llround(bars * theme.meter * mSecondsPerBeat * sampleRate));
    for (auto* bus : {&mLeft, &mRight, &mReverbSend, &mEchoSend}) {
        bus->assign(mLength, 0.0f);
    }
    for (const Drum& drum : theme.drums) {
        std::vector<float>& sound = mDrumSounds[drum.name];
        for (const Layer& layer : drum.layers) {
            const std::vector<float> voice = renderLayer(layer, sampleRate);
            const auto offset = static_cast<std::size_t>(layer.start * sampleRate);
            sound.resize(std::max(sound.size(), offset + voice.size()), 0.0f);
            for (std::size_t i = 0; i < voice.size(); ++i) {
                sound[offset + i] += voice[i];
            }
        }
    }
}

const Instrument& ThemeRenderer::instrument(const std::string& name) const {
    for (const Instrument& in : mTheme.instruments) {
        if (in.name == name) {
            return in;
        }
    }
    return mTheme.instruments.front(); // the parser has checked every name
}

const Chord& ThemeRenderer::chordAt(const Section& section, double sectionBeat) const {
    const Progression& progression = mTheme.progressions.at(section.progression);
    double position = std::fmod(sectionBeat + 1e-6, progression.beats);
    for (const ChordSpan& span : progression.chords) {
        if (position < span.beats) {
            return span.chord;
        }
        position -= span.beats;
    }
    return progression.chords.back().chord;
}

void ThemeRenderer::mix(const std::vector<float>& sound, double seconds, const Sends& sends) {
    const auto start = static_cast<std::size_t>(std::llround(seconds * sampleRate));
    const auto lag = static_cast<std::size_t>(sends.haas * sampleRate);
    const double angle = (sends.pan + 1.0) * M_PI / 4.0;
    const auto left = static_cast<float>(std::cos(angle) * sends.gain);
    const auto right = static_cast<float>(std::sin(angle) * sends.gain);
    const auto reverb = static_cast<float>(sends.reverb * sends.gain);
    const auto echo = static_cast<float>(sends.echo * sends.gain);
    for (std::size_t i = 0; i < sound.size(); ++i) {
        const std::size_t at = (start + i) % mLength;
        mLeft[at] += sound[i] * left;
        mRight[(at + lag) % mLength] += sound[i] * right;
        mReverbSend[at] += sound[i] * reverb;
        mEchoSend[at] += sound[i] * echo;
    }
}

void ThemeRenderer::playNote(const Section& section, const Pattern& pattern, const Step& step,
                             double sectionBeat, double beats, double startBeat) {
    const Instrument& in = instrument(pattern.instrument);
    const int shift = in.transpose + pattern.transpose + 12 * step.octaves;
    std::vector<int> notes;
    if (step.kind == Step::Kind::Note) {
        notes.push_back(step.value + shift);
    } else {
        const Chord& chord = chordAt(section, sectionBeat);
        if (step.kind == Step::Kind::ChordTone) {
            notes.push_back(chordTone(chord, step.value, in.low, in.rootVoicing) + shift);
        } else {
            for (std::size_t k = 0; k < chord.intervals.size(); ++k) {
                notes.push_back(chordTone(chord, static_cast<int>(k), in.low, in.rootVoicing) +
                                shift);
            }
        }
    }
    const double held = beats * mSecondsPerBeat * in.gate;
    const Sends sends{static_cast<float>(in.gain * step.velocity), in.pan, in.haas, in.reverb,
                      in.echo};
    for (const int note : notes) {
        renderNote(in, noteFrequency(note), held, ++mNoteCount, mScratch);
        mix(mScratch, (startBeat + sectionBeat) * mSecondsPerBeat, sends);
    }
}

// Steps turn into notes here: a note lasts through the '-' steps after it, across bar lines,
// until a rest, another note, or a bar where the pattern does not play.
void ThemeRenderer::playPattern(const Section& section, const Pattern& pattern,
                                const std::vector<Placement>& placements, double startBeat) {
    const double stepBeats = static_cast<double>(mTheme.meter) / pattern.grid;
    for (const PatternRow& row : pattern.rows) {
        const Drum* drum = nullptr;
        for (const Drum& candidate : mTheme.drums) {
            drum = candidate.name == row.drum ? &candidate : drum;
        }
        const Step* pending = nullptr;
        double pendingBeat = 0.0;
        double pendingBeats = 0.0;
        const auto flush = [&] {
            if (pending) {
                playNote(section, pattern, *pending, pendingBeat, pendingBeats, startBeat);
            }
            pending = nullptr;
        };
        int previousBar = -2;
        for (const Placement& place : placements) {
            if (place.sectionBar != previousBar + 1) {
                flush();
            }
            previousBar = place.sectionBar;
            for (int s = 0; s < pattern.grid; ++s) {
                const Step& step = row.steps[place.patternBar * pattern.grid + s];
                const double beat = place.sectionBar * mTheme.meter + s * stepBeats;
                if (drum) {
                    if (step.kind == Step::Kind::Hit) {
                        mix(mDrumSounds.at(drum->name), (startBeat + beat) * mSecondsPerBeat,
                            {static_cast<float>(drum->gain * step.velocity), drum->pan, 0.0,
                             drum->reverb, drum->echo});
                    }
                } else if (step.kind == Step::Kind::Hold) {
                    pendingBeats += pending ? stepBeats : 0.0;
                } else {
                    flush();
                    if (step.kind != Step::Kind::Rest) {
                        pending = &step;
                        pendingBeat = beat;
                        pendingBeats = stepBeats;
                    }
                }
            }
        }
        flush();
    }
}

void ThemeRenderer::renderSection(const Section& section, double startBeat) {
    const auto key = [this](const std::string& name) {
        return mTheme.patterns.at(name).instrument; // "" for the drums
    };
    const auto replaced = [&](const std::string& instrumentKey, int bar) {
        for (const std::string& name : section.first) {
            if (key(name) == instrumentKey && bar < mTheme.patterns.at(name).bars) {
                return true;
            }
        }
        for (const std::string& name : section.last) {
            if (key(name) == instrumentKey && bar >= section.bars - mTheme.patterns.at(name).bars) {
                return true;
            }
        }
        return false;
    };
    for (const std::string& name : section.play) {
        const Pattern& pattern = mTheme.patterns.at(name);
        std::vector<Placement> placements;
        for (int bar = 0; bar < section.bars; ++bar) {
            if (!replaced(pattern.instrument, bar)) {
                placements.push_back({bar, bar % pattern.bars});
            }
        }
        playPattern(section, pattern, placements, startBeat);
    }
    for (const std::string& name : section.first) {
        const Pattern& pattern = mTheme.patterns.at(name);
        std::vector<Placement> placements;
        for (int bar = 0; bar < pattern.bars; ++bar) {
            placements.push_back({bar, bar});
        }
        playPattern(section, pattern, placements, startBeat);
    }
    for (const std::string& name : section.last) {
        const Pattern& pattern = mTheme.patterns.at(name);
        std::vector<Placement> placements;
        for (int bar = 0; bar < pattern.bars; ++bar) {
            placements.push_back({section.bars - pattern.bars + bar, bar});
        }
        playPattern(section, pattern, placements, startBeat);
    }
}

Rendering ThemeRenderer::render() {
    double beat = 0.0;
    for (const std::string& name : mTheme.song) {
        const Section& section = mTheme.sections.at(name);
        renderSection(section, beat);
        beat += section.bars * mTheme.meter;
    }
    const auto settle = static_cast<std::size_t>(settleSeconds * sampleRate);
    std::vector<float> echoLeft, echoRight, roomLeft, roomRight;
    Echo echo(mTheme.echoBeats * mSecondsPerBeat, mTheme.echoFeedback, mTheme.echoCutoff);
    processLooped(echo, mEchoSend, echoLeft, echoRight, settle);
    for (std::size_t i = 0; i < mLength; ++i) {
        mReverbSend[i] += echoIntoReverb * 0.5f * (echoLeft[i] + echoRight[i]);
    }
    Reverb room(mTheme.room, mTheme.damp);
    processLooped(room, mReverbSend, roomLeft, roomRight, settle);

    Rendering result;
    result.channels = 2;
    result.peakDecibels = mTheme.peakDecibels;
    result.samples.resize(mLength * 2);
    const auto wet = static_cast<float>(mTheme.reverbLevel);
    for (std::size_t i = 0; i < mLength; ++i) {
        result.samples[2 * i] = mLeft[i] + echoLeft[i] + wet * roomLeft[i];
        result.samples[2 * i + 1] = mRight[i] + echoRight[i] + wet * roomRight[i];
    }
    return result;
}

} // namespace

Rendering renderTheme(const Theme& theme) {
    return ThemeRenderer(theme).render();
}

} // namespace sfxgen
