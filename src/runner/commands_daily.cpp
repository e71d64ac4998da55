// `daily DATE`: the daily run of DATE (YYYY-MM-DD), as starting it from the daily screen on that
// day does: the wall clock is set to that day's noon (UTC), and with a server set the day's
// ticket and its leader's replay (raced as the ghost) are asked for first (the server hands out
// today's ticket only; without it the run is the same course, unticketed).
#include "app/game.h"
#include "app/screens.h"
#include "app/ticket_request.h"
#include "formats/daily_course.h"
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

constexpr std::int64_t kSecondsPerDay = std::int64_t{24} * 60 * 60;

const RegisterCommand kDaily("daily", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 1, 1);
  const std::optional<std::uint32_t> day = DayOfDateText(args[0]);
  if (!day) throw ScriptError("daily takes a date YYYY-MM-DD");
  const GameScreen screen = context.Game.ScreenState;
  if (screen == GameScreen::Race || screen == GameScreen::RaceLoading)
    throw ScriptError("a race is already running");
  context.Platform.SetWallClock(static_cast<std::int64_t>(*day) * kSecondsPerDay +
                                kSecondsPerDay / 2);
  if (context.Platform.Http().Connected()) {
    RequestRaceTicket(context.Game, *day);
    RequestLeaderGhost(context.Game, *day);
  }
  StartDailyRun(context.Game, *day);
});

}  // namespace

}  // namespace rivoltra
