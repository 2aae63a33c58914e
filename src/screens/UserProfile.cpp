#include "screens/UserProfile.hpp"

#include "screens/UserFiles.hpp"

#include <charconv>
#include <iostream>
#include <sstream>

namespace {

void reportUnreadable(const std::filesystem::path& path, int position) {
    std::cerr << path.string() << ": value " << position
              << " is missing or unreadable; no level counts as reached\n";
}

bool readCharacter(std::istream& in, char& field, const std::filesystem::path& path, int position) {
    char value = 0;
    if (!(in >> value)) {
        reportUnreadable(path, position);
        return false;
    }
    field = value;
    return true;
}

// The number is the next word as a whole; a word that is not one is skipped, so the values after
// it can still be read.
bool readNumber(std::istream& in, std::int64_t& field, const std::filesystem::path& path,
                int position) {
    std::string word;
    std::int64_t value = 0;
    if (in >> word) {
        const char* begin = word.data();
        const char* end = begin + word.size();
        if (word.size() > 1 && word[0] == '+' && word[1] != '-')
            ++begin;
        const auto [stop, error] = std::from_chars(begin, end, value);
        if (error == std::errc() && stop == end) {
            field = value;
            return true;
        }
    }
    reportUnreadable(path, position);
    return false;
}

} // namespace

bool UserProfile::load(const std::filesystem::path& path) {
    std::string content;
    std::string problem;
    if (!UserFiles::readSmallFile(path, UserFiles::MaxUserFileBytes, content, problem)) {
        std::cerr << path.string() << ": the user file "
                  << (problem.empty() ? "cannot be opened" : problem)
                  << "; no level counts as reached\n";
        value2 = 0;
        return false;
    }
    std::istringstream in(content);
    bool complete = readCharacter(in, value1, path, 1);
    complete = readNumber(in, value2, path, 2) && complete;
    complete = readCharacter(in, value3, path, 3) && complete;
    complete = readCharacter(in, value4, path, 4) && complete;
    // A progress read from a damaged file could be anything.
    if (!complete)
        value2 = 0;
    return complete;
}

void UserProfile::setValues(char first, std::int64_t second, char third, char fourth) {
    value1 = first;
    value2 = second;
    value3 = third;
    value4 = fourth;
}
