#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

// Where the game reads its data and where it keeps its players.
//
// Data: the folder named with --data when there is one (and then no other); otherwise the working
// directory when it holds the game's data, otherwise the installed data folder. A folder holds the
// data when it has the folders Images, Audio, Fonts, Levels and Scripts; a single missing or broken
// file in them is the game's to report as it plays, not a reason to look elsewhere.
//
// Saves: the folder User inside the data folder, as in a source tree. An installed data folder
// (`cmake --install` marks it with a file, BuildInfo::InstalledMarker) is never written to: its
// players live in $XDG_DATA_HOME/quellix/User, or ~/.local/share/quellix/User when XDG_DATA_HOME
// is unset, empty or not absolute. The folders are made when the first player is looked for.
//
// The game makes the data folder its working directory once, at start-up, so every picture, sound,
// level and script keeps its relative path whichever folder was chosen. The save folders are given
// as the game uses them from there: relative inside the data folder, absolute elsewhere.
class GamePaths {
public:
    using FolderTest = std::function<bool(const std::filesystem::path&)>;

    // Everything the choice depends on.
    struct Places {
        std::filesystem::path workingFolder;             // absolute
        std::filesystem::path installedData;             // chosen when the game was configured
        std::optional<std::filesystem::path> dataOption; // --data, relative to workingFolder
        std::optional<std::string> xdgDataHome;
        std::optional<std::string> home;
        FolderTest holdsData;
        FolderTest isInstalledCopy;
    };

    static GamePaths choose(const Places& places);
    // This process's working directory, environment and file system.
    static Places placesOfThisProcess(const std::optional<std::filesystem::path>& dataOption);

    static bool holdsData(const std::filesystem::path& folder);
    static bool isInstalledCopy(const std::filesystem::path& folder);

    // One line naming the places tried when a folder is missing; empty when both were found.
    const std::string& problem() const { return trouble; }
    const std::filesystem::path& dataFolder() const { return data; }
    // The folder that holds User; other files of the players belong beside User, in here.
    const std::filesystem::path& saveRoot() const { return saves; }
    std::filesystem::path userFolder() const;
    // The translations' catalogues: the data folder's Locale when it has one (a source tree, made
    // by the build), otherwise the installed locale folder.
    std::filesystem::path catalogueFolder() const;

    // Reports the problem on `err`, or makes the data folder the working directory. False when
    // the game cannot start.
    bool enter(std::ostream& err) const;

private:
    std::filesystem::path data;
    std::filesystem::path saves;
    std::string trouble;
};
