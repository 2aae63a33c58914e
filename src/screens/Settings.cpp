#include "screens/Settings.hpp"

#include "screens/UserFiles.hpp"

#include <charconv>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// A settings file holds a few short lines.
constexpr std::size_t MaxFileBytes = 4096;

bool readVolume(const std::string& word, int& volume) {
    int value = -1;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < 0 ||
        value > Settings::MaxVolume || value % Settings::VolumeStep != 0)
        return false;
    volume = value;
    return true;
}

bool readYesNo(const std::string& word, bool& flag) {
    if (word != "yes" && word != "no")
        return false;
    flag = word == "yes";
    return true;
}

} // namespace

Settings Settings::read(const fs::path& file) {
    Settings settings;
    std::string content;
    std::string problem;
    if (!UserFiles::readSmallFile(file, MaxFileBytes, content, problem)) {
        if (!problem.empty())
            std::cerr << file.string() << ": " << problem << "; the default settings are used\n";
        return settings;
    }
    // Garbage could fill many lines: the first one that cannot be used is named, with a count.
    int firstUnusable = 0;
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
        const bool used = single && ((name == "volume" && readVolume(value, settings.volume)) ||
                                     (name == "muted" && readYesNo(value, settings.muted)) ||
                                     (name == "timer" && readYesNo(value, settings.timer)));
        if (!used && unusable++ == 0)
            firstUnusable = number;
    }
    if (unusable > 0) {
        std::cerr << file.string() << ": line " << firstUnusable;
        if (unusable > 1)
            std::cerr << " and " << unusable - 1 << " more";
        std::cerr << " cannot be used (the settings are \"volume\" 0 to " << MaxVolume
                  << " in steps of " << VolumeStep
                  << ", \"muted\" and \"timer\" yes or no); the defaults stand for what is not "
                     "read\n";
    }
    return settings;
}

bool Settings::write(const fs::path& file) const {
    std::ostringstream content;
    content << "volume " << volume << "\nmuted " << (muted ? "yes" : "no") << "\ntimer "
            << (timer ? "yes" : "no") << "\n";
    // On a first start the folder may not be there yet.
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    std::string problem;
    if (!UserFiles::replaceFile(file, content.str(), problem)) {
        std::cerr << file.string() << ": " << problem << "; the settings are not kept\n";
        return false;
    }
    return true;
}
