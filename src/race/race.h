#pragma once

#include <cstdint>

#include "race/core/tick_input.h"

namespace rivoltra {

struct Game;

// The race screen: set-up from the car choice, the tick the frame tick runs while the screen
// state is the race, and the two ways out.

// Builds the race for game.race.CarChoice and starts level 1 of a new game.
void StartRace(Game& game);
// One frame of the race: the rules over this tick's input, drawing, flip.
void RaceTick(Game& game, const RaceTickInput& input);
// Ends a gun or turbo bonus still running; safe to call outside a race (the main menu's close
// calls it).
void EndBonus(Game& game);
// Frees every race sprite, stops the engine sound and the music, shows the mouse pointer.
void EndRace(Game& game);
// EndRace, then the screen after a game.
void FinishGame(Game& game);

}  // namespace rivoltra
