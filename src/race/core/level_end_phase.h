#pragma once

#include <cstdint>

namespace rivoltra {

// The steps of a level's end (a race's FinishPhase).
enum class LevelEndPhase : std::int32_t {
  Racing = 0,
  FinishLinePlaced = 1,
  BrakingAfterLine = 2,
  TimeBonusCount = 3,
  LevelCompletedBanner = 25,
};

}  // namespace rivoltra
