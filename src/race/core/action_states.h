#pragma once

#include <cstdint>

namespace rivoltra {

// What the player can do in a race.
enum class RaceAction : std::uint8_t {
  Accelerate,
  Brake,
  SteerLeft,
  SteerRight,
  Pause,
  Finish,
  Yes,
  No,
  Fire,
};

// The actions held in one tick, one bit each: the whole input the race rules read from the
// player, so a recorded race is these bits per tick.
class ActionStates {
 public:
  constexpr ActionStates() = default;
  constexpr explicit ActionStates(std::uint16_t bits) : bits_(bits) {}

  constexpr bool Held(RaceAction action) const { return (bits_ & Bit(action)) != 0; }
  constexpr void Set(RaceAction action, bool held) {
    bits_ = held ? static_cast<std::uint16_t>(bits_ | Bit(action))
                 : static_cast<std::uint16_t>(bits_ & ~Bit(action));
  }
  constexpr std::uint16_t Bits() const { return bits_; }
  friend constexpr bool operator==(ActionStates, ActionStates) = default;

 private:
  static constexpr std::uint16_t Bit(RaceAction action) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(action));
  }
  std::uint16_t bits_ = 0;
};

}  // namespace rivoltra
