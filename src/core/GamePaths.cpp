#include "core/GamePaths.hpp"

#include "core/BuildInfo.hpp"

#include <cstdlib>
#include <ostream>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const DataFolders[] = {"Images", "Audio", "Fonts", "Levels", "Scripts"};
const char* const WhatDataIs = "a data folder holds the folders Images, Audio, Fonts, Levels and "
                               "Scripts; name one with --data DIR";

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// Without $HOME, the account's home, as other programs find it.
std::optional<std::string> home() {
    if (auto value = environment("HOME"))
        return value;
    if (const passwd* account = getpwuid(getuid()); account && account->pw_dir)
        return std::string(account->pw_dir);
    return std::nullopt;
}

// Like every freedesktop.org program, the game ignores an empty or relative XDG_DATA_HOME.
std::optional<fs::path> absoluteSetting(const std::optional<std::string>& value) {
    if (!value || value->empty() || !fs::path(*value).is_absolute())
        return std::nullopt;
    return fs::path(*value);
}

} // namespace

GamePaths GamePaths::choose(const Places& places) {
    GamePaths paths;
    if (places.dataOption) {
        const fs::path named = (places.workingFolder / *places.dataOption).lexically_normal();
        if (!places.holdsData(named)) {
            paths.trouble =
                "no game data in " + named.string() + " (named with --data); " + WhatDataIs;
            return paths;
        }
        paths.data = named;
    } else if (places.holdsData(places.workingFolder)) {
        paths.data = places.workingFolder;
    } else if (places.holdsData(places.installedData)) {
        paths.data = places.installedData;
    } else {
        paths.trouble = "no game data in " + places.workingFolder.string() +
                        " (the working directory) or " + places.installedData.string() +
                        " (the installed data folder); " + WhatDataIs;
        return paths;
    }

    if (!places.isInstalledCopy(paths.data)) {
        paths.saves = ".";
        return paths;
    }
    std::optional<fs::path> base = absoluteSetting(places.xdgDataHome);
    if (!base) {
        if (const auto homeFolder = absoluteSetting(places.home))
            base = *homeFolder / ".local" / "share";
    }
    if (!base) {
        paths.trouble = "no folder for the players' saves: neither XDG_DATA_HOME nor HOME names "
                        "an absolute folder";
        return paths;
    }
    paths.saves = (*base / "quellix").lexically_normal();
    return paths;
}

GamePaths::Places GamePaths::placesOfThisProcess(const std::optional<fs::path>& dataOption) {
    std::error_code error;
    Places places;
    places.workingFolder = fs::current_path(error);
    places.installedData = BuildInfo::InstalledDataFolder;
    places.dataOption = dataOption;
    places.xdgDataHome = environment("XDG_DATA_HOME");
    places.home = home();
    places.holdsData = &GamePaths::holdsData;
    places.isInstalledCopy = &GamePaths::isInstalledCopy;
    return places;
}

bool GamePaths::holdsData(const fs::path& folder) {
    std::error_code error;
    for (const char* name : DataFolders)
        if (!fs::is_directory(folder / name, error))
            return false;
    return true;
}

bool GamePaths::isInstalledCopy(const fs::path& folder) {
    std::error_code error;
    return fs::exists(folder / BuildInfo::InstalledMarker, error);
}

fs::path GamePaths::userFolder() const {
    return (saves / "User").lexically_normal();
}

fs::path GamePaths::catalogueFolder() const {
    std::error_code error;
    if (fs::is_directory(data / "Locale", error))
        return data / "Locale";
    return BuildInfo::InstalledLocaleFolder;
}

bool GamePaths::enter(std::ostream& err) const {
    if (!trouble.empty()) {
        err << "quellix: " << trouble << "\n";
        return false;
    }
    std::error_code error;
    fs::current_path(data, error);
    if (error) {
        err << "quellix: cannot enter the data folder " << data.string() << " (" << error.message()
            << ")\n";
        return false;
    }
    return true;
}
