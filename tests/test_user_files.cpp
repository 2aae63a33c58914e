// The players' save area in "User": registering, listing and the start-up look-up, on a fresh
// folder each time.
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <iterator>

namespace {

using namespace testsupport;

class UserFilesTest : public ::testing::Test {
protected:
    UserFilesTest() : cwd(dir.path()) {}

    // What the game finds at its next start.
    UserProfile nextStart() const {
        UserProfile profile;
        files.findCurrentUser(profile);
        return profile;
    }

    TempDir dir;
    ScopedCwd cwd;
    UserFiles files;
    UserProfile profile;
};

TEST_F(UserFilesTest, PathsUseTheSystemsSeparator) {
    EXPECT_EQ(files.listFile().string(), "User/UserData.bin");
    EXPECT_EQ(files.userFile("Ann").string(), "User/Ann.bin");
    EXPECT_EQ(files.userFile("").string(), "User/.bin");
}

TEST_F(UserFilesTest, TheFirstStartCreatesTheFolderAndFindsNoOne) {
    const UserProfile found = nextStart();
    EXPECT_TRUE(fs::is_directory(dir / "User"));
    EXPECT_FALSE(found.loggedIn);
    EXPECT_EQ(found.name, "");
    EXPECT_TRUE(fs::is_empty(dir / "User"));
}

TEST_F(UserFilesTest, RegisteringWritesTheListAndTheDefaultFile) {
    nextStart();
    EXPECT_EQ(files.registerUser("Ann", profile), UserFiles::Registration::Registered);
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Ann\n");
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n0\n1\n1");
    EXPECT_EQ(profile.value1, 5);
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, 1);
    EXPECT_EQ(profile.value4, 1);
    EXPECT_FALSE(fs::exists(dir / "User\\Ann.bin"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "User"), fs::directory_iterator()), 2)
        << "no temporary file is left";
    EXPECT_TRUE(files.hasUserFile("Ann"));
    EXPECT_FALSE(files.hasUserFile("Bob"));
}

TEST_F(UserFilesTest, RegisteringCreatesTheFolderWhenItIsMissing) {
    EXPECT_EQ(files.registerUser("Ann", profile), UserFiles::Registration::Registered);
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Ann\n");
}

TEST_F(UserFilesTest, TheNewestPlayerIsListedFirstAndFoundAtTheNextStart) {
    files.registerUser("Ann", profile);
    files.registerUser("Bob", profile);
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Bob\nAnn\n");
    EXPECT_EQ(files.list(), (std::vector<std::string>{"Bob", "Ann"}));
    const UserProfile found = nextStart();
    EXPECT_TRUE(found.loggedIn);
    EXPECT_EQ(found.name, "Bob");
    EXPECT_EQ(found.value1, '5');
    EXPECT_EQ(found.value2, 0);
    EXPECT_EQ(found.value3, '1');
    EXPECT_EQ(found.value4, '1');
}

TEST_F(UserFilesTest, APlayerWhoseFileIsGoneIsSkipped) {
    files.registerUser("Ann", profile);
    files.registerUser("Bob", profile);
    fs::remove(dir / "User" / "Bob.bin");
    EXPECT_EQ(nextStart().name, "Ann");
    // Registering the name again lists it twice.
    files.registerUser("Bob", profile);
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Bob\nBob\nAnn\n");
}

TEST_F(UserFilesTest, NoPlayerWhenNoListedFileExists) {
    writeFile(dir / "User" / "UserData.bin", "Ann\nBob\n");
    EXPECT_FALSE(nextStart().loggedIn);
    fs::remove(dir / "User" / "UserData.bin");
    EXPECT_FALSE(nextStart().loggedIn);
    EXPECT_TRUE(files.list().empty());
}

TEST_F(UserFilesTest, TheLastNameCountsWithoutAFinalLineBreak) {
    writeFile(dir / "User" / "UserData.bin", "Gone\nCat");
    writeFile(dir / "User" / "Cat.bin", "9\n77\n8\n7");
    const UserProfile found = nextStart();
    EXPECT_EQ(found.name, "Cat");
    EXPECT_EQ(found.value1, '9');
    EXPECT_EQ(found.value2, 77);
}

TEST_F(UserFilesTest, TheEmptyNameIsAPlayerToo) {
    nextStart();
    EXPECT_EQ(files.registerUser("", profile), UserFiles::Registration::Registered);
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "\n");
    EXPECT_EQ(readFile(dir / "User" / ".bin"), "5\n0\n1\n1");
    const UserProfile found = nextStart();
    EXPECT_TRUE(found.loggedIn);
    EXPECT_EQ(found.name, "");
}

