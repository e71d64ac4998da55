#include "race/core/race_simulation.h"

#include <stdexcept>
#include <string>

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
    : startEvents_(session_.Start(Checked(data, car), car, randomState)) {}

RaceEvents RaceSimulation::Tick(const RaceTickInput& input) {
  if (session_.State.Ended) return {};
  ++tickCount_;
  return session_.Tick(input);
}

}  // namespace rivoltra
