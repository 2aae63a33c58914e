#include "screens/UserFiles.hpp"

#include "screens/UserProfile.hpp"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const DefaultUserFile = "5\n0\n1\n1";

// A folder opens like a file on this system, but holds no values.
bool isReadable(const fs::path& path) {
    std::error_code error;
    return !fs::is_directory(path, error) && static_cast<bool>(std::ifstream(path));
}

// The whole list as it is on disk; a missing or unreadable one counts as empty.
std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeWhole(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    return static_cast<bool>(out);
}

} // namespace

UserFiles::UserFiles(fs::path folder) : folder(std::move(folder)) {}

bool UserFiles::isValidName(const std::string& name) {
    // "UserData" would make the player's file the list itself.
    if (name == "." || name == ".." || name == "UserData")
        return false;
    return name.find_first_of(std::string("/\\\n\r\0", 5)) == std::string::npos;
}

fs::path UserFiles::listFile() const {
    return folder / "UserData.bin";
}

fs::path UserFiles::userFile(const std::string& name) const {
    return folder / (name + ".bin");
}

bool UserFiles::hasUserFile(const std::string& name) const {
    return isValidName(name) && isReadable(userFile(name));
}

UserFiles::Registration UserFiles::registerUser(const std::string& name,
                                                UserProfile& profile) const {
    if (!isValidName(name))
        return Registration::BadName;
    profile.setValues(5, 0, 1, 1);

    std::error_code error;
    fs::create_directories(folder, error);
    const fs::path list = listFile();
    const fs::path replacement = list.string() + ".new";
    if (!writeWhole(replacement, name + "\n" + readWhole(list))) {
        std::cerr << replacement.string() << ": cannot write the new user list; " << list.string()
                  << " is left as it was and " << name << " is not saved\n";
        fs::remove(replacement, error);
        return Registration::NotSaved;
    }
    fs::rename(replacement, list, error);
    if (error) {
        std::cerr << list.string() << ": cannot replace the user list (" << error.message()
                  << "); it is left as it was and " << name << " is not saved\n";
        fs::remove(replacement, error);
        return Registration::NotSaved;
    }
    const fs::path file = userFile(name);
    if (!writeWhole(file, DefaultUserFile)) {
        std::cerr << file.string() << ": cannot create the user file; " << name
                  << " stays listed but is skipped at the next start\n";
        return Registration::NotSaved;
    }
    return Registration::Registered;
}

std::vector<std::string> UserFiles::list() const {
    std::vector<std::string> names;
    std::ifstream in(listFile());
    for (std::string line; std::getline(in, line);)
        names.push_back(line);
    return names;
}

void UserFiles::findCurrentUser(UserProfile& profile) const {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        fs::create_directories(folder, error);
        if (error)
            std::cerr << folder.string() << ": cannot create the folder for the players' files ("
                      << error.message() << ")\n";
        return;
    }
    std::ifstream in(listFile());
    if (!in)
        return;
    // Read to the very end, so a list ending in a line break also offers an empty last name.
    std::vector<std::string> lines;
    for (;;) {
        std::string line;
        std::getline(in, line);
        if (in.bad())
            break;
        lines.push_back(line);
        if (in.eof() || in.fail())
            break;
    }
    for (const std::string& line : lines) {
        if (!isValidName(line) || !isReadable(userFile(line)))
            continue;
        profile.load(userFile(line));
        profile.loggedIn = true;
        profile.name = line;
        return;
    }
    // A list that names nobody usable is worth a word: the player will be asked for a name.
    const bool empty = lines.size() == 1 && lines.front().empty();
    std::cerr << listFile().string() << ": "
              << (empty ? "the list of players is empty" : "no listed player has a file")
              << "; no player is current\n";
}
