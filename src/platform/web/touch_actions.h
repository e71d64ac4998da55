#pragma once

#include "race/core/action_states.h"

namespace rivoltra {

// The race actions the page's touch buttons hold. A tap shorter than a tick still reaches the
// game: an action pressed since the last tick counts as held for the next one, even when it was
// already released.
class TouchActions {
 public:
  // The buttons held now, as the page sees its touches.
  void Hold(ActionStates held) {
    pressedSinceTick_ = ActionStates(
        static_cast<std::uint16_t>(pressedSinceTick_.Bits() | (held.Bits() & ~held_.Bits())));
    held_ = held;
  }
  // What the next tick reads.
  ActionStates ForTick() const {
    return ActionStates(static_cast<std::uint16_t>(held_.Bits() | pressedSinceTick_.Bits()));
  }
  // A tick has read them.
  void TickRan() { pressedSinceTick_ = {}; }

 private:
  ActionStates held_;
  ActionStates pressedSinceTick_;
};

}  // namespace rivoltra
