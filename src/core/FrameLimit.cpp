#include "core/FrameLimit.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/System/Sleep.hpp>
#include <SFML/Window/Window.hpp>

#include <memory>
#include <sstream>

const sf::Time FrameLimit::Period = sf::microseconds(1000000 / 60);

FrameLimit::FrameLimit()
    : FrameLimit([clock = std::make_shared<sf::Clock>()] { return clock->getElapsedTime(); },
                 [](sf::Time time) { sf::sleep(time); }) {}

FrameLimit::FrameLimit(Clock now, Sleep sleep) : now(std::move(now)), sleep(std::move(sleep)) {}

void FrameLimit::setVerticalSync(sf::Window& window, bool wanted) {
    // The library's only word on it is a message on its error stream: "not supported".
    std::ostringstream said;
    std::streambuf* const previous = sf::err().rdbuf(said.rdbuf());
    window.setVerticalSyncEnabled(wanted);
    sf::err().rdbuf(previous);
    setVerticalSync(wanted, said.str().empty());
}

void FrameLimit::setVerticalSync(bool wanted, bool available) {
    limiting = !(wanted && available);
}

void FrameLimit::waitForNextFrame() {
    if (!limiting)
        return;
    const sf::Time time = now();
    if (time < next) {
        sleep(next - time);
        next += Period;
    } else {
        next = time + Period;
    }
}
