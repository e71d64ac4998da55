#pragma once

#include <cstdint>

#include "race/core/level_clock.h"

namespace rivoltra {

struct Game;

// The steps of a game that the car, the track objects and the race tick share.

// Score 0, three lives, a new car, level 1.
void NewGame(Game& game);
// Resets the clock, the car and the road for level n and shows its start banner.
void StartLevel(Game& game, std::int32_t level);
// A life lost to a crash: the car stops and the crash explosion starts. Nothing happens at 0 lives.
void CrashCar(Game& game);
// After the crash explosion: the car comes back unless the game is over.
void RespawnCar(Game& game);
// At 0 lives shows the game-over banner and returns true.
bool CheckGameOver(Game& game);

}  // namespace rivoltra
