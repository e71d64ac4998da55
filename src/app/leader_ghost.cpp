#include "app/leader_ghost.h"

#include <cstdio>

#include "app/game.h"
#include "app/ghost_car.h"
#include "app/ticket_request.h"
#include "persist/online.h"

namespace rivoltra {

namespace {

// The table and the replay are small; a leader's game that takes longer to fetch than this is
// simply not raced today.
constexpr HttpLimits kLeaderLimits{std::chrono::milliseconds(3000),
                                   std::chrono::milliseconds(8000)};

bool RequestFor(const LeaderGhostRequest& request, std::uint32_t day) {
  return request.Day == day && (request.TableReply || request.ReplayReply || request.LeaderReplay);
}

void StartReplayGet(Game& game, std::int64_t entryId) {
  game.Ghost.Leader.ReplayReply =
      game.Platform.StartHttpGet(ReplayDownloadAddress(game.Online, entryId), kLeaderLimits);
}

void TakeTable(Game& game) {
  LeaderGhostRequest& request = game.Ghost.Leader;
  const std::optional<std::string> reply = request.TableReply->Reply();
  request.TableReply.reset();
  if (!reply) return;
  const auto entries = DailyListOfReply(*reply, *request.Day);
  // No entry yet, or a reply that is no table of the day: no leader to race.
  if (!entries || entries->empty()) return;
  StartReplayGet(game, entries->front().EntryId);
}

void TakeReplay(Game& game) {
  LeaderGhostRequest& request = game.Ghost.Leader;
  const std::optional<std::string> reply = request.ReplayReply->Reply();
  request.ReplayReply.reset();
  if (!reply) return;
  try {
    Replay replay = ReadReplay(*reply, "the day's leader's replay");
    const BestRunCourse course{0, request.Day};
    const std::string mismatch = GhostMismatch(game, replay);
    if (!mismatch.empty() || !ReplayOfCourse(replay, course)) {
      std::fprintf(stderr, "Rivoltra: the day's leader's replay is not raced: %s\n",
                   mismatch.empty() ? "it is not a run of the day's course" : mismatch.c_str());
      return;
    }
    request.LeaderReplay = std::move(replay);
  } catch (const ReplayError& error) {
    std::fprintf(stderr, "Rivoltra: %s\n", error.what());
  }
}

}  // namespace

void RequestLeaderGhost(Game& game, std::uint32_t day) {
  if (!OnlinePlayEnabled(game) || RequestFor(game.Ghost.Leader, day)) return;
  game.Ghost.Leader = {};
  game.Ghost.Leader.Day = day;
  game.Ghost.Leader.TableReply =
      game.Platform.StartHttpGet(DailyListAddress(game.Online, day), kLeaderLimits);
  PollLeaderGhost(game);
}

void RequestLeaderGhost(Game& game, std::uint32_t day, std::int64_t entryId) {
  if (!OnlinePlayEnabled(game) || RequestFor(game.Ghost.Leader, day)) return;
  game.Ghost.Leader = {};
  game.Ghost.Leader.Day = day;
  StartReplayGet(game, entryId);
  PollLeaderGhost(game);
}

void PollLeaderGhost(Game& game) {
  LeaderGhostRequest& request = game.Ghost.Leader;
  if (request.TableReply && request.TableReply->Done()) TakeTable(game);
  if (request.ReplayReply && request.ReplayReply->Done()) TakeReplay(game);
}

const Replay* LeaderGhostOf(const Game& game, std::uint32_t day) {
  const LeaderGhostRequest& request = game.Ghost.Leader;
  if (request.Day != day || !request.LeaderReplay) return nullptr;
  return &*request.LeaderReplay;
}

}  // namespace rivoltra
