#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "formats/race_ticket.h"
#include "persist/http_transport.h"

namespace rivoltra {

struct Game;

// The race ticket asked for while the player chooses: a race ticket, or the daily course of
// DailyDay.
struct TicketRequest {
  std::unique_ptr<PendingHttpGet> Pending;
  std::optional<std::uint32_t> DailyDay;
};

// Whether the game talks to the score server before a race: a server is configured and the
// player has not turned online play off.
bool OnlinePlayEnabled(const Game& game);

// Starts asking for a ticket (a race ticket, or the daily course of dailyDay), replacing any
// earlier request; does nothing when online play is off.
void RequestRaceTicket(Game& game, std::optional<std::uint32_t> dailyDay = std::nullopt);

// The ticket for that course if it is in now, never waiting; the request is dropped either
// way, so a ticket serves one race. A reply that is no ticket, or one for another course, counts
// as none.
std::optional<RaceTicket> TakeRaceTicket(Game& game,
                                         std::optional<std::uint32_t> dailyDay = std::nullopt);

}  // namespace rivoltra
