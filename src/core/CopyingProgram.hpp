#pragma once

#include <SFML/Graphics/RenderStates.hpp>

namespace sf {
class Drawable;
class RenderTarget;
} // namespace sf

// Draws an opaque picture with white vertices, without blending, through a fragment program that
// only copies its texels. The graphics library's fixed pipeline looks texels up projectively and
// multiplies them by the vertices' colour; a software renderer that is given this program and a
// picture drawn one texel a pixel, stored in the window's order of colours
// (`Pictures::storeInWindowOrder`), copies the rows instead, three times as fast. An assembly
// program costs next to no memory, where a first shader in the graphics library's language
// brings the whole shader compiler in (6 MB). Where such programs are not supported the picture
// is drawn the plain way, with the same pixels.
class CopyingProgram {
public:
    CopyingProgram() = default;
    ~CopyingProgram();
    CopyingProgram(const CopyingProgram&) = delete;
    CopyingProgram& operator=(const CopyingProgram&) = delete;

    // The program is made at the first draw, with the target's graphics context (the game's
    // contexts share their programs).
    void draw(sf::RenderTarget& target, const sf::Drawable& picture,
              const sf::RenderStates& states) const;
    // Whether pictures are drawn through the program (known after the first draw).
    bool isUsable() const { return program != 0; }

private:
    void make() const;

    mutable unsigned program = 0;
    mutable bool tried = false;
};
