#include "screens/UserFiles.hpp"

#include "core/Translation.hpp"
#include "screens/UserProfile.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A new player's values; the file holds "5\n0\n1\n1".
const char DefaultValue1 = '5', DefaultValue3 = '1', DefaultValue4 = '1';

// The four values on four lines, no line break after the last; a value that is no visible
// character is written as a new player's.
std::string userFileContent(char value1, std::int64_t value2, char value3, char value4) {
    const auto visibleOr = [](char value, char fallback) {
        return std::isgraph(static_cast<unsigned char>(value)) ? value : fallback;
    };
    return std::string(1, visibleOr(value1, DefaultValue1)) + "\n" + std::to_string(value2) + "\n" +
           visibleOr(value3, DefaultValue3) + "\n" + visibleOr(value4, DefaultValue4);
}

// Owns a file descriptor (none when negative) and closes it.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd(other.fd) { other.fd = -1; }
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    int get() const { return fd; }
    // Closes now, for a caller that needs to know whether everything reached the disk.
    bool close() {
        const int closing = fd;
        fd = -1;
        return ::close(closing) == 0;
    }

private:
    int fd;
};

// An exclusive lock on the folder while it lives; without one (a system that does not lock)
// the list is still replaced in one step.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder)
        : folder(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (this->folder.get() >= 0)
            while (::flock(this->folder.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
    }

private:
    Descriptor folder;
};

std::string systemError() {
    return std::strerror(errno);
}

bool writeAll(int fd, const std::string& content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t step = ::write(fd, content.data() + written, content.size() - written);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return false;
        written += static_cast<std::size_t>(step);
    }
    return true;
}

// Opens a regular file (following links) for reading, or says why not: problem stays empty for a
// missing file. Opening a FIFO for reading would wait for a writer; without blocking it opens at
// once, and is then refused as no regular file.
Descriptor openRegular(const fs::path& path, std::string& problem) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            problem = "cannot be opened (" + systemError() + ")";
        return file;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = "is not a regular file";
        return Descriptor();
    }
    return file;
}

// The lines of a list, a CR before the line break being part of the line end. Lines longer than
// any name are skipped and reported, naming the file.
std::vector<std::string> splitLines(const std::string& content, bool withEmptyEnd,
                                    const fs::path& file) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t number = 1; start < content.size() || withEmptyEnd; ++number) {
        const std::size_t end = std::min(content.find('\n', start), content.size());
        std::size_t length = end - start;
        if (length > 0 && end < content.size() && content[end - 1] == '\r')
            --length;
        if (length > UserFiles::MaxNameBytes)
            std::cerr << file.string() << ": line " << number << " is longer than any name ("
                      << length << " bytes); it is skipped\n";
        else
            lines.push_back(content.substr(start, length));
        if (end == content.size())
            break;
        start = end + 1;
    }
    return lines;
}

// The content without the lines that hold exactly the name (a CR before the line break being part
// of the line end, as for splitLines); every other line is kept byte for byte.
std::string withoutLine(const std::string& content, const std::string& name) {
    std::string kept;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = std::min(content.find('\n', start), content.size());
        std::size_t length = end - start;
        if (length > 0 && end < content.size() && content[end - 1] == '\r')
            --length;
        const std::size_t next = std::min(end + 1, content.size());
        if (content.compare(start, length, name) != 0 || length != name.size())
            kept.append(content, start, next - start);
        start = next;
    }
    return kept;
}

// Marks a new player; what it holds is for a person who looks into the folder.
const char* const NewPlayerNote = "How to play opens once before this player's first level\n";

} // namespace

UserFiles::UserFiles(fs::path folder) : folder(std::move(folder)) {}

bool UserFiles::isValidName(const std::string& name) {
    return whyRefused(name).empty();
}

