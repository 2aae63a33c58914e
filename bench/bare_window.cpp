// The yardstick of the start-up and memory probe: a bare SFML program that opens a fullscreen
// window and shows one picture, stretched over the window, every frame until it is closed or
// ended. It links only the graphics library, as a program that draws one picture would. With a
// rate, it draws at most that many frames a second (the library's own frame limit). With
// --own-size the picture is shown at its own size in the middle of the window, over black, as the
// game shows its title picture: the strictest yardstick, which reads and scales nothing more.
// Usage: bare_window [--own-size] PICTURE [FRAMES_PER_SECOND]
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const bool ownSize = argc > 1 && std::string(argv[1]) == "--own-size";
    if (ownSize) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::cerr << "usage: bare_window [--own-size] PICTURE [FRAMES_PER_SECOND]\n";
        return 2;
    }
    sf::RenderWindow window(sf::VideoMode::getDesktopMode(), "Bare window", sf::Style::Fullscreen);
    if (argc > 2)
        window.setFramerateLimit(static_cast<unsigned>(std::atoi(argv[2])));
    sf::Texture texture;
    if (!texture.loadFromFile(argv[1]))
        return 1;
    sf::Sprite picture(texture);
    const sf::Vector2f windowSize(window.getSize()), pictureSize(texture.getSize());
    if (ownSize)
        picture.setPosition(static_cast<float>(static_cast<int>(windowSize.x - pictureSize.x) / 2),
                            static_cast<float>(static_cast<int>(windowSize.y - pictureSize.y) / 2));
    else
        picture.setScale(windowSize.x / pictureSize.x, windowSize.y / pictureSize.y);
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
