// Where the game reads its data and keeps its players: the choice itself on made-up places, the
// real tests of a folder, and save folders that cannot be made.
#include "core/BuildInfo.hpp"
#include "core/GamePaths.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

using namespace testsupport;

const fs::path Tree = "/home/ann/src/quellix/data";
const fs::path Installed = "/usr/share/games/quellix";
const fs::path Elsewhere = "/home/ann";

// Places in which only the folders named hold data, and only those named are installed copies.
GamePaths::Places places(const fs::path& working, std::set<fs::path> withData,
                         std::set<fs::path> installed = {Installed}) {
    GamePaths::Places result;
    result.workingFolder = working;
    result.installedData = Installed;
    result.home = "/home/ann";
    result.holdsData = [withData](const fs::path& folder) { return withData.count(folder) > 0; };
    result.isInstalledCopy = [installed](const fs::path& folder) {
        return installed.count(folder) > 0;
    };
    return result;
}

TEST(GamePaths, ASourceTreesDataFolderKeepsItsPlayersInItsOwnUserFolder) {
    const GamePaths paths = GamePaths::choose(places(Tree, {Tree, Installed}));
    EXPECT_EQ(paths.problem(), "");
    EXPECT_EQ(paths.dataFolder(), Tree);
    EXPECT_EQ(paths.saveRoot(), ".") << "the data folder, once the game runs inside it";
    EXPECT_EQ(paths.userFolder(), "User");
}

TEST(GamePaths, AnInstalledGameKeepsItsPlayersInTheDefaultDataHome) {
    const GamePaths paths = GamePaths::choose(places(Elsewhere, {Tree, Installed}));
    EXPECT_EQ(paths.problem(), "");
    EXPECT_EQ(paths.dataFolder(), Installed);
    EXPECT_EQ(paths.saveRoot(), "/home/ann/.local/share/quellix");
    EXPECT_EQ(paths.userFolder(), "/home/ann/.local/share/quellix/User");
    // Started inside the installed folder, as a menu entry may do: still the home.
    const GamePaths inside = GamePaths::choose(places(Installed, {Installed}));
    EXPECT_EQ(inside.dataFolder(), Installed);
    EXPECT_EQ(inside.userFolder(), "/home/ann/.local/share/quellix/User");
}

TEST(GamePaths, XdgDataHomeWhenSetAbsoluteAndNotEmpty) {
    GamePaths::Places set = places(Elsewhere, {Installed});
    set.xdgDataHome = "/data/ann/";
    EXPECT_EQ(GamePaths::choose(set).userFolder(), "/data/ann/quellix/User");
    for (const char* ignored : {"", "relative/share"}) {
        GamePaths::Places bad = places(Elsewhere, {Installed});
        bad.xdgDataHome = ignored;
        EXPECT_EQ(GamePaths::choose(bad).userFolder(), "/home/ann/.local/share/quellix/User")
            << "XDG_DATA_HOME='" << ignored << "'";
    }
}

TEST(GamePaths, DataNamedOnTheCommandLineWinsAndIsReadFromTheWorkingDirectory) {
    GamePaths::Places named = places(Tree, {Tree, Installed, "/home/ann/copy"});
    named.dataOption = "../../../copy";
    const GamePaths paths = GamePaths::choose(named);
    EXPECT_EQ(paths.problem(), "");
    EXPECT_EQ(paths.dataFolder(), "/home/ann/copy");
    EXPECT_EQ(paths.userFolder(), "User") << "a copy that was not installed keeps its players";

    named.dataOption = Installed;
    EXPECT_EQ(GamePaths::choose(named).userFolder(), "/home/ann/.local/share/quellix/User");
}

TEST(GamePaths, DataNamedOnTheCommandLineWithoutDataIsAProblemNamingOnlyThatFolder) {
    GamePaths::Places named = places(Tree, {Tree, Installed});
    named.dataOption = "/mnt/empty";
    const GamePaths paths = GamePaths::choose(named);
    EXPECT_EQ(paths.problem(),
              "no game data in /mnt/empty (named with --data); a data folder holds the folders "
              "Images, Audio, Fonts, Levels and Scripts; name one with --data DIR");
}

TEST(GamePaths, NoDataAnywhereNamesBothPlacesTried) {
    const GamePaths paths = GamePaths::choose(places(Elsewhere, {}));
    EXPECT_EQ(paths.problem(), "no game data in /home/ann (the working directory) or "
                               "/usr/share/games/quellix (the installed data folder); a data "
                               "folder holds the folders Images, Audio, Fonts, Levels and "
                               "Scripts; name one with --data DIR");
}

TEST(GamePaths, AnInstalledGameWithoutAnyHomeCannotStart) {
    GamePaths::Places homeless = places(Elsewhere, {Installed});
    homeless.home.reset();
    EXPECT_NE(GamePaths::choose(homeless).problem().find("neither XDG_DATA_HOME nor HOME"),
              std::string::npos);
    homeless.home = "";
    EXPECT_NE(GamePaths::choose(homeless).problem(), "");
    homeless.xdgDataHome = "/var/lib/ann";
    EXPECT_EQ(GamePaths::choose(homeless).problem(), "");
}