TEST_F(UserFilesTest, AMalformedUserFileIsReportedAndGivesNoProgress) {
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\nnot-a-number\n");
    CaptureErrors errors;
    UserProfile found;
    found.setValues('q', 17, 'r', 's');
    files.findCurrentUser(found);
    EXPECT_TRUE(found.loggedIn);
    EXPECT_EQ(found.name, "Ann");
    EXPECT_EQ(found.value1, '5');
    EXPECT_EQ(found.value2, 0);
    EXPECT_EQ(found.value3, 'r');
    EXPECT_EQ(found.value4, 's');
    EXPECT_NE(errors.text().find("User/Ann.bin"), std::string::npos) << errors.text();
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\nnot-a-number\n") << "left as it was";
}

TEST_F(UserFilesTest, TheBestLevelReachedIsSavedAsTheSecondOfTheFourLines) {
    files.registerUser("Ann", profile);
    profile.name = "Ann";
    profile.value2 = 3;
    EXPECT_TRUE(files.saveValues(profile));
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n3\n1\n1")
        << "a new player's values are written as the file had them";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "User"), fs::directory_iterator()), 2)
        << "no temporary file is left";

    writeFile(dir / "User" / "Bob.bin", "x -4 y z");
    UserProfile bob;
    EXPECT_TRUE(bob.load(dir / "User" / "Bob.bin"));
    bob.name = "Bob";
    bob.value2 = 12;
    EXPECT_TRUE(files.saveValues(bob));
    EXPECT_EQ(readFile(dir / "User" / "Bob.bin"), "x\n12\ny\nz") << "the other values are kept";
    UserProfile again;
    EXPECT_TRUE(again.load(dir / "User" / "Bob.bin"));
    EXPECT_EQ(again.value2, 12);
}

TEST_F(UserFilesTest, SavingOverAMalformedFileWritesAWholeFile) {
    writeFile(dir / "User" / "Ann.bin", "\x01");
    CaptureErrors errors;
    UserProfile ann;
    EXPECT_FALSE(ann.load(dir / "User" / "Ann.bin"));
    ann.name = "Ann";
    ann.value2 = 2;
    EXPECT_TRUE(files.saveValues(ann));
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n2\n1\n1");
}

TEST_F(UserFilesTest, NamesThatWouldLeaveTheFolderOrBreakTheListAreRefused) {
    nextStart();
    files.registerUser("Ann", profile);
    for (const std::string& name :
         {std::string("../evil"), std::string("a/b"), std::string("/tmp/x"), std::string("a\\b"),
          std::string("two\nlines"), std::string("cr\rname"), std::string("nul\0byte", 8),
          std::string("."), std::string(".."), std::string("UserData")}) {
        UserProfile untouched;
        EXPECT_FALSE(UserFiles::isValidName(name)) << name;
        EXPECT_NE(UserFiles::whyRefused(name), "") << name;
        EXPECT_EQ(files.registerUser(name, untouched), UserFiles::Registration::BadName) << name;
        EXPECT_FALSE(files.hasUserFile(name)) << name;
        EXPECT_EQ(untouched.value1, 0) << name;
    }
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Ann\n");
    EXPECT_FALSE(fs::exists(dir / "evil.bin"));
    EXPECT_FALSE(fs::exists(dir / "User" / "a"));
    std::size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir / "User")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 2u) << "only the list and Ann's file";
}

TEST_F(UserFilesTest, EveryOtherNameIsUsedAsTyped) {
    for (const std::string& name :
         {std::string("Zo\xC3\xAB"), std::string(" spaced out "), std::string(".hidden"),
          std::string("..."), std::string("tab\there"), std::string("UserData.bin")}) {
        EXPECT_TRUE(UserFiles::isValidName(name)) << name;
        EXPECT_EQ(UserFiles::whyRefused(name), "") << name;
        EXPECT_EQ(files.registerUser(name, profile), UserFiles::Registration::Registered) << name;
        EXPECT_EQ(readFile(dir / "User" / (name + ".bin")), "5\n0\n1\n1") << name;
    }
    EXPECT_EQ(files.list().front(), "UserData.bin");
    EXPECT_EQ(files.list().back(), "Zo\xC3\xAB");
    EXPECT_EQ(nextStart().name, "UserData.bin");
}

TEST_F(UserFilesTest, AListedNameThatWouldLeaveTheFolderIsSkippedAtStart) {
    writeFile(dir / "User" / "UserData.bin", "../outside\nAnn\n");
    writeFile(dir / "outside.bin", "1\n1\n1\n1");
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    EXPECT_EQ(nextStart().name, "Ann");
}

// Files cannot grow past a few bytes while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousSignal(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousSignal);
    }

private:
    rlimit previous{};
    void (*previousSignal)(int);
};

