// The players' save area in "User": registering, listing and the start-up look-up, on a fresh
// folder each time.
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

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
    EXPECT_FALSE(fs::exists(dir / "User" / "UserData.bin.new")) << "no temporary file is left";
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

TEST_F(UserFilesTest, AMalformedUserFileIsReportedAndKeepsTheOtherValues) {
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\nnot-a-number\n");
    CaptureErrors errors;
    UserProfile found;
    found.setValues('q', 17, 'r', 's');
    files.findCurrentUser(found);
    EXPECT_TRUE(found.loggedIn);
    EXPECT_EQ(found.name, "Ann");
    EXPECT_EQ(found.value1, '5');
    EXPECT_EQ(found.value2, 17);
    EXPECT_EQ(found.value3, 'r');
    EXPECT_EQ(found.value4, 's');
    EXPECT_NE(errors.text().find("User/Ann.bin"), std::string::npos) << errors.text();
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

TEST_F(UserFilesTest, AFailedWriteLeavesTheOldListIntact) {
    files.registerUser("Ann", profile);
    // The temporary list cannot be written when its path is taken by a folder.
    fs::create_directories(dir / "User" / "UserData.bin.new");
    CaptureErrors errors;
    UserProfile bob;
    EXPECT_EQ(files.registerUser("Bob", bob), UserFiles::Registration::NotSaved);
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

TEST_F(UserFilesTest, TheListSkipsNothingButEndsAtTheLastLine) {
    writeFile(dir / "User" / "UserData.bin", "Bob\n\nAnn\n");
    EXPECT_EQ(files.list(), (std::vector<std::string>{"Bob", "", "Ann"}));
}

} // namespace
