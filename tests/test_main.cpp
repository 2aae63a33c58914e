#include <SFML/Window/Context.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The game's texts, and those of the games the tests start, are English whatever language the
    // machine is set to; a test that wants another language chooses it.
    setenv("LANGUAGE", "en", 1);
    // One SFML object holds the X display for the whole run: closing the connection and opening
    // a new one soon after sometimes fails on these machines. Listing tests needs no display.
    std::unique_ptr<sf::Context> display;
    if (!::testing::GTEST_FLAG(list_tests))
        display = std::make_unique<sf::Context>();
    return RUN_ALL_TESTS();
}
