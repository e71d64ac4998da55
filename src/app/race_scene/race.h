#pragma once

#include <cstdint>

#include "race/core/race_events.h"
#include "race/core/tick_input.h"

namespace rivoltra {

struct Game;

// The race screen: the race rules of the core run on the game's race record, and the sprites,
// sounds, banners and the heads-up display show what they did.

// Builds the race for game.race.CarChoice and starts level 1 of a new game.
void OpenRaceScreen(Game& game);
// One frame of the race: the rules over this tick's input, then the scene follows.
void RunRaceFrame(Game& game, const RaceTickInput& input);
// Plays, shows and frees what the events of the rules ask for, in their order, then lets the
// sprites follow the race state. A game that ended goes to the name entry or the main menu.
void ShowRaceEvents(Game& game, const RaceEvents& events);
// Ends a gun or turbo bonus still running; safe to call outside a race (the main menu's close
// calls it).
void EndRunningBonus(Game& game);
// Starts level n of the running game, as the end of a level does.
void StartRaceLevel(Game& game, std::int32_t level);
// Frees every race sprite, stops the engine sound and the music, shows the mouse pointer.
void EndRace(Game& game);
// EndRace, then the screen after a game.
void FinishGame(Game& game);

}  // namespace rivoltra
