// `race N`: a new game with car N, as if it had been chosen on the car-choice screen. With a
// server set, the race takes a ticket as the car choice would have fetched it; the fake clock
// does not move while the request runs, so the runner waits for it.
#include "app/game.h"
#include "app/screens.h"
#include "app/ticket_request.h"
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterCommand kRace("race", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 1, 1);
  const auto car = static_cast<std::int32_t>(ParseInteger(args[0], 1, 4));
  const GameScreen screen = context.Game.ScreenState;
  if (screen == GameScreen::Race || screen == GameScreen::RaceLoading)
    throw ScriptError("a race is already running");
  if (context.Platform.Http().Connected() && screen != GameScreen::CarChoice)
    RequestRaceTicket(context.Game);
  StartGameWithCar(context.Game, car);
});

}  // namespace

}  // namespace rivoltra
