#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "formats/replay_file.h"

namespace rivoltra::replay_tool {

// What playing a replay again gave, beside what the replay says it gave.
struct Verdict {
  bool Valid = false;
  std::int32_t Score = 0;
  std::int32_t Level = 0;
  std::uint32_t Ticks = 0;
  // Why the run does not reproduce its result; empty when it does.
  std::string Reason;
};

// Plays the replay through the race rules alone (the core the game runs, without pictures or
// sound), with the object sizes of the race pictures in dataFolder, and compares the end with
// the trailer: the game must end on the replay's last tick with its score and level. Throws
// when the data cannot be read.
Verdict VerifyReplay(const Replay& replay, const std::filesystem::path& dataFolder);

}  // namespace rivoltra::replay_tool
