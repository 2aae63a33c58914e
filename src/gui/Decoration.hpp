#pragma once

#include "gui/Component.hpp"

namespace GUI {

// A part of a page that is only looked at (words, a picture, a card behind them): the pointer and
// the keys pass over it, so it is never highlighted, pressed or triggered. Its bounds are empty,
// so the pointer is never over it, whatever it covers.
class Decoration : public Component {
public:
    sf::FloatRect getBounds() const override;
    void trigger() override;
};

} // namespace GUI
