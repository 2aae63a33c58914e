// The settings file beside the players' folder, the keys' names it keeps, the bindings' swaps, and
// the volume keys that change and keep the volumes.
#include "core/KeyNames.hpp"
#include "core/MusicPlayer.hpp"
#include "core/SoundPlayer.hpp"
#include "screens/Settings.hpp"
#include "screens/SettingsWriter.hpp"
#include "screens/VolumeControl.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <SFML/Audio/Listener.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using namespace testsupport;
using Key = sf::Keyboard::Key;

Settings settings(int volume, bool muted) {
    Settings chosen;
    chosen.music = volume;
    chosen.effects = volume;
    chosen.muted = muted;
    return chosen;
}

Settings withKey(Bindings::Action action, Key key, Settings chosen = Settings()) {
    EXPECT_TRUE(chosen.controls.bind(action, key));
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

TEST_F(SettingsFile, WithoutAFileTheDefaultsStandAndNothingIsSaid) {
    CaptureErrors errors;
    const Settings read = Settings::read(file);
    EXPECT_EQ(read, Settings());
    EXPECT_EQ(errors.text(), "");
    EXPECT_EQ(read.text(), "key-left Left\nkey-right Right\nkey-jump Up\nkey-pause P\n"
                           "key-mute M\npad-jump 0\nfullscreen yes\nvsync yes\nmusic 100\n"
                           "effects 100\nmuted no\ntimer no\n")
        << "the pause button is Start, which no number names on every pad";
}

TEST_F(SettingsFile, WhatIsWrittenIsReadBack) {
    Settings chosen = withKey(Bindings::Jump, sf::Keyboard::Space);
    chosen.controls.bind(Bindings::Left, sf::Keyboard::A);
    chosen.controls.bind(Bindings::Right, sf::Keyboard::Left); // the old left key
    chosen.controls.bindPad(Bindings::Jump, 1, 11);
    chosen.controls.bindPad(Bindings::Pause, 6, 11);
    chosen.fullscreen = false;
    chosen.vsync = false;
    chosen.music = 30;
    chosen.effects = 80;
    chosen.muted = true;
    chosen.timer = true;
    chosen.language = "pt_BR";
    std::string problem;
    ASSERT_TRUE(chosen.write(file, problem)) << problem;
    EXPECT_EQ(readFile(file), "key-left A\nkey-right Left\nkey-jump Space\nkey-pause P\n"
                              "key-mute M\npad-jump 1\npad-pause 6\nfullscreen no\nvsync no\n"
                              "music 30\neffects 80\nmuted yes\ntimer yes\nlanguage pt_BR\n");
    CaptureErrors errors;
    EXPECT_EQ(Settings::read(file), chosen);
    Settings crlf = withKey(Bindings::Jump, sf::Keyboard::Space);
    crlf.music = 0;
    EXPECT_EQ(readBack("muted no\r\nmusic 0\r\nkey-jump Space\r\n"), crlf);
    EXPECT_EQ(errors.text(), "");
    EXPECT_TRUE(settings(10, false).write(dir / "not-yet" / Settings::FileName, problem))
        << "an installed game's folder may not be there yet";
}

TEST_F(SettingsFile, AnOlderFilesVolumeSetsBothVolumesUnlessTheyAreNamed) {
    CaptureErrors errors;
    EXPECT_EQ(readBack("volume 30\nmuted yes\n"), settings(30, true));
    Settings musicNamed = settings(40, false);
    musicNamed.music = 70;
    EXPECT_EQ(readBack("music 70\nvolume 40\n"), musicNamed);
    EXPECT_EQ(errors.text(), "");
    EXPECT_EQ(musicNamed.text().find("volume"), std::string::npos) << "it is never written";
}

TEST_F(SettingsFile, UnusableLinesReadAsTheirDefaultsWithOneMessageNamingTheFile) {
    Settings jumpOnSpace = withKey(Bindings::Jump, sf::Keyboard::Space);
    Settings windowedOnA = withKey(Bindings::Left, sf::Keyboard::A);
    windowedOnA.fullscreen = false;
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
        {"key-jump Spacebar\nkey-jump space\n", Settings(), "line 1 and 1 more"},
        // A key no other key line names: the first line keeps it.
        {"key-jump Space\nkey-pause Space\n", jumpOnSpace, "line 2 cannot"},
        // The game's own keys are never bound.
        {"key-jump Escape\nkey-jump F11\nkey-jump Hyphen\nkey-jump Add\n", Settings(),
         "line 1 and 3 more"},
        {"key-left A\nspeed 3\nfullscreen no\ncolour red\n", windowedOnA, "line 2 and 1 more"},
        {"pad-jump 32\npad-pause 0\npad-jump -1\n", Settings(), "line 1 and 2 more"},
        {"language ../../etc\nlanguage\n", Settings(), "line 1 and 1 more"},
    };
    for (const auto& bad : cases) {
        CaptureErrors errors;
        EXPECT_EQ(readBack(bad.content), bad.expected) << bad.content;
        const std::string text = errors.text();
        EXPECT_EQ(text.rfind(file.string() + ": " + bad.line, 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

TEST_F(SettingsFile, TheMessageSaysWhatTheFirstUnusableLineTakes) {
    CaptureErrors errors;
    readBack("key-jump Spacebar\n");
    EXPECT_NE(errors.text().find("the name of a key, such as Space or Left"), std::string::npos)
        << errors.text();
}

TEST(Bindings, AKeyBoundElsewhereSwapsWithTheActionsOldKey) {
    Bindings bindings;
    EXPECT_TRUE(bindings.bind(Bindings::Jump, sf::Keyboard::Left));
    EXPECT_EQ(bindings.key(Bindings::Jump), sf::Keyboard::Left);
    EXPECT_EQ(bindings.key(Bindings::Left), sf::Keyboard::Up) << "left takes jump's old key";
    EXPECT_TRUE(bindings.bind(Bindings::Mute, sf::Keyboard::Space));
    EXPECT_EQ(bindings.actionOf(sf::Keyboard::M), std::nullopt) << "M is free now";
    EXPECT_EQ(bindings.actionOf(sf::Keyboard::Space), Bindings::Mute);
    const Bindings before = bindings;
    for (const Key own :
         {sf::Keyboard::Escape, sf::Keyboard::F11, sf::Keyboard::Hyphen, sf::Keyboard::Subtract,
          sf::Keyboard::Equal, sf::Keyboard::Add, sf::Keyboard::Unknown})
        EXPECT_FALSE(bindings.bind(Bindings::Pause, own)) << own;
    EXPECT_EQ(bindings, before);
}

TEST(KeyNames, EveryKeyHasANameThatLeadsBackToIt) {
    for (int code = 0; code < sf::Keyboard::KeyCount; ++code) {
        const auto key = static_cast<Key>(code);
        EXPECT_EQ(KeyNames::key(KeyNames::name(key)), key) << KeyNames::name(key);
    }
    // The library's names, at both ends of the table and in its middle.
    EXPECT_EQ(KeyNames::key("A"), sf::Keyboard::A);
    EXPECT_EQ(KeyNames::key("Num0"), sf::Keyboard::Num0);
    EXPECT_EQ(KeyNames::key("Space"), sf::Keyboard::Space);
    EXPECT_EQ(KeyNames::key("Enter"), sf::Keyboard::Return);
    EXPECT_EQ(KeyNames::key("Left"), sf::Keyboard::Left);
    EXPECT_EQ(KeyNames::key("F11"), sf::Keyboard::F11);
    EXPECT_EQ(KeyNames::key("Pause"), sf::Keyboard::Pause);
    EXPECT_EQ(KeyNames::key("space"), std::nullopt);
    EXPECT_EQ(KeyNames::key(""), std::nullopt);
    EXPECT_EQ(KeyNames::name(sf::Keyboard::Unknown), "Unknown");
}

class VolumeKeys : public SettingsFile {
protected:
    ~VolumeKeys() override {
        sf::Listener::setGlobalVolume(100.f);
        soundPlayer().setVolume(100.f);
    }
    void expectHeard(float musicLevel, float effectsLevel, float global) {
        EXPECT_FLOAT_EQ(music.getVolume(), musicLevel);
        EXPECT_FLOAT_EQ(soundPlayer().getVolume(), effectsLevel);
        EXPECT_FLOAT_EQ(sf::Listener::getGlobalVolume(), global);
    }

    MusicPlayer music;
};

TEST_F(VolumeKeys, StepBothVolumesMuteAndKeepTheirChoice) {
    writeFile(file, "music 20\neffects 40\nmuted no\n");
    {
        VolumeControl volume(file, music);
        expectHeard(20.f, 40.f, 100.f);
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::Hyphen)));
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::Subtract)));
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::Hyphen)));
        expectHeard(0.f, 10.f, 100.f);
        for (int i = 0; i < 12; ++i)
            volume.handleEvent(keyPressed(i % 2 ? sf::Keyboard::Equal : sf::Keyboard::Add));
        EXPECT_EQ(volume.getSettings(), settings(100, false)) << "no higher than 100";
        volume.handleEvent(keyPressed(sf::Keyboard::Hyphen));
        EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::M)));
        EXPECT_EQ(volume.getSettings(), settings(90, true));
        expectHeard(90.f, 90.f, 0.f);
        EXPECT_FALSE(volume.handleEvent(keyPressed(sf::Keyboard::P)));
    }
    EXPECT_EQ(readFile(file), settings(90, true).text()) << "written by the end of the run";
    VolumeControl next(file, music);
    EXPECT_EQ(next.getSettings(), settings(90, true)) << "the next start keeps the choice";
    next.handleEvent(keyPressed(sf::Keyboard::M));
    expectHeard(90.f, 90.f, 100.f);
    next.handleEvent(keyPressed(sf::Keyboard::M));
    next.handleEvent(keyPressed(sf::Keyboard::Add));
    EXPECT_EQ(next.getSettings(), settings(100, false)) << "plus unmutes";
}

