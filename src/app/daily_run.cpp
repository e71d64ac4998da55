// The daily run: the same course for every player of a day, started with the day's ticket when
// the server handed one out in time, and from the day's own seed otherwise.
#include "app/game.h"
#include "app/screens.h"
#include "app/ticket_request.h"
#include "formats/daily_course.h"

namespace rivoltra {

void StartDailyRun(Game& game, std::uint32_t day) {
  const DailyCourse course = DailyCourseOf(day);
  const std::optional<RaceTicket> ticket = TakeRaceTicket(game, day);
  // Offline the course is the same: its seed is the day's, not the server's.
  if (!ticket) game.Random.Seed(course.Seed);
  StartRaceFromMenus(game, course.Car, ticket, day);
  game.Daily.RaceDay = day;
}

}  // namespace rivoltra
