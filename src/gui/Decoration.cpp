#include "gui/Decoration.hpp"

namespace GUI {

sf::FloatRect Decoration::getBounds() const {
    return sf::FloatRect();
}

void Decoration::trigger() {}

} // namespace GUI
