#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "persist/daily_bests.h"
#include "persist/http_transport.h"
#include "persist/online.h"

namespace rivoltra {

// What the daily screen knows of the day's table on the server. The numbers are the ones the
// runner's state dump shows.
enum class DailyTableStatus : std::int32_t {
  Loading = 0,          // asked for, not in yet
  Shown = 1,            // in: Entries (possibly none)
  NeedsConnection = 2,  // no answer from the server
  OddReply = 3,         // an answer that is not the day's table
  OnlinePlayOff = 4,    // the player turned online play off (or no server is set)
};

// The daily screen's record, and the daily run it started.
struct DailyRunState {
  std::uint32_t Day = 0;  // the day shown (UTC), days since 1970
  DailyTableStatus Status = DailyTableStatus::Loading;
  std::vector<DailyListEntry> Entries;
  // The day's table being fetched; the frame loop asks each tick whether it is in.
  std::unique_ptr<PendingHttpGet> Pending;
  // The player's own bests, read from the save folder when the screen first opens.
  std::optional<DailyBests> Bests;
  // The day of the daily run on the road (or just ended): its score is the player's own, and
  // the way after it leads back to the daily screen.
  std::optional<std::uint32_t> RaceDay;
};

}  // namespace rivoltra
