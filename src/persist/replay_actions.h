#pragma once

#include <cstdint>

#include "formats/replay_file.h"
#include "race/core/action_states.h"

namespace rivoltra {

// The replay file's action bits and the race's action states name the same nine actions in a
// different order; the file's order is fixed by its format, the rules' may change.
inline constexpr struct {
  RaceAction Action;
  std::uint16_t Bit;
} kReplayActionBits[] = {
    {RaceAction::Accelerate, ReplayUp},  {RaceAction::Brake, ReplayDown},
    {RaceAction::SteerLeft, ReplayLeft}, {RaceAction::SteerRight, ReplayRight},
    {RaceAction::Fire, ReplayFire},      {RaceAction::Pause, ReplayPause},
    {RaceAction::Finish, ReplayFinish},  {RaceAction::Yes, ReplayYes},
    {RaceAction::No, ReplayNo},
};

inline std::uint16_t ReplayBitsOf(ActionStates actions) {
  std::uint16_t bits = 0;
  for (const auto& pair : kReplayActionBits) {
    if (actions.Held(pair.Action)) bits = static_cast<std::uint16_t>(bits | pair.Bit);
  }
  return bits;
}

inline ActionStates ActionStatesOf(std::uint16_t bits) {
  ActionStates actions;
  for (const auto& pair : kReplayActionBits) actions.Set(pair.Action, (bits & pair.Bit) != 0);
  return actions;
}

}  // namespace rivoltra