std::string UserFiles::whyRefused(const std::string& name) {
    if (name == "." || name == "..")
        return trLater("A name cannot be . or ..");
    // Its file would be the list itself.
    if (name == "UserData")
        return trLater("UserData is the game's list of players: choose another name");
    if (name.find_first_of("/\\") != std::string::npos)
        return trLater("A name cannot contain / or \\");
    if (name.find_first_of("\n\r") != std::string::npos)
        return trLater("A name cannot contain a line break");
    if (name.find('\0') != std::string::npos)
        return trLater("A name cannot contain a NUL character");
    return std::string();
}

fs::path UserFiles::listFile() const {
    return folder / "UserData.bin";
}

fs::path UserFiles::userFile(const std::string& name) const {
    return folder / (name + ".bin");
}

bool UserFiles::readSmallFile(const fs::path& path, std::size_t limit, std::string& content,
                              std::string& problem) {
    content.clear();
    problem.clear();
    const Descriptor file = openRegular(path, problem);
    if (file.get() < 0)
        return false;
    // Read one byte more than allowed, to see a file that is too large (or grew meanwhile).
    char buffer[4096];
    for (;;) {
        const std::size_t wanted = std::min(sizeof buffer, limit + 1 - content.size());
        const ssize_t got = ::read(file.get(), buffer, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem = "cannot be read (" + systemError() + ")";
            return false;
        }
        if (got == 0)
            return true;
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > limit) {
            content.clear();
            problem = "is larger than " + std::to_string(limit) + " bytes";
            return false;
        }
    }
}

bool UserFiles::replaceFile(const fs::path& target, const std::string& content,
                            std::string& problem) {
    std::string temporary = target.string() + ".XXXXXX";
    Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        problem = "cannot create a new file beside it (" + systemError() + ")";
        return false;
    }
    if (!writeAll(file.get(), content) || ::fsync(file.get()) != 0 || !file.close()) {
        problem = "cannot write its new content (" + systemError() + ")";
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        problem = "cannot replace it (" + systemError() + ")";
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void UserFiles::removeLeftovers(const fs::path& folder,
                                const std::function<bool(const std::string& target)>& isTarget) {
    // What mkstemp puts in place of the six X of replaceFile's temporary names.
    const std::size_t Suffix = 7;
    const auto now = fs::file_time_type::clock::now();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= Suffix || name[name.size() - Suffix] != '.' ||
            !std::all_of(name.end() - (Suffix - 1), name.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }) ||
            !isTarget(name.substr(0, name.size() - Suffix)) || !entry.is_regular_file(error) ||
            entry.is_symlink(error))
            continue;
        const auto written = fs::last_write_time(entry.path(), error);
        if (!error && now - written > std::chrono::minutes(1))
            fs::remove(entry.path(), error);
    }
}

bool UserFiles::hasUserFile(const std::string& name) const {
    std::string problem;
    return hasUserFile(name, problem);
}

bool UserFiles::hasUserFile(const std::string& name, std::string& problem) const {
    problem.clear();
    return isValidName(name) && openRegular(userFile(name), problem).get() >= 0;
}

std::optional<std::vector<std::string>> UserFiles::readList(bool withEmptyEnd) const {
    std::string content;
    std::string problem;
    if (!readSmallFile(listFile(), MaxListBytes, content, problem)) {
        if (!problem.empty())
            std::cerr << listFile().string() << ": " << problem << "; it is not read\n";
        return std::nullopt;
    }
    return splitLines(content, withEmptyEnd, listFile());
}

bool UserFiles::putFirst(const std::string& name, Listing listing) const {
    const FolderLock lock(folder);
    const fs::path list = listFile();
    std::string content;
    std::string problem;
    const auto notSaved = [&] {
        std::cerr << list.string() << ": " << problem << "; it is left as it was and " << name
                  << " is not saved\n";
        return false;
    };
    if (!readSmallFile(list, MaxListBytes, content, problem) && !problem.empty())
        return notSaved();
    if (listing == Listing::UnlessListed) {
        const std::vector<std::string> names = splitLines(content, true, list);
        if (std::find(names.begin(), names.end(), name) != names.end())
            return true;
    }
    if (listing == Listing::Move)
        content = withoutLine(content, name);
    return replaceFile(list, name + "\n" + content, problem) || notSaved();
}

