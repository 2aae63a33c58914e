#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The current player's record: filled by the loading task, used by the menu and the game. The four
// stored values come from the player's user file. value2 is the best level the player has reached
// (0: none yet); the others have no meaning yet and are kept as they are.
class UserProfile {
public:
    // Reads value1, value2 (a number), value3 and value4, each after any white space. A value that
    // is missing or unreadable keeps its previous value and is reported on std::cerr with the
    // file's name; false then, and also when the file cannot be opened or is no regular file of
    // at most UserFiles::MaxUserFileBytes. A file that is not read whole gives no progress
    // (value2 is 0). Name and loggedIn are not touched.
    bool load(const std::filesystem::path& path);
    void setValues(char first, std::int64_t second, char third, char fourth);

    char value1 = 0;
    std::int64_t value2 = 0;
    std::string name;
    char value3 = 0;
    char value4 = 0;
    bool loggedIn = false;
};
