#pragma once

#include <cstdint>

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

// Pixels to drive in a level: 30000 for levels 1..3, 12000 more for each next three levels.
std::int32_t LevelLength(std::int32_t level);
// Seconds on the clock at a level's start: 60 for level 1, 30 more for each next three levels,
// plus 1 for every level after the first.
std::int32_t LevelTime(std::int32_t level);

}  // namespace rivoltra
