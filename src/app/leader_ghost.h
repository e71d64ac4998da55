#pragma once
// The daily run's leader as a ghost: the day's table is asked for, then its first entry's replay,
// without ever holding the frame loop; the race takes the replay if it is in when it starts.
#include <cstdint>
#include <memory>
#include <optional>

#include "formats/replay_file.h"
#include "persist/http_transport.h"

namespace rivoltra {

struct Game;

struct LeaderGhostRequest {
  std::optional<std::uint32_t> Day;
  // The day's table, then the leader's replay; at most one runs at a time.
  std::unique_ptr<PendingHttpGet> TableReply;
  std::unique_ptr<PendingHttpGet> ReplayReply;
  // The leader's replay once it came in and was found to be a run of the day's course.
  std::optional<Replay> LeaderReplay;
};

// Starts asking for the day's leader (its table first); does nothing when online play is off or
// that day's leader is in or on its way already.
void RequestLeaderGhost(Game& game, std::uint32_t day);
// The same when the table is known already (the daily screen has it): the entry's replay only.
void RequestLeaderGhost(Game& game, std::uint32_t day, std::int64_t entryId);
// Moves the request on as replies come in; cheap when none runs. Called every frame tick.
void PollLeaderGhost(Game& game);
// The day's leader's replay if it is in now, never waiting.
const Replay* LeaderGhostOf(const Game& game, std::uint32_t day);

}  // namespace rivoltra
