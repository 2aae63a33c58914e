#include <SFML/Window/Context.hpp>
#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // One SFML object holds the X display for the whole run: closing the connection and opening
    // a new one soon after sometimes fails on these machines. Listing tests needs no display.
    std::unique_ptr<sf::Context> display;
    if (!::testing::GTEST_FLAG(list_tests))
        display = std::make_unique<sf::Context>();
    return RUN_ALL_TESTS();
}
