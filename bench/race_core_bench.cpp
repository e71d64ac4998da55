// The race rules in the core, as a recorded race replays them: the car's move, the clock and the
// hazards and pick-ups the car touches; no sprites, no drawing, no game.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

#include "race/core/car_motion.h"
#include "race/core/level_clock.h"
#include "race/core/object_contact.h"
#include "race/core/race_simulation.h"
#include "race/core/road.h"
#include "race_core/test_race_data.h"

namespace rivoltra {
namespace {

// A ten-minute race at 30 ticks a second.
constexpr int kTicks = 20000;

CarDriving StartCar() {
  const CarDrivingValues& values = CarTable(1);
  CarDriving car;
  car.MaxSpeed = car.NormalMaxSpeed = values.MaxSpeed;
  car.Acceleration = car.NormalAcceleration = values.Acceleration;
  car.BrakeDecel = values.BrakeDecel;
  car.SteerDivisor = values.SteerDivisor;
  car.SteerMax = values.SteerMax;
  return car;
}

// Held actions that change every few ticks the way a driver's do: mostly accelerating, weaving
// between the lanes, now and then braking.
void TenMinuteRace(benchmark::State& state) {
  for (auto _ : state) {
    CarDriving car = StartCar();
    CarPlace place{LaneCentredX(3, 40), 40};
    RaceState race;
    race.TimeLeft = LevelTime(1) * 10;
    race.Random.Seed(7);
    double& speed = race.Speed;
    CarMoveContext context;
    context.RaceRunning = true;
    context.IntervalMs = 33;
    context.BaseMaxSpeed = car.MaxSpeed;
    std::uint32_t noise = 12345;
    for (int tick = 0; tick < kTicks; ++tick) {
      if (tick % 8 == 0) noise = noise * 1103515245u + 12345u;
      ActionStates actions;
      actions.Set(RaceAction::Accelerate, (noise >> 16) % 8 != 0);
      actions.Set(RaceAction::Brake, (noise >> 16) % 8 == 0);
      actions.Set(RaceAction::SteerLeft, (noise >> 20) % 4 == 0);
      actions.Set(RaceAction::SteerRight, (noise >> 20) % 4 == 1);
      context.Actions = actions;
      // Something on the road every 40 ticks, cycling through hazards and pick-ups.
      if (tick % 40 == 20) {
        const auto kind = KindFromNumber(3 + (tick / 40) % 14);
        benchmark::DoNotOptimize(TouchObject(race, car, kind, 2 + (tick / 40) % 3));
      }
      benchmark::DoNotOptimize(MoveCar(car, place, speed, context));
      benchmark::DoNotOptimize(RunClock(race, car, context.IntervalMs));
    }
    benchmark::DoNotOptimize(place.X);
    benchmark::DoNotOptimize(speed);
  }
  state.SetItemsProcessed(state.iterations() * kTicks);
}
BENCHMARK(TenMinuteRace)->Unit(benchmark::kMillisecond);

// The lane (2..4) whose nearest object ahead of the car is farthest away.
int ClearestLane(const RaceState& race) {
  int best = 3;
  double bestGap = -1;
  for (int lane = 2; lane <= 4; ++lane) {
    double gap = 1e9;
    for (const TrackObject& object : race.Objects) {
      if (!object.Used || object.Lane != lane || object.Y > race.Car.Y) continue;
      gap = std::min(gap, race.Car.Y - object.Y);
    }
    if (gap > bestGap) {
      bestGap = gap;
      best = lane;
    }
  }
  return best;
}

// Whole games of the race rules, as the score server replays them: the car, spawning, every
// object's move and contact, the gun, the clock and the level ends, driven by a simple driver that
// accelerates, fires and heads for the clearest lane. A new game starts when one ends.
void TenMinutesOfWholeGames(benchmark::State& state) {
  const RaceData data = testing::SmallRaceData();
  std::int64_t levels = 0;
  for (auto _ : state) {
    RaceSimulation simulation(data, 1, 20240611);
    std::uint32_t seed = 20240611;
    for (int tick = 0; tick < kTicks; ++tick) {
      if (simulation.Ended()) {
        levels += simulation.State().Level;
        simulation = RaceSimulation(data, 1, ++seed);
      }
      const RaceState& race = simulation.State();
      const double centre = LaneCentredX(ClearestLane(race), race.Car.Width);
      RaceTickInput input;
      input.Actions.Set(RaceAction::Accelerate, true);
      input.Actions.Set(RaceAction::Fire, true);
      input.Actions.Set(RaceAction::SteerLeft, race.Car.X > centre + 4);
      input.Actions.Set(RaceAction::SteerRight, race.Car.X < centre - 4);
      benchmark::DoNotOptimize(simulation.Tick(input));
    }
    levels += simulation.State().Level;
  }
  state.SetItemsProcessed(state.iterations() * kTicks);
  state.counters["levels"] = static_cast<double>(levels) / static_cast<double>(state.iterations());
}
BENCHMARK(TenMinutesOfWholeGames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rivoltra

BENCHMARK_MAIN();
