// The settings file beside the players' folder, and the volume keys that change and keep it.
#include "screens/Settings.hpp"
#include "screens/VolumeControl.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <SFML/Audio/Listener.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace testsupport;

Settings settings(int volume, bool muted, bool timer = false) {
    Settings chosen;
    chosen.volume = volume;
    chosen.muted = muted;
    chosen.timer = timer;
    return chosen;
}

class SettingsFile : public ::testing::Test {
protected:
    Settings readBack(const std::string& content) {
        writeFile(file, content);
        return Settings::read(file);
    }

    TempDir dir;
    const fs::path file = dir / Settings::FileName;
};

TEST_F(SettingsFile, WithoutAFileTheVolumeIsFullAndNothingIsSaid) {
    CaptureErrors errors;
    EXPECT_EQ(Settings::read(file), settings(100, false));
    EXPECT_EQ(errors.text(), "");
}

TEST_F(SettingsFile, WhatIsWrittenIsReadBack) {
    ASSERT_TRUE(settings(30, true, true).write(file));
    EXPECT_EQ(readFile(file), "volume 30\nmuted yes\ntimer yes\n");
    EXPECT_EQ(Settings::read(file), settings(30, true, true));
    EXPECT_EQ(readBack("muted no\r\nvolume 0\r\n"), settings(0, false, false));
    EXPECT_EQ(readBack("timer yes\n"), settings(100, false, true));
    EXPECT_TRUE(settings(10, false).write(dir / "not-yet" / Settings::FileName))
        << "an installed game's folder may not be there yet";
}

TEST_F(SettingsFile, UnusableValuesReadAsTheirDefaultsWithOneMessageNamingTheFile) {
    const struct {
        const char* content;
        Settings expected;
        const char* line; // the first unusable line, as the message names it
    } cases[] = {
        {"volume 110\nmuted yes\n", settings(100, true), "line 1 cannot"},
        {"muted yes\nvolume 45\n", settings(100, true), "line 2 cannot"},
        {"timer always\nvolume 40\n", settings(40, false), "line 1 cannot"},
        {"volume loud\nvolume 20 30\nmuted maybe\n", settings(100, false), "line 1 and 2 more"},
        {"\x89PNG\r\n\x1a\n\xff\xfe garbage\n", settings(100, false), "line 1 and 2 more"},
    };
    for (const auto& bad : cases) {
        CaptureErrors errors;
        EXPECT_EQ(readBack(bad.content), bad.expected) << bad.content;
        const std::string text = errors.text();
        EXPECT_EQ(text.rfind(file.string() + ": " + bad.line, 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

TEST_F(SettingsFile, TheVolumeKeysStepMuteAndKeepTheirChoice) {
    writeFile(file, "volume 20\nmuted no\n");
    {
        VolumeControl volume(file);
        EXPECT_FLOAT_EQ(sf::Listener::getGlobalVolume(), 20.f);
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::Hyphen)));
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::Subtract)));
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::Hyphen)));
        EXPECT_EQ(volume.getSettings(), settings(0, false)) << "no lower than 0";
        EXPECT_FLOAT_EQ(sf::Listener::getGlobalVolume(), 0.f);
        for (int i = 0; i < 12; ++i)
            volume.handleEvent(keyPressed(i % 2 ? sf::Keyboard::Equal : sf::Keyboard::Add));
        EXPECT_EQ(volume.getSettings(), settings(100, false)) << "no higher than 100";
        volume.handleEvent(keyPressed(sf::Keyboard::Hyphen));
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::M)));
        EXPECT_EQ(volume.getSettings(), settings(90, true));
        EXPECT_FLOAT_EQ(sf::Listener::getGlobalVolume(), 0.f) << "muted is silent";
        EXPECT_FALSE(volume.handleEvent(keyPressed(sf::Keyboard::P)));
        EXPECT_EQ(readFile(file), "volume 90\nmuted yes\ntimer no\n");
    }
    VolumeControl next(file);
    EXPECT_EQ(next.getSettings(), settings(90, true)) << "the next start keeps the choice";
    next.handleEvent(keyPressed(sf::Keyboard::M));
    EXPECT_FLOAT_EQ(sf::Listener::getGlobalVolume(), 90.f);
    next.handleEvent(keyPressed(sf::Keyboard::M));
    next.handleEvent(keyPressed(sf::Keyboard::Add));
    EXPECT_EQ(next.getSettings(), settings(100, false)) << "plus unmutes";
    sf::Listener::setGlobalVolume(100.f);
}

} // namespace