UserFiles::Registration UserFiles::registerUser(const std::string& name,
                                                UserProfile& profile) const {
    if (!isValidName(name))
        return Registration::BadName;
    std::string problem;
    if (!hasUserFile(name, problem) && !problem.empty())
        return Registration::Unreadable;
    profile.setValues(5, 0, 1, 1);

    std::error_code error;
    fs::create_directories(folder, error);
    if (!putFirst(name, Listing::Prepend))
        return Registration::NotSaved;
    const fs::path file = userFile(name);
    if (!replaceFile(file, userFileContent(DefaultValue1, 0, DefaultValue3, DefaultValue4),
                     problem)) {
        std::cerr << file.string() << ": " << problem << "; " << name
                  << " stays listed but is skipped at the next start\n";
        return Registration::NotSaved;
    }
    return Registration::Registered;
}

bool UserFiles::saveValues(const UserProfile& profile) const {
    if (!isValidName(profile.name))
        return false;
    const fs::path file = userFile(profile.name);
    const std::string content =
        userFileContent(profile.value1, profile.value2, profile.value3, profile.value4);
    std::string problem;
    if (!replaceFile(file, content, problem)) {
        std::cerr << file.string() << ": " << problem << "; " << profile.name
                  << "'s progress is not kept\n";
        return false;
    }
    return true;
}

void UserFiles::keepListed(const std::string& name) const {
    if (isValidName(name))
        putFirst(name, Listing::UnlessListed);
}

bool UserFiles::moveFirst(const std::string& name) const {
    return isValidName(name) && putFirst(name, Listing::Move);
}

fs::path UserFiles::newPlayerFile(const std::string& name) const {
    return folder / (name + ".new");
}

bool UserFiles::isNewPlayer(const std::string& name) const {
    std::error_code error;
    return isValidName(name) && fs::is_regular_file(newPlayerFile(name), error);
}

void UserFiles::setNewPlayer(const std::string& name, bool isNew) const {
    if (!isValidName(name))
        return;
    const fs::path file = newPlayerFile(name);
    std::string problem;
    std::error_code error;
    if (isNew ? !replaceFile(file, NewPlayerNote, problem) : !fs::remove(file, error) && error) {
        // Only How to play opens once more, or not by itself: worth a word, not more.
        std::cerr << file.string() << ": " << (isNew ? problem : error.message())
                  << "; How to play " << (isNew ? "will not open" : "may open again")
                  << " by itself before the first level\n";
    }
}

std::vector<std::string> UserFiles::list() const {
    return readList(false).value_or(std::vector<std::string>());
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
    removeLeftovers(folder, [](const std::string& target) {
        return target.size() >= 4 && target.compare(target.size() - 4, 4, ".bin") == 0;
    });
    // Read to the very end, so a list ending in a line break also offers an empty last name.
    const std::optional<std::vector<std::string>> lines = readList(true);
    if (!lines)
        return;
    for (const std::string& line : *lines) {
        std::string problem;
        if (!hasUserFile(line, problem)) {
            if (!problem.empty())
                std::cerr << userFile(line).string() << ": " << problem << "; " << line
                          << " is skipped\n";
            continue;
        }
        profile.load(userFile(line));
        profile.loggedIn = true;
        profile.name = line;
        return;
    }
    // A list that names nobody usable is worth a word: the player will be asked for a name.
    const bool empty = lines->size() == 1 && lines->front().empty();
    std::cerr << listFile().string() << ": "
              << (empty ? "the list of players is empty" : "no listed player has a file")
              << "; no player is current\n";
}
