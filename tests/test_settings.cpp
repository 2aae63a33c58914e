// The settings file beside the players' folder, and the volume keys that change and keep it.
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

Settings settings(int volume, bool muted) {
    Settings chosen;
    chosen.volume = volume;
    chosen.muted = muted;
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
    std::string problem;
    ASSERT_TRUE(settings(30, true).write(file, problem)) << problem;
    EXPECT_EQ(readFile(file), "volume 30\nmuted yes\n");
    EXPECT_EQ(Settings::read(file), settings(30, true));
    EXPECT_EQ(readBack("muted no\r\nvolume 0\r\n"), settings(0, false));
    EXPECT_TRUE(settings(10, false).write(dir / "not-yet" / Settings::FileName, problem))
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
    }
    EXPECT_EQ(readFile(file), "volume 90\nmuted yes\n") << "written by the end of the run";
    VolumeControl next(file);
    EXPECT_EQ(next.getSettings(), settings(90, true)) << "the next start keeps the choice";
    next.handleEvent(keyPressed(sf::Keyboard::M));
    EXPECT_FLOAT_EQ(sf::Listener::getGlobalVolume(), 90.f);
    next.handleEvent(keyPressed(sf::Keyboard::M));
    next.handleEvent(keyPressed(sf::Keyboard::Add));
    EXPECT_EQ(next.getSettings(), settings(100, false)) << "plus unmutes";
    sf::Listener::setGlobalVolume(100.f);
}

TEST_F(SettingsFile, AFileThatCannotBeWrittenIsReportedOncePerRun) {
    fs::create_directories(file); // a folder where the file should be
    CaptureErrors errors;
    {
        VolumeControl volume(file);
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
    sf::Listener::setGlobalVolume(100.f);
}

// A run killed while it replaced the file leaves the new file beside it, under a name of its own.
TEST_F(SettingsFile, WhatAKilledRunLeftBehindIsRemovedAtStart) {
    const auto lastHour = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {"Settings.txt.a8Kq2Z", "Settings.txt.Zz9Zz9", "Settings.txt.new",
                             "Settings.txt.a8Kq2Zx", "notes.txt.a8Kq2Z"}) {
        writeFile(dir / name, "volume 10\n");
        fs::last_write_time(dir / name, lastHour);
    }
    // Another copy of the game may be writing this one now.
    writeFile(dir / "Settings.txt.Ab3dE9", "volume 10\n");
    VolumeControl volume(file);
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
                                  written.push_back(chosen.volume);
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