TEST_F(VolumeKeys, TheMuteKeyIsTheOneBound) {
    writeFile(file, "key-mute N\nkey-jump M\n");
    VolumeControl volume(file, music);
    EXPECT_FALSE(volume.handleEvent(keyPressed(sf::Keyboard::M)));
    EXPECT_FALSE(volume.getSettings().muted);
    EXPECT_TRUE(volume.handleEvent(keyPressed(sf::Keyboard::N)));
    EXPECT_TRUE(volume.getSettings().muted);
}

TEST_F(VolumeKeys, AFileThatCannotBeWrittenIsReportedOncePerRun) {
    fs::create_directories(file); // a folder where the file should be
    CaptureErrors errors;
    {
        VolumeControl volume(file, music);
        for (int i = 0; i < 6; ++i)
            volume.handleEvent(keyPressed(sf::Keyboard::M));
    }
    const std::string text = errors.text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    EXPECT_NE(text.find(file.string() + ": is not a regular file; the default settings are used"),
              std::string::npos)
        << "read at start:\n"
        << text;
    EXPECT_NE(text.find(file.string() + ": cannot replace it (Is a directory); the settings are "
                                        "not kept\n"),
              std::string::npos)
        << text;
}

// A run killed while it replaced the file leaves the new file beside it, under a name of its own.
TEST_F(VolumeKeys, WhatAKilledRunLeftBehindIsRemovedAtStart) {
    const auto lastHour = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {"Settings.txt.a8Kq2Z", "Settings.txt.Zz9Zz9", "Settings.txt.new",
                             "Settings.txt.a8Kq2Zx", "notes.txt.a8Kq2Z"}) {
        writeFile(dir / name, "music 10\n");
        fs::last_write_time(dir / name, lastHour);
    }
    // Another copy of the game may be writing this one now.
    writeFile(dir / "Settings.txt.Ab3dE9", "music 10\n");
    VolumeControl volume(file, music);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Settings.txt.Ab3dE9", "Settings.txt.a8Kq2Zx",
                                              "Settings.txt.new", "notes.txt.a8Kq2Z"}));
}

// Writing the file waits for the disk; the volume keys must not.
TEST(SettingsWriter, SavingReturnsAtOnceAndOnlyTheNewestOfWaitingSettingsIsWritten) {
    const TempDir dir;
    std::mutex mutex;
    std::condition_variable changed;
    bool writing = false;
    bool diskReady = false;
    std::vector<int> written;
    {
        SettingsWriter writer(dir / Settings::FileName,
                              [&](const Settings& chosen, const fs::path&, std::string&) {
                                  std::unique_lock<std::mutex> lock(mutex);
                                  writing = true;
                                  changed.notify_all();
                                  changed.wait(lock, [&] { return diskReady; });
                                  written.push_back(chosen.music);
                                  return true;
                              });
        writer.save(settings(10, false));
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return writing; });
        }
        // The disk holds the first write; these return all the same.
        writer.save(settings(20, false));
        writer.save(settings(30, false));
        writer.save(settings(40, true));
        {
            const std::lock_guard<std::mutex> lock(mutex);
            diskReady = true;
        }
        changed.notify_all();
    }
    EXPECT_EQ(written, (std::vector<int>{10, 40})) << "the last one, written before the end";
}

} // namespace
