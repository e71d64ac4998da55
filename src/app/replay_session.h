#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/replay_file.h"

namespace rivoltra {

// The game's recording of the race in progress (or of the last finished game), and the playing
// back of a recorded one. Every game is recorded from its first race tick; a played-back game
// is not, so watching a replay never replaces the player's own last game.
struct ReplaySession {
  ReplayRecorder Recorder;
  // A game is being recorded, or its recording is complete (Finished).
  bool Recording = false;
  bool Finished = false;
  // The finished game's result; the name and country join after the name entry.
  ReplayTrailer Trailer;

  // Playing back: the recorded ticks and the next one to hand to the race.
  bool Playing = false;
  std::uint32_t StartRandomState = 0;
  std::vector<ReplayTick> Ticks;
  std::size_t NextTick = 0;
  // Set when the recorded ticks ran out while the game was still going.
  bool RanOut = false;
  // The watching player's controls: held still, and four race ticks per frame tick.
  bool Paused = false;
  bool FastForward = false;
  // The window's replay mode ends the program with the replay.
  bool QuitAtEnd = false;
};

}  // namespace rivoltra
