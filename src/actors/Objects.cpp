#include "actors/Objects.hpp"

#include "actors/PowerUp.hpp"
#include "core/SoundPlayer.hpp"

Objects::Objects() {
    setCategory(Category::Objects);
}

Objects::~Objects() = default;

void Objects::spawn(int kind, float x, float y) {
    attachChild(std::make_unique<PowerUp>(kind, x, y));
    soundPlayer().play(SFX::KeyGeneration);
}
