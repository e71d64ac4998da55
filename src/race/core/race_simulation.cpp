#include "race/core/race_simulation.h"

#include "race/core/race_tick.h"

namespace rivoltra {

RaceSimulation::RaceSimulation(const RaceData& data, std::int32_t car, std::uint32_t randomState)
    : data_(data) {
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
