#include "core/SoundPlayer.hpp"

#include "TestSupport.hpp"

#include <SFML/Audio/SoundBuffer.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using testsupport::TempDir;

// Half a second of a 440 Hz tone, mono.
void writeTone(const std::string& file) {
    const unsigned rate = 44100;
    std::vector<sf::Int16> samples(rate / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<sf::Int16>(12000 * std::sin(2 * 3.14159265 * 440 * i / rate));
    sf::SoundBuffer buffer;
    ASSERT_TRUE(buffer.loadFromSamples(samples.data(), samples.size(), 1, rate));
    ASSERT_TRUE(buffer.saveToFile(file));
}

// Root mean square of everything OpenAL wrote while the probe played the tone at (x, y).
double loudnessAt(const TempDir& dir, float x, float y) {
    const auto wav = dir / ("out-" + std::to_string(static_cast<int>(x)) + ".wav");
    const auto conf = dir / ("wave-" + std::to_string(static_cast<int>(x)) + ".conf");
    testsupport::writeFile(
        conf, "[general]\ndrivers = wave\nsample-type = int16\nchannels = stereo\n[wave]\nfile = " +
                  wav.string() + "\n");
    const std::string command = "ALSOFT_CONF=" + conf.string() +
                                " " QUELLIX_BINARY_DIR "/tests/sound_probe " +
                                (dir / "tone.wav").string() + " " + std::to_string(x) + " " +
                                std::to_string(y) + " 2>/dev/null";
    EXPECT_EQ(testsupport::run(command), 0);
    sf::SoundBuffer recorded;
    if (!recorded.loadFromFile(wav.string()))
        return -1.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < recorded.getSampleCount(); ++i)
        sum += static_cast<double>(recorded.getSamples()[i]) * recorded.getSamples()[i];
    return recorded.getSampleCount() ? std::sqrt(sum / recorded.getSampleCount()) : 0.0;
}

TEST(SoundPlayerOutput, PlayedEffectReachesTheOutputAndFadesWithDistance) {
    TempDir dir;
    writeTone((dir / "tone.wav").string());
    const double near = loudnessAt(dir, 100.f, 0.f);
    const double far = loudnessAt(dir, 5000.f, 0.f);
    EXPECT_GT(near, 500.0) << "a sound near the listener is heard";
    EXPECT_GT(near, 3.0 * far) << "a distant sound is much quieter";
}

TEST(SoundPlayer, ListenerPositionMapsGameYDownToAudioYUp) {
    SoundPlayer& player = soundPlayer();
    player.update({120.f, 340.f});
    EXPECT_EQ(player.getListenerPosition(), sf::Vector2f(120.f, 340.f));
}

TEST(SoundPlayer, OverlappingPlaysEachGetTheirOwnSoundUntilTheyStop) {
    TempDir dir;
    writeTone((dir / "tone.wav").string());
    SoundPlayer& player = soundPlayer();
    player.load(SFX::Repair, (dir / "tone.wav").string());
    const std::size_t before = player.getSoundCount();
    player.play(SFX::Repair);
    player.play(SFX::Repair);
    player.play(SFX::Repair, {10.f, 10.f});
    EXPECT_EQ(player.getSoundCount(), before + 3);
    player.removeStoppedSounds();
    EXPECT_EQ(player.getSoundCount(), before + 3) << "playing sounds stay";
}

TEST(SoundPlayer, ACrowdOfSoundsIsCappedInsteadOfExhaustingTheVoices) {
    TempDir dir;
    writeTone((dir / "tone.wav").string());
    SoundPlayer& player = soundPlayer();
    player.load(SFX::KeyGeneration, (dir / "tone.wav").string());
    const unsigned before = player.getPlayCount(SFX::KeyGeneration);
    for (std::size_t i = 0; i < SoundPlayer::MaxSounds + 50; ++i)
        player.play(SFX::KeyGeneration);
    EXPECT_EQ(player.getSoundCount(), SoundPlayer::MaxSounds);
    EXPECT_LT(player.getPlayCount(SFX::KeyGeneration) - before, SoundPlayer::MaxSounds + 50);
}

} // namespace
