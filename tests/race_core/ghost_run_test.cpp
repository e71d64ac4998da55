#include "race/core/ghost_run.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_race_data.h"

namespace rivoltra {
namespace {

TEST(RaceProgress, AddsTheFinishedLevelsAndStopsAtTheLevelsEnd) {
  struct Case {
    std::int32_t Level;
    double Distance;
    double Progress;
  } cases[] = {
      {1, 0, 0},           {1, 512.5, 512.5},         {2, 100, 30000 + 100},
      {4, 0, 3 * 30000.0}, {5, 7, 90000 + 42000 + 7}, {1, 31000, 30000},  // past the line
  };
  for (const Case& c : cases) {
    RaceState race;
    race.Level = c.Level;
    race.Distance = c.Distance;
    EXPECT_EQ(RaceProgress(race), c.Progress) << "level " << c.Level << " at " << c.Distance;
  }
}

RaceTickInput Input(std::initializer_list<RaceAction> held) {
  RaceTickInput input;
  for (const RaceAction action : held) input.Actions.Set(action, true);
  return input;
}

// A recording with a pause: the accelerator for a while, the pause key, a long wait, the pause
// key again, and on.
std::vector<RaceTickInput> RecordingWithAPause() {
  std::vector<RaceTickInput> ticks(400, Input({RaceAction::Accelerate}));
  ticks.push_back(Input({RaceAction::Pause}));
  ticks.insert(ticks.end(), 300, Input({}));
  ticks.push_back(Input({RaceAction::Pause}));
  ticks.insert(ticks.end(), 200, Input({RaceAction::Accelerate}));
  return ticks;
}

TEST(GhostRun, DrivesTheRecordingThroughItsPauseAndStopsAtItsEnd) {
  const RaceData data = testing::SmallRaceData();
  const std::vector<RaceTickInput> ticks = RecordingWithAPause();
  GhostRun ghost(data, 2, 12345, ticks);
  RaceSimulation recorded(data, 2, 12345);
  int steps = 0;
  while (!ghost.Over()) {
    ghost.Step();
    ++steps;
    ASSERT_FALSE(ghost.State().Paused) << "after step " << steps;
    while (recorded.TickCount() < ghost.TicksRun()) {
      recorded.Tick(ticks[static_cast<std::size_t>(recorded.TickCount())]);
    }
    ASSERT_EQ(ghost.State().Distance, recorded.State().Distance) << "after step " << steps;
    ASSERT_EQ(ghost.State().Car.X, recorded.State().Car.X);
  }
  // The pause and the wait inside it took one step.
  EXPECT_EQ(steps, static_cast<int>(ticks.size()) - 301);
  EXPECT_EQ(ghost.TicksRun(), static_cast<std::int64_t>(ticks.size()));
  EXPECT_GT(ghost.State().Distance, 0);
  const double end = ghost.State().Distance;
  ghost.Step();
  EXPECT_EQ(ghost.State().Distance, end);
}

}  // namespace
}  // namespace rivoltra
