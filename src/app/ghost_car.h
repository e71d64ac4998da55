#pragma once
// The ghost car: a recorded run driven beside the player's race by its own simulation, drawn
// half transparent, never touching the race. Which run it is: the day's leader in the daily run
// when the server's replay came in before the start, else the player's own best of the course.
#include <cstdint>
#include <optional>

#include "app/leader_ghost.h"
#include "formats/replay_file.h"
#include "persist/best_replays.h"
#include "race/core/ghost_run.h"

namespace rivoltra {

struct Game;

// Whose run the ghost drives; the HUD line names it.
enum class GhostKind : std::uint8_t { OwnBest, DayLeader, Given };

struct GhostCar {
  // The course of the race on the screen, set at its start: its replay may become that course's
  // best at the end.
  BestRunCourse Course;
  // The ghost of the race on the screen; empty without one (ghosts off, none kept, a replay
  // being watched).
  std::optional<GhostRun> Run;
  GhostKind Kind = GhostKind::OwnBest;
  // A replay every race is run against instead of the chosen one (the runner's `ghost FILE`).
  std::optional<Replay> Given;
  // The day's leader's replay, asked for while the player looks at the daily run.
  LeaderGhostRequest Leader;
};

// Why this game cannot drive the replay as a ghost (another version, other data, no such car);
// empty when it can.
std::string GhostMismatch(const Game& game, const Replay& replay);

// At the race's start (after the race screen is open): the course is remembered and, with ghosts
// on and not while a replay is watched, the ghost of the course starts beside the race.
void StartGhost(Game& game, const BestRunCourse& course);
// Once per race tick, before the race's own: the ghost's next recorded tick. It holds still while
// the player's race is paused or asks whether to finish.
void StepGhost(Game& game);
// The race ended: the ghost goes with it.
void DropGhost(Game& game);
// A finished, recorded game becomes its course's own best when it scored more than the kept
// one. A file that cannot be written costs the ghost, never the game (a message on stderr).
void KeepOwnBest(Game& game);

}  // namespace rivoltra
