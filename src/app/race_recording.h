#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/replay_file.h"
#include "race/core/tick_input.h"

namespace rivoltra {

struct Game;

inline constexpr char kLastReplayFileName[] = "last.rvr";

// The game version and the fingerprint of the data and tables the race rules depend on (the
// race pictures' sizes and frame counts, the frame interval, the car, level and kind tables), as
// a replay records them.
std::string GameVersion();
std::uint64_t RaceDataFingerprintOf(const Game& game);
// The header a race starting now gets: version, data fingerprint, car, random state and the
// score server's ticket, if the race has one.
ReplayHeader ReplayHeaderNow(const Game& game, std::int32_t car,
                             const std::optional<RaceTicket>& ticket = std::nullopt);

// A new game starts recording, with its ticket if it has one (the race then starts from the
// ticket's seed); a played-back game starts from the replay's random state instead.
void BeginRaceRecording(Game& game, std::int32_t car,
                        const std::optional<RaceTicket>& ticket = std::nullopt);
// The input the race gets this tick: the devices' while recording (and recorded), the
// replay's while playing back; nothing once the replay's ticks have run out.
std::optional<RaceTickInput> TakeRaceInput(Game& game, const RaceTickInput& fromDevices);
// The game ended: its result closes the recording, which becomes the save folder's last.rvr.
void EndRaceRecording(Game& game);
// After the name entry: the last game gets its player's name and country, is saved again as
// last.rvr, and is kept beside the high-score table as that entry's replay.
void NameLastRecording(Game& game, std::string_view playerName, std::string_view country);

// The replay of the game in progress or of the last finished game; empty when there is none.
std::string CurrentReplayBytes(const Game& game);

}  // namespace rivoltra
