// The proof that the race core is the game's race: the same seeded autopilot games run through
// the game (headless, with the real pictures) and through RaceSimulation, fed the input the game
// read in each tick, agree on every compared value after every tick and end on the same tick.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <type_traits>

#include "app/game.h"
#include "autopilot.h"
#include "race/core/race_simulation.h"
#include "race/core/race_state.h"
#include "race/race_data_images.h"
#include "runner/script_runner.h"

namespace rivoltra {
namespace {

struct GameCase {
  std::uint32_t Seed;
  std::int32_t Car;
  std::int32_t Lag;
  // Every this many ticks the pause key is pressed for a tick (0: never); the finish key and
  // then No follow half-way between.
  int PauseEvery;
};

std::ostream& operator<<(std::ostream& out, const GameCase& c) {
  return out << "seed " << c.Seed << " car " << c.Car << " lag " << c.Lag;
}

// Enumerators print as their numbers.
template <typename T>
auto Printable(T value) {
  if constexpr (std::is_enum_v<T>) {
    return static_cast<std::underlying_type_t<T>>(value);
  } else {
    return value;
  }
}

class Comparison {
 public:
  Comparison(const Game& game, const RaceSimulation& simulation, long tick)
      : game_(game), race_(game.Race.State), sim_(simulation.State()), tick_(tick) {}

  // Returns false at the first difference, with a message naming it.
  ::testing::AssertionResult Same() const {
    std::ostringstream why;
    auto differ = [&](const char* what, auto game, auto sim) {
      if (game == sim) return false;
      why << "tick " << tick_ << ": " << what << " game " << Printable(game) << " core "
          << Printable(sim);
      return true;
    };
    if (differ("Score", race_.Score, sim_.Score) || differ("Level", race_.Level, sim_.Level) ||
        differ("Lives", race_.Lives, sim_.Lives) ||
        differ("TimeLeft", race_.TimeLeft, sim_.TimeLeft) ||
        differ("Speed", race_.Speed, sim_.Speed) ||
        differ("Distance", race_.Distance, sim_.Distance) ||
        differ("FinishPhase", race_.FinishPhase, sim_.FinishPhase) ||
        differ("RaceRunning", race_.RaceRunning, sim_.RaceRunning) ||
        differ("Paused", race_.Paused, sim_.Paused) ||
        differ("GunActive", race_.GunActive, sim_.GunActive) ||
        differ("TurboActive", race_.TurboActive, sim_.TurboActive) ||
        differ("Punctured", race_.Punctured, sim_.Punctured) ||
        differ("CrashPending", race_.CrashPending, sim_.CrashPending) ||
        differ("Random", RandomInPlay(game_).State(), sim_.Random.State())) {
      return ::testing::AssertionFailure() << why.str();
    }
    const CarState& car = race_.Car;
    if (differ("CarX", car.X, sim_.Car.X) ||
        differ("MotionState", car.MotionState, sim_.Car.MotionState) ||
        differ("StunTime", car.StunTime, sim_.Car.StunTime) ||
        differ("MaxSpeed", car.MaxSpeed, sim_.Car.MaxSpeed) ||
        differ("BonusSeconds", car.BonusSeconds, sim_.Car.BonusSeconds)) {
      return ::testing::AssertionFailure() << why.str();
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      const auto index = static_cast<std::size_t>(slot);
      const TrackObject& object = race_.Objects[index];
      const TrackObject& simObject = sim_.Objects[index];
      why << "slot " << slot << " ";
      if (differ("used", object.Used, simObject.Used)) {
        return ::testing::AssertionFailure() << why.str();
      }
      if (!object.Used) continue;
      if (differ("Kind", KindNumber(object.Kind), KindNumber(simObject.Kind)) ||
          differ("X", object.X, simObject.X) || differ("Y", object.Y, simObject.Y) ||
          differ("Hits", object.Hits, simObject.Hits) ||
          differ("FramePos", object.Frames.Pos, simObject.Frames.Pos)) {
        return ::testing::AssertionFailure() << why.str();
      }
    }
    return ::testing::AssertionSuccess();
  }

 private:
  const Game& game_;
  const RaceState& race_;
  const RaceState& sim_;
  long tick_;
};

// The pause key on and off again five ticks later, then the finish prompt answered No.
std::string ScriptedKey(const GameCase& c, long tick) {
  if (c.PauseEvery == 0) return "";
  const long phase = tick % c.PauseEvery;
  if (phase == 0 || phase == 5) return "P";
  if (phase == c.PauseEvery / 2) return "Escape";
  if (phase == c.PauseEvery / 2 + 3) return "N";
  return "";
}

class RaceEquivalence : public ::testing::TestWithParam<GameCase> {};

TEST_P(RaceEquivalence, TheCoreRunsTheGamesRaceTickForTick) {
  const GameCase& c = GetParam();
  std::ostringstream discard;
  ScriptRunner runner(discard);
  runner.Start();
  Game& game = runner.Game();
  runner.Execute("seed " + std::to_string(c.Seed));
  runner.Execute("lag " + std::to_string(c.Lag));
  const std::uint32_t startState = game.Random.State();
  runner.Execute("race " + std::to_string(c.Car));
  ASSERT_EQ(game.ScreenState, GameScreen::Race);
  const RaceData data =
      RaceDataFromImages(game.RaceImages, static_cast<std::int32_t>(game.Timer.Interval()));
  RaceSimulation simulation(data, c.Car, startState);
  ASSERT_TRUE(Comparison(game, simulation, 0).Same());

  Autopilot pilot(game, runner.Platform().Keys());
  constexpr long kMaxTicks = 40000;
  long tick = 0;
  for (; tick < kMaxTicks && game.ScreenState == GameScreen::Race; ++tick) {
    pilot.Drive();
    const std::string key = ScriptedKey(c, tick);
    if (!key.empty()) runner.Execute("down " + key);
    runner.Execute("tick");
    if (!key.empty()) runner.Execute("up " + key);
    runner.Context().SoundLog.clear();
    const ActionStates used = game.RaceScene.TickActions;
    simulation.Tick({used, c.Lag});
    if (game.ScreenState != GameScreen::Race) break;
    ASSERT_FALSE(simulation.Ended()) << "tick " << tick;
    ASSERT_TRUE(Comparison(game, simulation, tick).Same());
  }
  ASSERT_LT(tick, kMaxTicks) << "the game did not end";
  EXPECT_TRUE(simulation.Ended()) << "tick " << tick;
  EXPECT_EQ(simulation.State().Score, game.Race.State.Score);
  EXPECT_EQ(simulation.State().Level, game.Race.State.Level);
  EXPECT_EQ(simulation.State().Lives, game.Race.State.Lives);
}

// Between them these games crash and respawn, take and lose the gun and the turbo, shoot, finish
// levels up to level 6, run out of time, end in game over, pause and answer the finish prompt,
// and run with a lag of 2.
INSTANTIATE_TEST_SUITE_P(AutopilotGames, RaceEquivalence,
                         ::testing::Values(GameCase{20240611, 1, 1, 0}, GameCase{303, 3, 1, 0},
                                           GameCase{77, 2, 2, 0}, GameCase{5, 4, 1, 400}));

}  // namespace
}  // namespace rivoltra
