#include "core/CommandLine.hpp"

#include "core/BuildInfo.hpp"

#include <algorithm>
#include <iterator>
#include <ostream>
#include <sstream>

namespace {

using Options = CommandLine::Options;

// A whole number in decimal digits, or -1.
int wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(text);
}

// A whole positive number in decimal digits, or 0.
int levelNumber(const std::string& text) {
    return std::max(wholeNumber(text), 0);
}

// A reaction of ten seconds is no longer a player's.
const int MaxReactionMs = 10000;

// A folder or file; an empty one is the mistake given.
std::string storePath(std::optional<std::filesystem::path>& option, const std::string& value,
                      const char* mistake) {
    if (value.empty())
        return mistake;
    option = value;
    return {};
}

struct Option {
    const char* name;
    const char* value; // how the usage names the option's value; null for a plain switch
    const char* help;
    // Stores the option; gives what is wrong with the value, or nothing.
    std::string (*store)(Options& options, const std::string& value);
};

// clang-format off
const Option Table[] = {
    {"--help", nullptr, "show this help and exit",
     [](Options& o, const std::string&) { o.help = true; return std::string(); }},
    {"--version", nullptr, "show the version and exit",
     [](Options& o, const std::string&) { o.version = true; return std::string(); }},
    {"--windowed", nullptr, "play in a 1280x720 window (smaller to fit the desktop) for this run",
     [](Options& o, const std::string&) { o.windowed = true; return std::string(); }},
    {"--data", "DIR", "read the pictures, sounds, levels and scripts from the folder DIR",
     [](Options& o, const std::string& dir) {
         return storePath(o.dataFolder, dir, "--data needs a folder");
     }},
    {"--demo", nullptr, "the game plays itself from level 1: no title, menu or players",
     [](Options& o, const std::string&) { o.demo = true; return std::string(); }},
    {"--fixed-step", nullptr, "1/60 s of game time per update, as fast as the machine can go",
     [](Options& o, const std::string&) { o.fixedStep = true; return std::string(); }},
    {"--exit-after-level", "N", "exit once level N is cleared (status 0) or at a game over (1)",
     [](Options& o, const std::string& number) {
         o.exitAfterLevel = levelNumber(number);
         return o.exitAfterLevel > 0 ? std::string()
                                     : "--exit-after-level needs a level number from 1, not '" +
                                           number + "'";
     }},
    {"--reaction", "MS", "the demo's player sees MS milliseconds late (whole 1/60 s; default 0)",
     [](Options& o, const std::string& milliseconds) {
         o.reactionMs = wholeNumber(milliseconds);
         return o.reactionMs >= 0 && o.reactionMs <= MaxReactionMs
                    ? std::string()
                    : "--reaction needs milliseconds from 0 to " + std::to_string(MaxReactionMs) +
                          ", not '" + milliseconds + "'";
     }},
    {"--replay", "FILE", "play the recording FILE back in a window (Escape ends, P pauses)",
     [](Options& o, const std::string& file) {
         return storePath(o.replayFile, file, "--replay needs a file");
     }},
    {"--record", "FILE", "record what is played into FILE, the automatic player's too",
     [](Options& o, const std::string& file) {
         return storePath(o.recordFile, file, "--record needs a file");
     }},
};
// clang-format on

const Option* find(const std::string& name) {
    const auto row = std::find_if(std::begin(Table), std::end(Table),
                                  [&](const Option& option) { return name == option.name; });
    return row == std::end(Table) ? nullptr : row;
}

} // namespace

CommandLine::CommandLine(int argc, const char* const* argv)
    : CommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + std::max(argc, 0))) {}

CommandLine::CommandLine(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size() && mistake.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") { // the usual end of the options: the game takes nothing after it
            if (i + 1 < arguments.size())
                mistake = "unexpected argument '" + arguments[i + 1] + "'";
            break;
        }
        const std::size_t equals = argument.find('=');
        const bool joined = argument.rfind("--", 0) == 0 && equals != std::string::npos;
        const std::string name = joined ? argument.substr(0, equals) : argument;
        const Option* option = find(name);
        if (!option) {
            mistake = argument.rfind("-", 0) == 0 ? "unknown option '" + name + "'"
                                                  : "unexpected argument '" + argument + "'";
        } else if (!option->value) {
            if (joined)
                mistake = name + " takes no value";
            else
                mistake = option->store(parsed, "");
        } else if (joined) {
            mistake = option->store(parsed, argument.substr(equals + 1));
        } else if (i + 1 < arguments.size()) {
            mistake = option->store(parsed, arguments[++i]);
        } else {
            mistake = name + " needs " + option->value;
        }
    }
    if (mistake.empty() && parsed.replayFile && (parsed.demo || parsed.recordFile))
        mistake = "--replay plays a recording; it cannot be combined with --demo or --record";
}

std::optional<int> CommandLine::answer(std::ostream& out, std::ostream& err) const {
    if (!mistake.empty()) {
        err << "quellix: " << mistake << "\n" << usage();
        return 2;
    }
    if (parsed.help) {
        out << usage();
        return 0;
    }
    if (parsed.version) {
        out << version();
        return 0;
    }
    return std::nullopt;
}

std::optional<int> CommandLine::refuseExitLevel(int levelCount, std::ostream& err) const {
    if (parsed.exitAfterLevel <= levelCount)
        return std::nullopt;
    err << "quellix: --exit-after-level " << parsed.exitAfterLevel << ": there "
        << (levelCount == 0   ? std::string("are no levels")
            : levelCount == 1 ? std::string("is only 1 level")
                              : "are only " + std::to_string(levelCount) + " levels")
        << "\n";
    return 2;
}

std::string CommandLine::usage() {
    std::ostringstream text;
    text << "Usage: quellix [OPTION]...\n"
         << "Drive a tank up a tower of tiles and scrap the robot wolves.\n\n";
    std::size_t width = 0;
    for (const Option& option : Table)
        width = std::max(width, std::string(option.name).size() +
                                    (option.value ? std::string(option.value).size() + 1 : 0));
    for (const Option& option : Table) {
        const std::string left =
            std::string(option.name) + (option.value ? std::string(" ") + option.value : "");
        text << "  " << left << std::string(width - left.size() + 2, ' ') << option.help << "\n";
    }
    text << "\nWithout --data the game plays from the working directory when it holds the game's\n"
         << "data, otherwise from " << BuildInfo::InstalledDataFolder << ".\n"
         << "An installed game keeps its players in $XDG_DATA_HOME/quellix/User\n"
         << "(~/.local/share/quellix/User by default); a data folder of a source tree keeps them\n"
         << "in its folder User.\n";
    return text.str();
}

std::string CommandLine::version() {
    return std::string("Quellix ") + BuildInfo::Version + "\n";
}