TEST_F(UserFilesTest, AFailedWriteLeavesTheOldListIntact) {
    files.registerUser("Ann", profile);
    CaptureErrors errors;
    UserProfile bob;
    {
        const FileSizeLimit full(4);
        EXPECT_EQ(files.registerUser("Bob", bob), UserFiles::Registration::NotSaved);
    }
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Ann\n");
    EXPECT_FALSE(fs::exists(dir / "User" / "Bob.bin"));
    EXPECT_NE(errors.text().find("UserData.bin"), std::string::npos) << errors.text();
    // The player can still play this time, with a new player's values.
    EXPECT_EQ(bob.value1, 5);
    EXPECT_EQ(nextStart().name, "Ann");
}

TEST_F(UserFilesTest, AFolderNamedLikeAUserFileIsNoUserFile) {
    writeFile(dir / "User" / "UserData.bin", "Odd\nAnn\n");
    fs::create_directories(dir / "User" / "Odd.bin");
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    EXPECT_FALSE(files.hasUserFile("Odd"));
    EXPECT_EQ(nextStart().name, "Ann");
}

// What a hostile or careless folder can hold, and what the game makes of it. None of these may
// keep the loading screen waiting or read without end.
TEST_F(UserFilesTest, SpecialAndOversizedFilesAreNotRead) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& user)> prepare;
        const char* current; // who the next start finds; empty: nobody
        const char* message; // in the error stream
    };
    const auto fifo = [](const fs::path& file) {
        fs::remove(file);
        ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    };
    const Case cases[] = {
        {"the list is a FIFO", [&](const fs::path& user) { fifo(user / "UserData.bin"); }, "",
         "UserData.bin: is not a regular file"},
        {"the list is larger than any list of names",
         [](const fs::path& user) {
             writeFile(user / "UserData.bin", "Ann\n" + std::string(2 << 20, 'x'));
         },
         "", "UserData.bin: is larger than"},
        {"a player's file is a FIFO", [&](const fs::path& user) { fifo(user / "Ann.bin"); }, "Bob",
         "Ann.bin: is not a regular file; Ann is skipped"},
        {"a player's file is a link to /dev/zero",
         [](const fs::path& user) { fs::create_symlink("/dev/zero", user / "Ann.bin"); }, "Bob",
         "Ann.bin: is not a regular file; Ann is skipped"},
        {"a player's file is a link to a regular file",
         [](const fs::path& user) {
             writeFile(user / "saves" / "ann", "7\n1\n2\n3");
             fs::create_symlink("saves/ann", user / "Ann.bin");
         },
         "Ann", ""},
        {"a player's file is larger than four values can be",
         [](const fs::path& user) { writeFile(user / "Ann.bin", std::string(1 << 20, '5')); },
         "Ann", "Ann.bin: the user file is larger than"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir scratch;
        const ScopedCwd inScratch(scratch.path());
        writeFile(scratch / "User" / "UserData.bin", "Ann\nBob\n");
        writeFile(scratch / "User" / "Bob.bin", "5\n0\n1\n1");
        c.prepare(scratch / "User");
        CaptureErrors errors;
        const UserProfile found = nextStart();
        EXPECT_EQ(found.name, c.current);
        EXPECT_EQ(found.loggedIn, *c.current != '\0');
        EXPECT_NE(errors.text().find(c.message), std::string::npos) << errors.text();
    }
}

TEST_F(UserFilesTest, LinesLongerThanAnyNameAreSkippedWithAMessage) {
    writeFile(dir / "User" / "UserData.bin",
              "Ann\n" + std::string(UserFiles::MaxNameBytes + 1, 'x') + "\nBob\n");
    writeFile(dir / "User" / "Bob.bin", "5\n0\n1\n1");
    CaptureErrors errors;
    EXPECT_EQ(files.list(), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_NE(errors.text().find("UserData.bin: line 2 is longer than any name"), std::string::npos)
        << errors.text();
    EXPECT_EQ(nextStart().name, "Bob");
}

TEST_F(UserFilesTest, WindowsLineEndsEndLines) {
    writeFile(dir / "User" / "UserData.bin", "Ann\r\nBen\r\n");
    writeFile(dir / "User" / "Ben.bin", "5\n0\n1\n1");
    EXPECT_EQ(files.list(), (std::vector<std::string>{"Ann", "Ben"}));
    EXPECT_EQ(nextStart().name, "Ben");
}

// A link placed where the game writes makes it replace the link, never write through it.
TEST_F(UserFilesTest, WritesReplaceLinksInsteadOfFollowingThem) {
    fs::create_directories(dir / "User");
    writeFile(dir / "outside" / "list", "Zed\n");
    fs::create_symlink(dir / "outside" / "list", dir / "User" / "UserData.bin");
    fs::create_symlink(dir / "outside" / "temporary", dir / "User" / "UserData.bin.new");
    fs::create_symlink(dir / "outside" / "Bob", dir / "User" / "Bob.bin");
    EXPECT_EQ(files.registerUser("Bob", profile), UserFiles::Registration::Registered);
    EXPECT_EQ(readFile(dir / "outside" / "list"), "Zed\n");
    EXPECT_FALSE(fs::exists(dir / "outside" / "temporary"));
    EXPECT_FALSE(fs::exists(dir / "outside" / "Bob"));
    EXPECT_FALSE(fs::is_symlink(dir / "User" / "UserData.bin"));
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Bob\nZed\n");
    EXPECT_EQ(readFile(dir / "User" / "Bob.bin"), "5\n0\n1\n1");
}

TEST_F(UserFilesTest, TwoCopiesRegisteringAtOnceKeepEveryPlayer) {
    nextStart();
    const int perCopy = 60;
    const auto registerMany = [this](const std::string& prefix) {
        for (int i = 0; i < perCopy; ++i) {
            UserProfile someone;
            files.registerUser(prefix + std::to_string(i), someone);
        }
    };
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        registerMany("child");
        _exit(0);
    }
    registerMany("parent");
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::vector<std::string> names = files.list();
    EXPECT_EQ(names.size(), 2u * perCopy);
    for (const char* prefix : {"child", "parent"})
        for (int i = 0; i < perCopy; ++i)
            EXPECT_NE(std::find(names.begin(), names.end(), prefix + std::to_string(i)),
                      names.end())
                << prefix << i;
}

