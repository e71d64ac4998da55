#pragma once

#include <cstdint>

namespace rivoltra {

// The game's one random generator: a 32-bit linear congruential state; random(n) is the high
// 32 bits of n times the advanced state. Replays depend on this exact sequence.
class RandomGenerator {
 public:
  void Seed(std::uint32_t state) { state_ = state; }
  std::uint32_t State() const { return state_; }

  // An integer 0 .. n-1; 0 when n is 0.
  std::uint32_t Next(std::uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * state_) >> 32);
  }
  // A uniform fraction 0 <= f < 1 in steps of 1/32768.
  double Fraction() { return Next(32768) / 32768.0; }

 private:
  std::uint32_t state_ = 0;
};

// The start-up seed: the low 32 bits of the high-resolution counter, or the millisecond
// count when the counter is not available (reported as 0).
inline std::uint32_t StartupSeed(std::uint64_t performanceCounter, std::uint32_t milliseconds) {
  return performanceCounter != 0 ? static_cast<std::uint32_t>(performanceCounter) : milliseconds;
}

}  // namespace rivoltra
