// The sound synthesiser behind data/Audio: its description parser, pitches, chord voicing,
// effect rendering and the looping theme sequencer.
#include "sfxgen/Description.hpp"
#include "sfxgen/DescriptionError.hpp"
#include "sfxgen/DescriptionLine.hpp"
#include "sfxgen/Pitch.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using sfxgen::DescriptionError;
using sfxgen::renderDescription;
using sfxgen::Rendering;

namespace {

// The message of the DescriptionError that rendering `text` throws, or "" when none is thrown.
std::string errorFrom(const std::string& text, const std::string& file) {
    try {
        renderDescription(text, file);
    } catch (const DescriptionError& error) {
        return error.what();
    }
    return "";
}

double energy(const Rendering& r, double fromSeconds, double toSeconds) {
    const std::size_t from = static_cast<std::size_t>(fromSeconds * 44100) * r.channels;
    const std::size_t to = static_cast<std::size_t>(toSeconds * 44100) * r.channels;
    double sum = 0.0;
    for (std::size_t i = from; i < to && i < r.samples.size(); ++i) {
        sum += double(r.samples[i]) * r.samples[i];
    }
    return sum;
}

// A bare theme: 120 BPM, so one 4/4 bar lasts exactly two seconds; no echo or reverb sends.
std::string theme(const std::string& notes, const std::string& release = "0.01") {
    return "theme tempo=120\n"
           "instrument tone wave=sine attack=0.001 decay=0.1 sustain=1 gate=1 release=" +
           release + "\npattern tune instrument=tone grid=4\n" + notes +
           "\nsection only bars=1 play=tune\nsong only\n";
}

TEST(SfxDescription, MalformedFieldIsReportedWithFileAndLine) {
    const std::string text = "effect\nlayer wave=sine\nlayer freq= amp=0.5\n";
    EXPECT_EQ(errorFrom(text, "Boom.sfx").rfind("Boom.sfx:3: malformed field 'freq='", 0), 0u);
}

TEST(SfxDescription, UnknownFieldIsNamedNotIgnored) {
    const std::string message =
        errorFrom("effect\n\n# a comment line\nlayer wave=sine frq=440\n", "Zap.sfx");
    EXPECT_EQ(message.rfind("Zap.sfx:4: ", 0), 0u) << message;
    EXPECT_NE(message.find("'frq'"), std::string::npos) << message;
}

TEST(SfxDescription, OutOfRangeValueIsRejected) {
    const std::string message = errorFrom("effect\nlayer release=-1\n", "Pop.sfx");
    EXPECT_EQ(message.rfind("Pop.sfx:2: ", 0), 0u) << message;
    EXPECT_NE(message.find("release"), std::string::npos) << message;
}

TEST(SfxDescription, BarWithAMiscountedStepIsRejectedAtItsLine) {
    const std::string message = errorFrom(theme("notes A4 - - - | C5 - -"), "Tune.theme");
    EXPECT_EQ(message, "Tune.theme:4: a bar holds 3 steps instead of 4");
}

TEST(SfxDescription, PatternForAnUndefinedInstrumentIsRejected) {
    const std::string text = "theme\npattern p instrument=tuba grid=4\nnotes A4 . . .\n"
                             "section s bars=1 play=p\nsong s\n";
    const std::string message = errorFrom(text, "Brass.theme");
    EXPECT_EQ(message.rfind("Brass.theme:2: ", 0), 0u) << message;
    EXPECT_NE(message.find("tuba"), std::string::npos) << message;
}

TEST(SfxDescription, SharpInsideATokenIsNotAComment) {
    const auto lines = sfxgen::splitDescription("notes C#5 - # the rest is a comment", "x");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].words, (std::vector<std::string>{"C#5", "-"}));
}

TEST(SfxPitch, NoteNamesFollowConcertPitch) {
    EXPECT_EQ(sfxgen::noteNumber("A4"), 69);
    EXPECT_EQ(sfxgen::noteNumber("C4"), 60);
    EXPECT_EQ(sfxgen::noteNumber("Bb3"), 58);
    EXPECT_EQ(sfxgen::noteNumber("C#5"), 73);
    EXPECT_EQ(sfxgen::noteNumber("H4"), std::nullopt);
    EXPECT_EQ(sfxgen::noteNumber("C"), std::nullopt);
    EXPECT_NEAR(sfxgen::noteFrequency(69), 440.0, 1e-9);
    EXPECT_NEAR(sfxgen::noteFrequency(81), 880.0, 1e-9);
    EXPECT_NEAR(sfxgen::noteFrequency(60), 261.626, 1e-3);
}

