// The yardstick of the key-to-screen probe: a bare SFML program that opens a fullscreen window,
// clears it and draws one square, moved 2 pixels a frame while Right or Left is held. Like the
// game it reads the held keys once a frame, before it draws. It links only the graphics library.
// Usage: key_square X Y WIDTH HEIGHT [FRAMES_PER_SECOND]   (none or 0: as many as it can draw)
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::cerr << "usage: key_square X Y WIDTH HEIGHT [FRAMES_PER_SECOND]\n";
        return 2;
    }
    const sf::Vector2f home(std::strtof(argv[1], nullptr), std::strtof(argv[2], nullptr));
    sf::RenderWindow window(sf::VideoMode::getDesktopMode(), "Key square", sf::Style::Fullscreen);
    window.setFramerateLimit(argc > 5 ? static_cast<unsigned>(std::atoi(argv[5])) : 0u);
    sf::RectangleShape square({std::strtof(argv[3], nullptr), std::strtof(argv[4], nullptr)});
    square.setFillColor(sf::Color(200, 60, 40));
    square.setPosition(home);
    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event))
            if (event.type == sf::Event::Closed)
                window.close();
        float step = 0.f;
        if (sf::Keyboard::isKeyPressed(sf::Keyboard::Right))
            step += 2.f;
        if (sf::Keyboard::isKeyPressed(sf::Keyboard::Left))
            step -= 2.f;
        // Kept near where it started, as the probe looks there.
        const float x = std::clamp(square.getPosition().x + step, home.x - 100.f, home.x + 100.f);
        square.setPosition(x, home.y);
        window.clear(sf::Color(90, 110, 130));
        window.draw(square);
        window.display();
    }
    return 0;
}
