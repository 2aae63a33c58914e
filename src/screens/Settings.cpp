#include "screens/Settings.hpp"

#include "core/KeyNames.hpp"
#include "screens/UserFiles.hpp"

#include <algorithm>
#include <charconv>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A settings file holds a dozen short lines.
constexpr std::size_t MaxFileBytes = 4096;

std::optional<int> number(const std::string& word, int highest) {
    int value = -1;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < 0 || value > highest)
        return std::nullopt;
    return value;
}

// What one pass over the file has read so far.
struct Reading {
    Settings settings;
    std::set<sf::Keyboard::Key> keysNamed; // by the key lines read so far
    std::optional<int> oldVolume;          // an older file's "volume", for the volumes not named
    bool musicNamed = false;
    bool effectsNamed = false;
};

struct Field {
    const char* name;
    const char* takes; // what the value may be, as the message says it
    // False when the value cannot be used; nothing is changed then.
    std::function<bool(Reading&, const std::string&)> read;
    // Nothing when the line is left out.
    std::function<std::optional<std::string>(const Settings&)> write;
};

const char* yesNo(bool flag) {
    return flag ? "yes" : "no";
}

bool readYesNo(const std::string& word, bool& flag) {
    if (word != "yes" && word != "no")
        return false;
    flag = word == "yes";
    return true;
}

Field keyField(const char* name, Bindings::Action action) {
    return {name, "the name of a key, such as Space or Left, that no other key line names",
            [action](Reading& reading, const std::string& word) {
                const auto key = KeyNames::key(word);
                if (!key || reading.keysNamed.count(*key) ||
                    !reading.settings.controls.bind(action, *key))
                    return false;
                reading.keysNamed.insert(*key);
                return true;
            },
            [action](const Settings& s) { return KeyNames::name(s.controls.key(action)); }};
}

Field yesNoField(const char* name, bool Settings::*flag) {
    return {name, "yes or no",
            [flag](Reading& reading, const std::string& word) {
                return readYesNo(word, reading.settings.*flag);
            },
            [flag](const Settings& s) { return std::string(yesNo(s.*flag)); }};
}

bool readVolume(const std::string& word, int& volume) {
    const auto value = number(word, Settings::MaxVolume);
    if (!value || *value % Settings::VolumeStep != 0)
        return false;
    volume = *value;
    return true;
}

Field volumeField(const char* name, int Settings::*volume, bool Reading::*named) {
    return {name, "0 to 100 in steps of 10",
            [volume, named](Reading& reading, const std::string& word) {
                if (!readVolume(word, reading.settings.*volume))
                    return false;
                reading.*named = true;
                return true;
            },
            [volume](const Settings& s) { return std::to_string(s.*volume); }};
}

// A pad's button for jumping or pausing, which may not be the other one's.
std::optional<unsigned> padButton(const std::string& word, std::optional<unsigned> others) {
    const auto button = number(word, Bindings::PadButtons - 1);
    if (!button || others == static_cast<unsigned>(*button))
        return std::nullopt;
    return static_cast<unsigned>(*button);
}

bool isLanguageCode(const std::string& word) {
    return !word.empty() && word.size() <= 32 && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.' || c == '@';
    });
}

