#include "actors/Player.hpp"

#include "actors/Tank.hpp"
#include "core/SoundPlayer.hpp"
#include "world/Spawner.hpp"

Player::Player() {
    setCategory(Category::Player);
}

Player::~Player() = default;

void Player::setSpawnPosition(float x, float y) {
    spawnPosition = {x, y};
}

const Tank* Player::getTank() const {
    const auto& children = getChildren();
    return children.empty() ? nullptr : dynamic_cast<const Tank*>(children.front().get());
}

Tank* Player::getTank() {
    return const_cast<Tank*>(static_cast<const Player&>(*this).getTank());
}

void Player::addColour(int index) {
    if (index >= 0 && index < static_cast<int>(colours.size()))
        ++colours[static_cast<std::size_t>(index)];
}

void Player::spendColour(Spawner& spawner) {
    const int index = spawner.getColour();
    if (index < 0 || index >= static_cast<int>(colours.size()))
        return;
    int& counter = colours[static_cast<std::size_t>(index)];
    if (counter == 0)
        return;
    --counter;
    soundPlayer().play(SFX::PortalExplosion);
    spawner.advance();
}

void Player::updateCurrent(sf::Time dt) {
    // The timer waits while a tank, intact or wreck, is still in the scene.
    if (!getChildren().empty())
        return;
    if (respawnTimer > 0.f) {
        respawnTimer -= static_cast<float>(dt.asMicroseconds());
        return;
    }
    if (lives <= 0) {
        if (gameOverCallback)
            gameOverCallback();
        return;
    }
    auto tank = std::make_unique<Tank>();
    tank->setPosition(spawnPosition);
    attachChild(std::move(tank));
    --lives;
    respawnTimer = respawnDelay;
}
