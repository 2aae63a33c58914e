// Every sound the game loads from data/Audio, as the build generated it.
#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string audioDir = std::string(QUELLIX_DATA_DIR) + "/Audio/";
const std::vector<std::string> effects = {
    "Explosion",       "Repair",     "RoboEntry", "RoboDelete",  "KeyGeneration", "PowerObtained",
    "PortalExplosion", "RoboVanish", "Jump",      "BlockStruck", "MenuMove",      "ButtonPress"};
const std::vector<std::string> themes = {"MenuTheme", "GameTheme"};

int peakOf(const std::vector<sf::Int16>& samples) {
    int peak = 0;
    for (const sf::Int16 s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

struct Decoded {
    unsigned channels = 0;
    unsigned sampleRate = 0;
    std::vector<sf::Int16> samples;

    double seconds() const { return double(samples.size()) / channels / sampleRate; }
};

// Decoded without OpenAL, so the checks do not depend on an audio device.
Decoded decode(const std::string& path) {
    Decoded decoded;
    sf::InputSoundFile file;
    if (!file.openFromFile(path)) {
        return decoded;
    }
    decoded.channels = file.getChannelCount();
    decoded.sampleRate = file.getSampleRate();
    decoded.samples.resize(static_cast<std::size_t>(file.getSampleCount()));
    decoded.samples.resize(
        static_cast<std::size_t>(file.read(decoded.samples.data(), decoded.samples.size())));
    return decoded;
}

TEST(AudioAssets, EveryEffectLoadsIntoASoundBuffer) {
    for (const std::string& name : effects) {
        SCOPED_TRACE(name);
        sf::SoundBuffer buffer;
        EXPECT_TRUE(buffer.loadFromFile(audioDir + name + ".ogg"));
    }
}

TEST(AudioAssets, EveryEffectIsAShortAudibleMonoSound) {
    for (const std::string& name : effects) {
        SCOPED_TRACE(name);
        const Decoded effect = decode(audioDir + name + ".ogg");
        // OpenAL places only mono sounds in space.
        ASSERT_EQ(effect.channels, 1u);
        EXPECT_EQ(effect.sampleRate, 44100u);
        EXPECT_GE(effect.seconds(), 0.1);
        EXPECT_LE(effect.seconds(), 1.2);
        // Loud enough to hear over the music: the peak is within 6 dB of full scale.
        EXPECT_GT(peakOf(effect.samples), 16384);
    }
}

TEST(AudioAssets, EffectsAreNotClipped) {
    for (const std::string& name : effects) {
        SCOPED_TRACE(name);
        const Decoded effect = decode(audioDir + name + ".ogg");
        ASSERT_FALSE(effect.samples.empty());
        EXPECT_LT(peakOf(effect.samples), 32700);
    }
}

TEST(AudioAssets, EffectsStartAndStopWithoutAClick) {
    for (const std::string& name : effects) {
        SCOPED_TRACE(name);
        const Decoded effect = decode(audioDir + name + ".ogg");
        const std::vector<sf::Int16>& s = effect.samples;
        ASSERT_GT(s.size(), 64u);
        // Within 3% of silence at both ends, so starting or ending one does not tick.
        EXPECT_LT(peakOf({s.begin(), s.begin() + 8}), 1000);
        EXPECT_LT(peakOf({s.end() - 8, s.end()}), 1000);
    }
}

TEST(AudioAssets, ThemesAreStereoAndLastAtLeastAMinute) {
    for (const std::string& name : themes) {
        SCOPED_TRACE(name);
        const Decoded theme = decode(audioDir + name + ".ogg");
        ASSERT_EQ(theme.channels, 2u);
        ASSERT_EQ(theme.sampleRate, 44100u);
        EXPECT_GE(theme.samples.size() / 2, 60u * 44100u);
        const int peak = peakOf(theme.samples);
        EXPECT_GT(peak, 16384);
        EXPECT_LT(peak, 32700);
    }
}

// The music player loops a theme by jumping from its last sample back to its first; that jump
// must be no larger than the ordinary steps between neighbouring samples, or it clicks.
TEST(AudioAssets, ThemesLoopWithoutAJump) {
    for (const std::string& name : themes) {
        SCOPED_TRACE(name);
        const Decoded theme = decode(audioDir + name + ".ogg");
        ASSERT_EQ(theme.channels, 2u);
        const std::size_t frames = theme.samples.size() / 2;
        ASSERT_GT(frames, 44100u);
        for (std::size_t channel = 0; channel < 2; ++channel) {
            SCOPED_TRACE(channel == 0 ? "left" : "right");
            std::vector<int> steps;
            steps.reserve(frames - 1);
            for (std::size_t i = 1; i < frames; ++i) {
                steps.push_back(std::abs(theme.samples[2 * i + channel] -
                                         theme.samples[2 * (i - 1) + channel]));
            }
            std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
            const int ordinary = steps[steps.size() * 99 / 100];
            const int seam =
                std::abs(theme.samples[channel] - theme.samples[2 * (frames - 1) + channel]);
            EXPECT_LE(seam, ordinary);
        }
    }
}

} // namespace
