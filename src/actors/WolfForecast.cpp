#include "actors/WolfForecast.hpp"

#include "actors/Animal.hpp"
#include "actors/Opponent.hpp"
#include "actors/TankSimulator.hpp"
#include "world/Platform.hpp"

#include <cmath>

namespace {

// A stand-in with the wolf's shape and motion, moved by the entity's own step and edge rule and
// by the map's blocks.
class Ghost : public Entity {
public:
    explicit Ghost(const Animal& wolf) : size(wolf.getSize()) {
        std::vector<sf::FloatRect> rects;
        wolf.getBoundingRect(rects);
        const sf::Vector2f at = wolf.getPosition();
        for (std::size_t i = 0; i < rects.size() && i < offsets.size(); ++i)
            offsets[i] = {rects[i].left - at.x, rects[i].top - at.y, rects[i].width,
                          rects[i].height};
        setPosition(at);
        setVelocity(wolf.getVelocity());
        setAcceleration(wolf.getAcceleration());
        setGrounded(wolf.isGrounded());
    }
    sf::Vector2f getSize() const override { return size; }
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override {
        out.clear();
        const sf::Vector2f at = getPosition();
        for (const sf::FloatRect& r : offsets)
            out.emplace_back(r.left + at.x, r.top + at.y, r.width, r.height);
    }
    void advance() { updateCurrent(Physics::Step); }

private:
    sf::Vector2f size;
    std::array<sf::FloatRect, 5> offsets{};
};

} // namespace

WolfForecast::WolfForecast(const Platform& map) : map(map) {}

void WolfForecast::look(const Opponent& opponent, int steps, float top, float bottom) {
    clear(steps);
    for (const auto& child : opponent.getChildren())
        if (const auto* wolf = dynamic_cast<const Animal*>(child.get());
            wolf && !wolf->isDestroyed() && wolf->getPosition().y + wolf->getSize().y >= top &&
            wolf->getPosition().y <= bottom)
            forecast(*wolf, steps);
}

void WolfForecast::lookAt(const Animal& wolf, int steps) {
    clear(steps);
    forecast(wolf, steps);
}

void WolfForecast::clear(int steps) {
    frames.resize(static_cast<std::size_t>(steps) + 1);
    for (std::vector<Sighting>& frame : frames)
        frame.clear();
}

void WolfForecast::forecast(const Animal& wolf, int steps) {
    Ghost ghost(wolf);
    const bool stunned = wolf.getMode() == Modes::Stunned;
    const int wakes =
        stunned ? static_cast<int>((wolf.getStunTime() - wolf.getStunElapsed()).asSeconds() * 60.f)
                : 0;
    std::vector<sf::FloatRect> rects;
    std::vector<Platform::TouchedCell> touched;
    bool grounded = wolf.getVelocity().y == 0.f;
    for (int step = 0; step <= steps; ++step) {
        if (step > 0 && !stunned) {
            ghost.advance();
            ghost.getBoundingRect(rects);
            map.findTouchedCells(rects, touched);
            grounded = false;
            for (const Platform::TouchedCell& cell : touched) {
                const Block* block = map.getBlock(cell.cell);
                const float speed = std::abs(ghost.getVelocity().x);
                const Block::Touch touch = Platform::classify(cell.contacts, ghost.getVelocity().y);
                block->moveActor(ghost, touch, cell.contacts);
                // An animal turns away from the wall that stopped it.
                if (touch == Block::Touch::HitSide && speed > 0.f && ghost.getVelocity().x == 0.f)
                    ghost.setVelocity(cell.contacts[3] ? speed : -speed, ghost.getVelocity().y);
                grounded = grounded || touch == Block::Touch::Land;
            }
        }
        ghost.getBoundingRect(rects);
        Sighting seen;
        seen.wolf = &wolf;
        seen.body = rects[0];
        seen.feet = rects.size() > 1 ? rects[1] : rects[0];
        seen.harmful = !stunned || step >= wakes;
        seen.grounded = grounded || ghost.getVelocity().y == 0.f;
        frames[static_cast<std::size_t>(step)].push_back(seen);
    }
}