TEST(GamePaths, EnteringReportsTheProblemOnceOrMovesIntoTheDataFolder) {
    std::ostringstream err;
    EXPECT_FALSE(GamePaths::choose(places(Elsewhere, {})).enter(err));
    EXPECT_EQ(err.str(), "quellix: " + GamePaths::choose(places(Elsewhere, {})).problem() + "\n");

    const TempDir dir;
    const ScopedCwd back(fs::temp_directory_path());
    std::ostringstream quiet;
    GamePaths::Places real = places(dir.path(), {dir.path()}, {});
    EXPECT_TRUE(GamePaths::choose(real).enter(quiet));
    EXPECT_EQ(fs::current_path(), dir.path());
    EXPECT_EQ(quiet.str(), "");
}

// --- The real tests of a folder and the real save folders ---------------------------------------

void makeDataFolder(const fs::path& folder) {
    for (const char* name : {"Images", "Audio", "Fonts", "Levels", "Scripts"})
        fs::create_directories(folder / name);
}

TEST(GamePathsOnDisk, DataIsAllFiveFoldersAndOnlyTheInstallersMarkMakesAnInstalledCopy) {
    const TempDir dir;
    makeDataFolder(dir.path());
    EXPECT_TRUE(GamePaths::holdsData(dir.path()));
    EXPECT_TRUE(GamePaths::holdsData(dataDir())) << "the build's own data folder";
    EXPECT_FALSE(GamePaths::isInstalledCopy(dir.path()));
    EXPECT_FALSE(GamePaths::isInstalledCopy(dataDir()));
    writeFile(dir / BuildInfo::InstalledMarker, "");
    EXPECT_TRUE(GamePaths::isInstalledCopy(dir.path()));
    fs::remove(dir / "Scripts");
    writeFile(dir / "Scripts", "a file, not a folder");
    EXPECT_FALSE(GamePaths::holdsData(dir.path()));
    EXPECT_FALSE(GamePaths::holdsData(dir / "missing"));
}

TEST(GamePathsOnDisk, TheTranslationsAreTheDataFoldersOwnWhenItHasThemElseTheInstalledOnes) {
    const TempDir dir;
    makeDataFolder(dir.path());
    const GamePaths paths = GamePaths::choose(places(dir.path(), {dir.path()}, {}));
    EXPECT_EQ(paths.catalogueFolder(), fs::path(BuildInfo::InstalledLocaleFolder));
    fs::create_directories(dir / "Locale");
    EXPECT_EQ(paths.catalogueFolder(), dir / "Locale");
}

TEST(GamePathsOnDisk, TheInstalledGamesPlayersFolderIsMadeOnFirstUseAndUsedLater) {
    const TempDir dir;
    makeDataFolder(dir / "installed");
    writeFile(dir / "installed" / BuildInfo::InstalledMarker, "");
    GamePaths::Places real = GamePaths::placesOfThisProcess(dir / "installed");
    real.xdgDataHome = (dir / "xdg").string();
    const GamePaths paths = GamePaths::choose(real);
    ASSERT_EQ(paths.problem(), "");
    EXPECT_EQ(paths.userFolder(), dir / "xdg" / "quellix" / "User");

    const UserFiles files(paths.userFolder());
    UserProfile profile;
    files.findCurrentUser(profile);
    EXPECT_TRUE(fs::is_directory(dir / "xdg" / "quellix" / "User"));
    EXPECT_EQ(files.registerUser("Ann", profile), UserFiles::Registration::Registered);
    EXPECT_EQ(readFile(dir / "xdg" / "quellix" / "User" / "UserData.bin"), "Ann\n");
    EXPECT_EQ(readFile(dir / "xdg" / "quellix" / "User" / "Ann.bin"), "5\n0\n1\n1");
    UserProfile next;
    files.findCurrentUser(next);
    EXPECT_EQ(next.name, "Ann");
    EXPECT_FALSE(fs::exists(dir / "installed" / "User")) << "nothing is written to the data";
}

TEST(GamePathsOnDisk, APlayersFolderThatCannotBeMadeIsReportedByName) {
    // A file where a folder should be stops even root, which ignores permissions.
    const TempDir dir;
    writeFile(dir / "not-a-folder", "");
    GamePaths::Places real = GamePaths::placesOfThisProcess(std::nullopt);
    real.workingFolder = dir.path();
    real.holdsData = [&](const fs::path& folder) { return folder == real.installedData; };
    real.isInstalledCopy = real.holdsData;
    real.xdgDataHome = (dir / "not-a-folder" / "share").string();
    const GamePaths paths = GamePaths::choose(real);
    ASSERT_EQ(paths.problem(), "");
    const fs::path folder = dir / "not-a-folder" / "share" / "quellix" / "User";
    EXPECT_EQ(paths.userFolder(), folder);

    const UserFiles files(paths.userFolder());
    CaptureErrors errors;
    UserProfile profile;
    files.findCurrentUser(profile);
    EXPECT_FALSE(profile.loggedIn);
    EXPECT_NE(errors.text().find(folder.string() +
                                 ": cannot create the folder for the players' files (Not a "
                                 "directory)"),
              std::string::npos)
        << errors.text();
    EXPECT_EQ(files.registerUser("Ann", profile), UserFiles::Registration::NotSaved);
    EXPECT_NE(errors.text().find((folder / "UserData.bin").string() + ": cannot create"),
              std::string::npos)
        << errors.text();
}

} // namespace
