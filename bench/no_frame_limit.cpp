// Preloaded into a program (LD_PRELOAD) by the key-to-screen probe: the graphics library's frame
// limit does nothing, so the program draws frames as fast as it can (as with vertical sync on a
// display that has it, without the wait for the refresh).
#include <SFML/Window/Window.hpp>

void sf::Window::setFramerateLimit(unsigned int) {}
