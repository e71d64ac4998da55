#pragma once

#include "engine/input_devices.h"
#include "race/core/action_states.h"

namespace rivoltra {

// The input state each race action is read from (the key table binds the states to keys: the
// arrows, P, Escape, Y, N and Space).
constexpr InputState InputStateOf(RaceAction action) {
  switch (action) {
    case RaceAction::Accelerate:
      return InputUp;
    case RaceAction::Brake:
      return InputDown;
    case RaceAction::SteerLeft:
      return InputLeft;
    case RaceAction::SteerRight:
      return InputRight;
    case RaceAction::Pause:
      return InputButton4;
    case RaceAction::Finish:
      return InputButton5;
    case RaceAction::Yes:
      return InputButton6;
    case RaceAction::No:
      return InputButton7;
    case RaceAction::Fire:
      return InputButton8;
  }
  return InputUp;
}

inline bool IsHeld(const InputStates& states, RaceAction action) {
  return states.Contains(InputStateOf(action));
}

// The race actions held in the input states.
inline ActionStates ActionsFrom(const InputStates& states) {
  ActionStates actions;
  for (const RaceAction action :
       {RaceAction::Accelerate, RaceAction::Brake, RaceAction::SteerLeft, RaceAction::SteerRight,
        RaceAction::Pause, RaceAction::Finish, RaceAction::Yes, RaceAction::No, RaceAction::Fire}) {
    actions.Set(action, IsHeld(states, action));
  }
  return actions;
}

}  // namespace rivoltra
