#pragma once

#include "replay/Recording.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A player's recorded runs, one level each, kept in the players' folder beside the player's file:
// the best run of every level the player has cleared (NAME.level3-best.replay) and the last ten
// runs (NAME.run-17.replay, numbered in the order they were played). A best run counts only while
// it plays in this game as recorded: a run of another version, or of a level changed since, is
// beaten by any run that clears the level.
class PlayerRuns {
public:
    static constexpr int KeptRuns = 10;

    // The player must have a name that may be used in a file name (UserFiles::isValidName).
    PlayerRuns(std::filesystem::path folder, std::string name);

    std::filesystem::path bestFile(int level) const;

    // Keeps a run of one level as the newest of the last runs, removing the older ones beyond
    // KeptRuns, and as the level's best when it cleared the level in less time than the best so
    // far. What cannot be written is reported on std::cerr.
    void keep(const Recording& run) const;

    // The level's best run, when there is one that plays in this game.
    std::optional<Recording> best(int level) const;

private:
    std::filesystem::path runFile(long long number) const;
    // The numbers of the player's last runs, lowest first.
    std::vector<long long> runNumbers() const;

    std::filesystem::path folder;
    std::string name;
};
