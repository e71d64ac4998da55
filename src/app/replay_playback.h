#pragma once

#include <cstdint>
#include <string>

#include "formats/replay_file.h"

namespace rivoltra {

struct Game;

// Why a game with this data fingerprint cannot play the replay back tick for tick (another game
// version, other data, no such car), in words for the player; empty when it can.
std::string ReplayMismatch(const Replay& replay, std::uint64_t dataFingerprint);

// Starts the recorded game from the menus: the recorded random state and car, then the race
// takes its input from the replay until the game ends (and, with quitAtEnd, the program with
// it). Returns why this game cannot play it (ReplayMismatch), starting nothing then; empty when
// it started.
std::string StartReplayPlayback(Game& game, const Replay& replay, bool quitAtEnd = false);

// The game ended while playing back, or the recorded ticks ran out.
bool ReplayPlaybackOver(const Game& game);

// "REPLAY" over the road while a replay plays, with its speed or pause.
void DrawReplayLabel(Game& game);

// The watching player's keys: P holds the replay still, F runs it four times as fast, Escape
// leaves (the program in the replay window, the replay for the main menu elsewhere). Returns
// whether the key was one of them.
bool PlaybackCharacterTyped(Game& game, char key);

}  // namespace rivoltra
