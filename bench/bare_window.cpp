// The yardstick of the start-up and memory probe: a bare SFML program that opens a fullscreen
// window and shows one picture, stretched over the window, every frame until it is closed or
// ended. It links only the graphics library, as a program that draws one picture would. With a
// rate, it draws at most that many frames a second (the library's own frame limit).
// Usage: bare_window PICTURE [FRAMES_PER_SECOND]
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: bare_window PICTURE [FRAMES_PER_SECOND]\n";
        return 2;
    }
    sf::RenderWindow window(sf::VideoMode::getDesktopMode(), "Bare window", sf::Style::Fullscreen);
    if (argc > 2)
        window.setFramerateLimit(static_cast<unsigned>(std::atoi(argv[2])));
    sf::Texture texture;
    if (!texture.loadFromFile(argv[1]))
        return 1;
    sf::Sprite picture(texture);
    picture.setScale(
        static_cast<float>(window.getSize().x) / static_cast<float>(texture.getSize().x),
        static_cast<float>(window.getSize().y) / static_cast<float>(texture.getSize().y));
    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event))
            if (event.type == sf::Event::Closed)
                window.close();
        window.clear();
        window.draw(picture);
        window.display();
    }
    return 0;
}
