#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class UserProfile;

// The players' save area, the folder "User" below the working directory: the list "UserData.bin"
// names every registered player, newest first, one per line; each player has a file of their own,
// name + ".bin", holding four values on four lines. Both are plain text.
//
// The folder is not trusted. Only regular files are read (a link to one is followed), and only as
// much as such a file can sensibly hold, so a FIFO or a link to a device cannot stall the game.
// Files are replaced by renaming a fresh file over them, so a link at their path is replaced and
// never written through. Changes to the list are made under a lock on the folder, so two copies of
// the game registering at once both keep their player.
class UserFiles {
public:
    enum class Registration { Registered, BadName, NotSaved, Unreadable };

    // The name page takes at most this many characters: in the list's UTF-8, at most four bytes
    // each. Longer lines were not written by the game and are skipped.
    static constexpr std::size_t MaxNameLength = 15;
    static constexpr std::size_t MaxNameBytes = 4 * MaxNameLength;
    // Tens of thousands of players; a player's file holds four short values.
    static constexpr std::size_t MaxListBytes = 1024 * 1024;
    static constexpr std::size_t MaxUserFileBytes = 4096;

    explicit UserFiles(std::filesystem::path folder = "User");

    // A name is used in a file name exactly as typed, so a name that would reach outside the folder
    // or split into two lines of the list is refused: one with '/', '\\', a line break or a NUL
    // character, the names "." and "..", and "UserData", whose file would be the list itself.
    // Every other name is fine, the empty one included.
    static bool isValidName(const std::string& name);
    // Why the name is refused, in words for the player (English: tr() gives them in the player's
    // language); empty for a name that is fine.
    static std::string whyRefused(const std::string& name);

    std::filesystem::path listFile() const;
    std::filesystem::path userFile(const std::string& name) const;
    std::filesystem::path newPlayerFile(const std::string& name) const;

    // Whether the player's file is a regular file that can be opened for reading. When it is there
    // but cannot be used, problem says why ("cannot be opened (Permission denied)", "is not a
    // regular file"); it stays empty when there is no file.
    bool hasUserFile(const std::string& name) const;
    bool hasUserFile(const std::string& name, std::string& problem) const;

    // Puts the name first in the list, creates the player's file with the values 5, 0, 1, 1 and
    // gives the profile those values. The list is replaced in one step, so a failed write leaves
    // the old list as it was; a list that cannot be read is left alone too. BadName changes
    // nothing, and neither does Unreadable: the player's file is there but cannot be read (another
    // user's, say), and the player it holds must not be replaced by a new one. NotSaved (reported
    // on std::cerr) still gives the profile the new player's values.
    Registration registerUser(const std::string& name, UserProfile& profile) const;

    // Writes the profile's four values into the file of the player it names, replacing the file in
    // one step; a value that is no visible character (as a registration or an unreadable file
    // leaves it) is written as a new player's. False (reported) when it cannot be written.
    bool saveValues(const UserProfile& profile) const;

    // For a player whose file exists: puts the name first in the list when the list does not name
    // it at all (lost from the list, or the list was edited elsewhere), so the next start finds it.
    void keepListed(const std::string& name) const;
    // Puts the name first in the list and takes it out wherever else it was; every other line
    // stays as it was. The next start then finds this player first. False (reported) when the
    // list cannot be read or replaced.
    bool moveFirst(const std::string& name) const;

    // A player registered by this game is new until How to play has opened for them, once, before
    // their first level: a file beside theirs, name + ".new", says so. Players registered before
    // have none, and their own files never change for it.
    bool isNewPlayer(const std::string& name) const;
    void setNewPlayer(const std::string& name, bool isNew) const;

    // The lines of the list in file order, a line end of CR LF counting as one; no list gives none.
    std::vector<std::string> list() const;

    // The start-up look-up: the first listed player whose file exists becomes current (values
    // loaded, name set, logged in). Creates the folder when there is none yet, and removes the
    // leftovers of writes that were cut short.
    void findCurrentUser(UserProfile& profile) const;

    // Reads a whole regular file of at most limit bytes into content, without waiting on a FIFO or
    // reading a device. False when it cannot: problem is then empty for a missing file and says
    // what is wrong otherwise.
    static bool readSmallFile(const std::filesystem::path& path, std::size_t limit,
                              std::string& content, std::string& problem);

    // Writes a new file beside the target, under a name no other file has, and renames it over the
    // target: whatever was at the target, a link included, is replaced, and a failed write leaves
    // it as it was. False when it cannot, with the reason in problem.
    static bool replaceFile(const std::filesystem::path& target, const std::string& content,
                            std::string& problem);
    // Removes from the folder the new files that replaceFile left behind when the game was killed
    // while it wrote: a target's name, a dot and six letters or digits, for the targets isTarget
    // accepts. One written in the last minute is left: another copy of the game may be writing it.
    static void removeLeftovers(const std::filesystem::path& folder,
                                const std::function<bool(const std::string& target)>& isTarget);

private:
    // The list's lines; withEmptyEnd keeps the empty line after a final line break, as the
    // start-up look-up offers it. Nothing when there is no list or it cannot be read (reported).
    std::optional<std::vector<std::string>> readList(bool withEmptyEnd) const;
    enum class Listing { Prepend, UnlessListed, Move };
    // Puts the name first in the list: always (Prepend), unless it is listed already
    // (UnlessListed), or taking it out where else it is (Move). False (reported) when the list
    // could not be read or replaced.
    bool putFirst(const std::string& name, Listing listing) const;

    std::filesystem::path folder;
};
