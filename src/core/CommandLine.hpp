#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The game's command line. Every option is one row of a table in CommandLine.cpp (its name, the
// name of its value if it takes one, its line in the usage, and what it stores in Options), so
// the usage text and the parsing cannot disagree. A value is given as "--data DIR" or
// "--data=DIR". The game takes no arguments that are not options.
class CommandLine {
public:
    struct Options {
        bool help = false;
        bool version = false;
        bool windowed = false;
        // The data folder named by the player, as typed; empty when none was named.
        std::optional<std::filesystem::path> dataFolder;
        // The game plays itself from level 1: no title, menu or players.
        bool demo = false;
        // Every update plays exactly 1/60 s of game time, however long it really takes.
        bool fixedStep = false;
        // Ends the program once this level is cleared (status 0) or at a game over (status 1),
        // with a line on standard output for every level cleared; 0 when not asked.
        int exitAfterLevel = 0;
        // How many milliseconds of game time late the demo's automatic player sees what happens.
        int reactionMs = 0;
        // A recording to play back in a window, instead of playing.
        std::optional<std::filesystem::path> replayFile;
        // Where to record what is played (the automatic player too), level by level.
        std::optional<std::filesystem::path> recordFile;
    };

    // The arguments after the program's name.
    explicit CommandLine(const std::vector<std::string>& arguments);
    CommandLine(int argc, const char* const* argv);

    const Options& options() const { return parsed; }

    // When the program ends without playing, writes why and gives its exit status: the usage on
    // `out` and 0 for --help, the version on `out` and 0 for --version, the mistake and the usage
    // on `err` and 2 for an unknown option, a missing or unexpected value, or a stray argument.
    // Nothing is written when the game should start.
    std::optional<int> answer(std::ostream& out, std::ostream& err) const;
    // Once the data folder is known: an --exit-after-level past the last of its levels could
    // never end the game, so it is refused with the count on `err` and exit status 2.
    std::optional<int> refuseExitLevel(int levelCount, std::ostream& err) const;

    static std::string usage();
    static std::string version();

private:
    Options parsed;
    std::string mistake; // the first one found; empty when there is none
};
