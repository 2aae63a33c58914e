// Reading a player's four stored values, well-formed or not. The second is the best level the
// player reached, which only a file read whole can give.
#include "screens/UserProfile.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using namespace testsupport;

UserProfile filledProfile() {
    UserProfile profile;
    profile.setValues('a', 42, 'b', 'c');
    profile.name = "Kept";
    profile.loggedIn = true;
    return profile;
}

TEST(UserProfile, StartsEmpty) {
    const UserProfile profile;
    EXPECT_EQ(profile.value1, 0);
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, 0);
    EXPECT_EQ(profile.value4, 0);
    EXPECT_EQ(profile.name, "");
    EXPECT_FALSE(profile.loggedIn);
}

TEST(UserProfile, DefaultFileGivesTheDigitCharactersAndTheNumber) {
    TempDir dir;
    writeFile(dir / "Ann.bin", "5\n0\n1\n1");
    UserProfile profile = filledProfile();
    EXPECT_TRUE(profile.load(dir / "Ann.bin"));
    EXPECT_EQ(profile.value1, '5');
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, '1');
    EXPECT_EQ(profile.value4, '1');
    EXPECT_EQ(profile.name, "Kept");
    EXPECT_TRUE(profile.loggedIn);
}

TEST(UserProfile, ValuesAreReadAfterAnyWhiteSpace) {
    TempDir dir;
    writeFile(dir / "Ann.bin", "  x \t -1234567890123\n\n y\tz\n");
    UserProfile profile;
    EXPECT_TRUE(profile.load(dir / "Ann.bin"));
    EXPECT_EQ(profile.value1, 'x');
    EXPECT_EQ(profile.value2, -1234567890123);
    EXPECT_EQ(profile.value3, 'y');
    EXPECT_EQ(profile.value4, 'z');
}

TEST(UserProfile, SetValuesStoresTheNumbers) {
    UserProfile profile;
    profile.setValues(5, 0, 1, 1);
    EXPECT_EQ(profile.value1, 5);
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, 1);
    EXPECT_EQ(profile.value4, 1);
}

TEST(UserProfile, AnUnreadableNumberIsNoProgressAndTheRestIsRead) {
    TempDir dir;
    writeFile(dir / "Bad.bin", "7\nlots\n2\n3");
    UserProfile profile = filledProfile();
    CaptureErrors errors;
    EXPECT_FALSE(profile.load(dir / "Bad.bin"));
    EXPECT_EQ(profile.value1, '7');
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, '2');
    EXPECT_EQ(profile.value4, '3');
    EXPECT_NE(errors.text().find("Bad.bin"), std::string::npos) << errors.text();
}

TEST(UserProfile, ANumberTooLargeIsNoProgress) {
    TempDir dir;
    writeFile(dir / "Huge.bin", "7\n99999999999999999999999\n2\n3");
    UserProfile profile = filledProfile();
    CaptureErrors errors;
    EXPECT_FALSE(profile.load(dir / "Huge.bin"));
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, '2');
    EXPECT_NE(errors.text().find("Huge.bin"), std::string::npos);
}

TEST(UserProfile, MissingValuesKeepTheirValuesAndTheProgressIsNotTrusted) {
    TempDir dir;
    writeFile(dir / "Short.bin", "8\n12");
    UserProfile profile = filledProfile();
    CaptureErrors errors;
    EXPECT_FALSE(profile.load(dir / "Short.bin"));
    EXPECT_EQ(profile.value1, '8');
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, 'b');
    EXPECT_EQ(profile.value4, 'c');
    EXPECT_NE(errors.text().find("Short.bin"), std::string::npos);
}

TEST(UserProfile, AnEmptyOrMissingFileIsNoProgressAndChangesNothingElse) {
    TempDir dir;
    writeFile(dir / "Empty.bin", "");
    UserProfile profile = filledProfile();
    CaptureErrors errors;
    EXPECT_FALSE(profile.load(dir / "Empty.bin"));
    profile.value2 = 42;
    EXPECT_FALSE(profile.load(dir / "Nobody.bin"));
    EXPECT_EQ(profile.value1, 'a');
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(profile.value3, 'b');
    EXPECT_EQ(profile.value4, 'c');
    EXPECT_NE(errors.text().find("Empty.bin"), std::string::npos);
    EXPECT_NE(errors.text().find("Nobody.bin"), std::string::npos);
}

} // namespace