// A run killed while it replaced a file leaves the new file beside it, under a name of its own.
TEST_F(UserFilesTest, WhatAKilledRunLeftBehindIsRemovedAtTheNextStart) {
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\n3\n1\n1");
    const auto lastHour = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name :
         {"UserData.bin.Q1w2E3", "Ann.bin.a8Kq2Z", "Ann.bin.old", "notes.a8Kq2Z"}) {
        writeFile(dir / "User" / name, "5\n0\n1\n1");
        fs::last_write_time(dir / "User" / name, lastHour);
    }
    // Another copy of the game may be writing this one now.
    writeFile(dir / "User" / "Bob.bin.Ab3dE9", "5\n0\n1\n1");
    EXPECT_EQ(nextStart().name, "Ann");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir / "User"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Ann.bin", "Ann.bin.old", "Bob.bin.Ab3dE9",
                                              "UserData.bin", "notes.a8Kq2Z"}));
}

TEST_F(UserFilesTest, TheListSkipsNothingButEndsAtTheLastLine) {
    writeFile(dir / "User" / "UserData.bin", "Bob\n\nAnn\n");
    EXPECT_EQ(files.list(), (std::vector<std::string>{"Bob", "", "Ann"}));
}

// Choosing a player on the user page: the name goes first and leaves every place it had; every
// other line, its line end, an empty line and an overlong line included, stays byte for byte.
TEST_F(UserFilesTest, MovingANameFirstKeepsEveryOtherLineAsItWas) {
    const std::string overlong(UserFiles::MaxNameBytes + 1, 'x');
    writeFile(dir / "User" / "UserData.bin", "Ann\r\nBob\nCat\n\n" + overlong + "\nBob\nDan");
    EXPECT_TRUE(files.moveFirst("Bob"));
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Bob\nAnn\r\nCat\n\n" + overlong + "\nDan");
    EXPECT_TRUE(files.moveFirst("Dan"));
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"),
              "Dan\nBob\nAnn\r\nCat\n\n" + overlong + "\n");
    EXPECT_TRUE(files.moveFirst("Ann"));
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Ann\nDan\nBob\nCat\n\n" + overlong + "\n");
    EXPECT_FALSE(files.moveFirst("a/b"));
    EXPECT_EQ(files.list().front(), "Ann");
}

// How to play opens by itself for a player the game registered, until it has once: a file beside
// the player's says so, and the player's own file never changes for it.
TEST_F(UserFilesTest, ANewPlayerIsMarkedBesideTheirFileUntilTheMarkIsTaken) {
    files.registerUser("Ann", profile);
    EXPECT_FALSE(files.isNewPlayer("Ann")) << "registering alone marks nobody";
    files.setNewPlayer("Ann", true);
    EXPECT_TRUE(files.isNewPlayer("Ann"));
    EXPECT_FALSE(files.isNewPlayer("Bob"));
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n0\n1\n1");
    EXPECT_EQ(nextStart().name, "Ann") << "the mark is no player";
    files.setNewPlayer("Ann", false);
    EXPECT_FALSE(files.isNewPlayer("Ann"));
    EXPECT_FALSE(fs::exists(dir / "User" / "Ann.new"));
    files.setNewPlayer("../evil", true);
    EXPECT_FALSE(fs::exists(dir / "evil.new"));
}

} // namespace
