#pragma once

#include <cstdint>

namespace rivoltra {

// One step of a frame animation by the lag: the position moves by speed times lag; a looped
// animation wraps around, any other stops (its speed set to 0) on its last frame or its first.
// The sprites and the race rules both step their animations here, so a frame ends on the same
// tick in both.
void StepAnimation(double& pos, double& speed, std::int32_t frameCount, bool looped,
                   std::int32_t lag);

// A frame animation as plain values: the frame shown is the integer part of Pos.
struct Animation {
  std::int32_t FrameCount = 0;
  // Wraps around; otherwise it stops on its last frame.
  bool Looped = false;
  double Pos = 0;
  // Frames per unit of lag.
  double Speed = 0;

  void Advance(std::int32_t lag) { StepAnimation(Pos, Speed, FrameCount, Looped, lag); }
};

}  // namespace rivoltra
