// The race ticket: asked for while the player chooses a car (or looks at the daily run), taken
// when the race starts if it is in by then. A race never waits for it.
#include "app/ticket_request.h"

#include "app/game.h"
#include "formats/daily_course.h"

namespace rivoltra {

namespace {

bool FitsCourse(const RaceTicket& ticket, std::optional<std::uint32_t> dailyDay) {
  if (!dailyDay) return ticket.Kind == TicketKind::Race;
  return ticket.Kind == TicketKind::Daily && ticket.Day == *dailyDay &&
         ticket.Seed == DailyCourseOf(*dailyDay).Seed;
}

}  // namespace

bool OnlinePlayEnabled(const Game& game) {
  return !game.Online.ServerBase.empty() && game.Preferences.OnlinePlay;
}

void RequestRaceTicket(Game& game, std::optional<std::uint32_t> dailyDay) {
  game.TicketRequest = {};
  if (!OnlinePlayEnabled(game)) return;
  game.TicketRequest.DailyDay = dailyDay;
  game.TicketRequest.Pending =
      game.Platform.StartHttpGet(TicketRequestAddress(game.Online, dailyDay), kTicketLimits);
}

std::optional<RaceTicket> TakeRaceTicket(Game& game, std::optional<std::uint32_t> dailyDay) {
  TicketRequest request = std::move(game.TicketRequest);
  game.TicketRequest = {};
  if (!request.Pending || request.DailyDay != dailyDay || !request.Pending->Done()) {
    return std::nullopt;
  }
  const std::optional<std::string> reply = request.Pending->Reply();
  if (!reply) return std::nullopt;
  std::optional<RaceTicket> ticket = TicketOfReply(*reply);
  if (!ticket || !FitsCourse(*ticket, dailyDay)) return std::nullopt;
  return ticket;
}

}  // namespace rivoltra
