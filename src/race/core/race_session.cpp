#include "race/core/race_session.h"

#include "race/core/race_tick.h"

namespace rivoltra {

RaceEvents RaceSession::Start(const RaceData& data, std::int32_t car, std::uint32_t seed) {
  Data = data;
  State = RaceState{};
  State.Random.Seed(seed);
  State.CarChoice = car;
  return StartRace(State, Data, car);
}

RaceEvents RaceSession::Tick(const RaceTickInput& input) { return RaceTick(State, input, Data); }

}  // namespace rivoltra