// In the order the file is written.
const std::vector<Field>& fields() {
    static const std::vector<Field> table{
        keyField("key-left", Bindings::Left),
        keyField("key-right", Bindings::Right),
        keyField("key-jump", Bindings::Jump),
        keyField("key-pause", Bindings::Pause),
        keyField("key-mute", Bindings::Mute),
        {"pad-jump", "a button number from 0 to 31, not the pause button's",
         [](Reading& reading, const std::string& word) {
             Bindings& controls = reading.settings.controls;
             const auto button = padButton(word, controls.padPause);
             controls.padJump = button.value_or(controls.padJump);
             return button.has_value();
         },
         [](const Settings& s) { return std::to_string(s.controls.padJump); }},
        {"pad-pause", "a button number from 0 to 31, not the jump button's",
         [](Reading& reading, const std::string& word) {
             Bindings& controls = reading.settings.controls;
             const auto button = padButton(word, controls.padJump);
             if (button)
                 controls.padPause = button;
             return button.has_value();
         },
         // Left out while it is Start, which differs from pad to pad.
         [](const Settings& s) -> std::optional<std::string> {
             if (!s.controls.padPause)
                 return std::nullopt;
             return std::to_string(*s.controls.padPause);
         }},
        yesNoField("fullscreen", &Settings::fullscreen),
        yesNoField("vsync", &Settings::vsync),
        volumeField("music", &Settings::music, &Reading::musicNamed),
        volumeField("effects", &Settings::effects, &Reading::effectsNamed),
        yesNoField("muted", &Settings::muted),
        yesNoField("timer", &Settings::timer),
        {"language", "a language code such as de or pt_BR",
         [](Reading& reading, const std::string& word) {
             if (!isLanguageCode(word))
                 return false;
             reading.settings.language = word;
             return true;
         },
         [](const Settings& s) -> std::optional<std::string> {
             if (s.language.empty())
                 return std::nullopt;
             return s.language;
         }},
        // Older files kept one volume for music and effects together; it is never written.
        {"volume", "0 to 100 in steps of 10",
         [](Reading& reading, const std::string& word) {
             int volume = 0;
             if (!readVolume(word, volume))
                 return false;
             reading.oldVolume = volume;
             return true;
         },
         [](const Settings&) { return std::optional<std::string>(); }},
    };
    return table;
}

// Why a line cannot be used, for the message.
std::string problemWith(const std::string& name, const std::string& value, bool single) {
    const auto& table = fields();
    const auto field =
        std::find_if(table.begin(), table.end(), [&](const Field& f) { return name == f.name; });
    if (field == table.end())
        return "\"" + name + "\" is not a setting";
    if (!single)
        return "\"" + name + "\" takes one value";
    return "\"" + name + " " + value + "\": " + name + " takes " + field->takes;
}

} // namespace

Settings Settings::read(const fs::path& file) {
    Reading reading;
    std::string content;
    std::string problem;
    if (!UserFiles::readSmallFile(file, MaxFileBytes, content, problem)) {
        if (!problem.empty())
            std::cerr << file.string() << ": " << problem << "; the default settings are used\n";
        return reading.settings;
    }
    // Garbage could fill many lines: the first one that cannot be used is named, with a count.
    int firstUnusable = 0;
    std::string firstProblem;
    int unusable = 0;
    std::istringstream lines(content);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream words(line);
        std::string name;
        std::string value;
        std::string extra;
        if (!(words >> name))
            continue;
        words >> value;
        const bool single = !(words >> extra);
        const auto& table = fields();
        const auto field = std::find_if(table.begin(), table.end(),
                                        [&](const Field& f) { return name == f.name; });
        if (single && field != table.end() && field->read(reading, value))
            continue;
        if (unusable++ == 0) {
            firstUnusable = number;
            firstProblem = problemWith(name, value, single);
        }
    }
    if (reading.oldVolume) {
        if (!reading.musicNamed)
            reading.settings.music = *reading.oldVolume;
        if (!reading.effectsNamed)
            reading.settings.effects = *reading.oldVolume;
    }
    if (unusable > 0) {
        std::cerr << file.string() << ": line " << firstUnusable;
        if (unusable > 1)
            std::cerr << " and " << unusable - 1 << " more";
        std::cerr << " cannot be used (" << firstProblem
                  << "); the defaults stand for what is not read\n";
    }
    return reading.settings;
}

std::string Settings::text() const {
    std::string content;
    for (const Field& field : fields())
        if (const auto value = field.write(*this))
            content += std::string(field.name) + " " + *value + "\n";
    return content;
}

bool Settings::write(const fs::path& file, std::string& problem) const {
    // On a first start the folder may not be there yet.
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    return UserFiles::replaceFile(file, text(), problem);
}

bool Settings::operator==(const Settings& other) const {
    return controls == other.controls && fullscreen == other.fullscreen && vsync == other.vsync &&
           music == other.music && effects == other.effects && muted == other.muted &&
           timer == other.timer && language == other.language;
}
