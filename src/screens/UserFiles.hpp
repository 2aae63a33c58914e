#pragma once

#include <filesystem>
#include <string>
#include <vector>

class UserProfile;

// The players' save area, the folder "User" below the working directory: the list "UserData.bin"
// names every registered player, newest first, one per line; each player has a file of their own,
// name + ".bin", holding four values on four lines. Both are plain text.
class UserFiles {
public:
    enum class Registration { Registered, BadName, NotSaved };

    explicit UserFiles(std::filesystem::path folder = "User");

    // A name is used in a file name exactly as typed, so a name that would reach outside the folder
    // or split into two lines of the list is refused: one with '/', '\\', a line break or a NUL
    // character, the names "." and "..", and "UserData", whose file would be the list itself.
    // Every other name is fine, the empty one included.
    static bool isValidName(const std::string& name);

    std::filesystem::path listFile() const;
    std::filesystem::path userFile(const std::string& name) const;

    // Whether the player's file can be opened for reading.
    bool hasUserFile(const std::string& name) const;

    // Puts the name first in the list, creates the player's file with the values 5, 0, 1, 1 and
    // gives the profile those values. The list is replaced in one step (a new file renamed over
    // it), so a failed write leaves the old list as it was. BadName changes nothing; NotSaved
    // (reported on std::cerr) still gives the profile the new player's values.
    Registration registerUser(const std::string& name, UserProfile& profile) const;

    // The lines of the list in file order; no list gives none.
    std::vector<std::string> list() const;

    // The start-up look-up: the first listed player whose file exists becomes current (values
    // loaded, name set, logged in). Creates the folder when there is none yet.
    void findCurrentUser(UserProfile& profile) const;

private:
    std::filesystem::path folder;
};
