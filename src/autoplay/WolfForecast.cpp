#include "autoplay/WolfForecast.hpp"

#include "actors/Animal.hpp"
#include "actors/Entity.hpp"
#include "world/Physics.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A stand-in with the wolf's shape and motion, moved by the entity's own step and edge rule, by
// the map's blocks and by the animals' meeting rule.
class Ghost : public Entity {
public:
    explicit Ghost(const PlayerView::Wolf& wolf) : size(wolf.size) {
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            const sf::FloatRect& rect = wolf.shape[i];
            offsets[i] = {rect.left - wolf.position.x, rect.top - wolf.position.y, rect.width,
                          rect.height};
        }
        setPosition(wolf.position);
        setVelocity(wolf.velocity);
        setGrounded(wolf.grounded);
    }
    sf::Vector2f getSize() const override { return size; }
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override {
        out.clear();
        const sf::Vector2f at = getPosition();
        for (const sf::FloatRect& r : offsets)
            out.emplace_back(r.left + at.x, r.top + at.y, r.width, r.height);
    }
    sf::FloatRect body() const {
        const sf::Vector2f at = getPosition();
        return {offsets[0].left + at.x, offsets[0].top + at.y, offsets[0].width, offsets[0].height};
    }
    void advance() { updateCurrent(Physics::Step); }

private:
    sf::Vector2f size;
    std::array<sf::FloatRect, 5> offsets{};
};

} // namespace

WolfForecast::WolfForecast(const MapSight& map) : map(map) {}

void WolfForecast::clear(int steps) {
    frames.resize(static_cast<std::size_t>(steps) + 1);
    for (std::vector<Sighting>& frame : frames)
        frame.clear();
    entries.clear();
}

void WolfForecast::add(const PlayerView::Wolf& wolf, int age, int wakesIn) {
    entries.push_back({wolf, age, wakesIn});
}

// Every wolf joins the play at the step it was seen in, the oldest sighting first; from then on
// they move step by step as the world moves them: each against the map, then the pairs that meet.
void WolfForecast::run() {
    if (entries.empty())
        return;
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.wolf.id < b.wolf.id; });
    int first = 0;
    for (const Entry& entry : entries)
        first = std::min(first, -entry.age);
    std::vector<std::unique_ptr<Ghost>> ghosts(entries.size());
    std::vector<char> grounded(entries.size(), 0);
    std::vector<sf::FloatRect> rects;
    for (int step = first; step <= steps(); ++step) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            if (step == -entry.age) {
                ghosts[i] = std::make_unique<Ghost>(entry.wolf);
                grounded[i] = entry.wolf.grounded || entry.wolf.velocity.y == 0.f;
                continue;
            }
            if (!ghosts[i] || entry.wolf.stunned)
                continue;
            Ghost& ghost = *ghosts[i];
            ghost.advance();
            const float speed = std::abs(ghost.getVelocity().x);
            bool landed = false;
            map.moveLikeBlocks(ghost, [&](int, Block::Touch touch, std::bitset<8> contacts) {
                // An animal turns away from the wall that stopped it.
                if (touch == Block::Touch::HitSide && speed > 0.f && ghost.getVelocity().x == 0.f)
                    ghost.setVelocity(contacts[3] ? speed : -speed, ghost.getVelocity().y);
                landed = landed || touch == Block::Touch::Land;
            });
            grounded[i] = landed || ghost.getVelocity().y == 0.f;
        }
        for (std::size_t i = 0; i < ghosts.size(); ++i)
            for (std::size_t j = i + 1; j < ghosts.size(); ++j)
                if (ghosts[i] && ghosts[j] && ghosts[i]->body().intersects(ghosts[j]->body()))
                    Animal::meet(*ghosts[i], *ghosts[j]);
        if (step < 0)
            continue;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!ghosts[i])
                continue;
            ghosts[i]->getBoundingRect(rects);
            Sighting seen;
            seen.wolf = entries[i].wolf.id;
            seen.body = rects[0];
            seen.feet = rects[1];
            seen.harmful = !entries[i].wolf.stunned || step >= entries[i].wakesIn;
            seen.grounded = grounded[i];
            seen.seenAgo = entries[i].age;
            frames[static_cast<std::size_t>(step)].push_back(seen);
        }
    }
}

void WolfForecast::addDanger(const sf::FloatRect& body, int from) {
    for (int step = std::max(from, 0); step <= steps(); ++step) {
        Sighting danger;
        danger.body = body;
        danger.feet = body;
        frames[static_cast<std::size_t>(step)].push_back(danger);
    }
}

const WolfForecast::Sighting* WolfForecast::find(int step, int wolf) const {
    if (step < 0 || step > steps())
        return nullptr;
    for (const Sighting& seen : at(step))
        if (seen.wolf == wolf)
            return &seen;
    return nullptr;
}
