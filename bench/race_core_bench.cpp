// The race rules in the core, as a recorded race replays them: the car's move, the clock and the
// hazards and pick-ups the car touches; no sprites, no drawing, no game.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "race/core/car_motion.h"
#include "race/core/level_clock.h"
#include "race/core/object_contact.h"
#include "race/road.h"

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
    RandomGenerator random;
    random.Seed(7);
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
        benchmark::DoNotOptimize(TouchObject(race, car, kind, 2 + (tick / 40) % 3, random));
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

}  // namespace
}  // namespace rivoltra

BENCHMARK_MAIN();
