#include "race/core/race_simulation.h"

#include <stdexcept>
#include <string>

#include "race/core/race_tick.h"

namespace rivoltra {

namespace {

// A recorded race comes from outside: a car that cannot be chosen or a timer without an interval
// is refused before anything runs.
const RaceData& Checked(const RaceData& data, std::int32_t car) {
  if (car < 1 || car > kChoosableCars) {
    throw std::invalid_argument("race simulation: car " + std::to_string(car) +
                                " cannot be chosen");
  }
  if (data.IntervalMs <= 0) {
    throw std::invalid_argument("race simulation: frame interval " +
                                std::to_string(data.IntervalMs) + " ms");
  }
  return data;
}

}  // namespace

RaceSimulation::RaceSimulation(const RaceData& data, std::int32_t car, std::uint32_t randomState)
    : data_(Checked(data, car)) {
  state_.Random.Seed(randomState);
  state_.CarChoice = car;
  startEvents_ = StartRace(state_, data_, car);
}

RaceEvents RaceSimulation::Tick(const RaceTickInput& input) {
  if (state_.Ended) return {};
  ++tickCount_;
  return RaceTick(state_, input, data_);
}

}  // namespace rivoltra
