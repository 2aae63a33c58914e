#pragma once
// The tile numbers of the pictures in "Images/Objects.png" that mean something to a player: what
// How to play shows and what the automatic player tells blocks apart by.

namespace TilePictures {
const int Ground = 1;
const int ChargedPowerBlock = 5;
const int RedSpawner = 6;
const int YellowSpawner = 7;
const int GreenSpawner = 8;
const int BlueSpawner = 9;
// The blocks a level marks for its key have a picture of their own.
const int KeyPlace = 11;

inline bool isSpawner(int tile) {
    return tile >= RedSpawner && tile <= BlueSpawner;
}
} // namespace TilePictures