TEST(SfxPitch, ChordTonesAreVoicedUpwardsFromTheLowNote) {
    const auto aMinor = sfxgen::parseChord("Am");
    ASSERT_TRUE(aMinor);
    // Close voicing from E4: E4 A4 C5, then E5 an octave up; below the first tone is C4.
    EXPECT_EQ(sfxgen::chordTone(*aMinor, 0, 64, false), 64);
    EXPECT_EQ(sfxgen::chordTone(*aMinor, 1, 64, false), 69);
    EXPECT_EQ(sfxgen::chordTone(*aMinor, 2, 64, false), 72);
    EXPECT_EQ(sfxgen::chordTone(*aMinor, 3, 64, false), 76);
    EXPECT_EQ(sfxgen::chordTone(*aMinor, -1, 64, false), 60);
    // Root voicing from G1: the root A1 first, then C2 and E2.
    EXPECT_EQ(sfxgen::chordTone(*aMinor, 0, 31, true), 33);
    EXPECT_EQ(sfxgen::chordTone(*aMinor, 2, 31, true), 40);
    const auto gSeven = sfxgen::parseChord("G7");
    ASSERT_TRUE(gSeven);
    EXPECT_EQ(sfxgen::chordTone(*gSeven, 3, 31, true), 41); // the F above G1
    EXPECT_FALSE(sfxgen::parseChord("Xm"));
    EXPECT_FALSE(sfxgen::parseChord("Cblues"));
}

TEST(SfxSynth, SineLayerSoundsAtItsFrequencyForItsLength) {
    const Rendering r = renderDescription(
        "effect\nlayer wave=sine freq=441 attack=0.01 hold=0.5 release=0.01 curve=0\n", "x");
    ASSERT_EQ(r.channels, 1u);
    const double seconds = r.samples.size() / 44100.0;
    EXPECT_NEAR(seconds, 0.52, 0.01);
    int upward = 0;
    for (std::size_t i = 1; i < r.samples.size(); ++i) {
        upward += r.samples[i - 1] < 0.0f && r.samples[i] >= 0.0f;
    }
    EXPECT_NEAR(upward, 441 * 0.52, 3);
}

TEST(SfxSynth, EffectBeginsAndEndsAtSilence) {
    const Rendering r = renderDescription(
        "effect\nlayer wave=square freq=200 attack=0.0005 hold=0.2 release=0.001\n", "x");
    ASSERT_GT(r.samples.size(), 1000u);
    float loudest = 0.0f;
    for (const float s : r.samples) {
        loudest = std::max(loudest, std::fabs(s));
    }
    EXPECT_GT(loudest, 0.5f);
    // The square is at full level after half a millisecond, yet a millisecond in the effect is
    // still fading in, and its very last sample is silent.
    EXPECT_LT(std::fabs(r.samples[44]), 0.3f * loudest);
    EXPECT_EQ(r.samples.back(), 0.0f);
}

TEST(SfxTheme, LoopLastsExactlyTheSongsBars) {
    const std::string text = "theme tempo=120\ninstrument tone\npattern p instrument=tone grid=4\n"
                             "notes A4 . . .\nsection a bars=2 play=p\nsection b bars=3 play=p\n"
                             "song a b\n";
    const Rendering r = renderDescription(text, "x");
    EXPECT_EQ(r.channels, 2u);
    EXPECT_EQ(r.samples.size(), 5u * 2 * 44100 * 2); // five two-second bars, two channels
}

TEST(SfxTheme, HeldStepsLengthenTheNote) {
    const Rendering held = renderDescription(theme("notes A4 - - ."), "x");
    const Rendering brief = renderDescription(theme("notes A4 . . ."), "x");
    // The note sounds for 1.5 s instead of 0.5 s; nothing sounds in the last beat's middle.
    EXPECT_GT(energy(held, 1.0, 1.4), 1000.0);
    EXPECT_LT(energy(brief, 1.0, 1.4), 1e-6);
    EXPECT_LT(energy(held, 1.6, 1.9), 1e-6);
}

TEST(SfxTheme, NoteRingingPastTheEndWrapsRoundToTheStart) {
    // The last beat's note starts at 1.5 s and is released at 2.0 s, the loop's end: its
    // 0.3-second release must be heard at the start of the loop, and nothing in the middle.
    const Rendering r = renderDescription(theme("notes . . . A4", "0.3"), "x");
    EXPECT_GT(energy(r, 0.0, 0.1), 10.0);
    EXPECT_LT(energy(r, 0.5, 1.4), 1e-6);
}

} // namespace
