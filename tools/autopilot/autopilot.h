#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rivoltra {

struct Game;
class HeldKeys;

// A computer driver for the race. It reads only what a player sees (the race state: the car
// and the objects in the slots) and acts only through the input the game reads: it holds the
// cursor keys on the headless keyboard and reports Ctrl to the key handlers for the gun.
class Autopilot {
 public:
  Autopilot(Game& game, HeldKeys& keys);

  // Looks at the road and sets the keys for the next tick. Outside a running race every key is
  // let go.
  void Drive();
  // Lets go of every key the autopilot holds.
  void ReleaseAll();

  // From now on the autopilot acts by handing runner commands ("down Left", "up Ctrl") to the
  // sink, once per change, instead of touching the keyboard and the key handlers itself; the
  // golden-trace recorder writes them into a script.
  void SendCommandsTo(std::function<void(const std::string&)> sink);

  // The lane (2..4) the autopilot is heading for, for diagnostics.
  int TargetLane() const { return targetLane_; }

 private:
  void SetKey(int virtualKey, bool down);
  void SetFire(bool down);
  // Cost of driving in a lane: nearby hazards add, bonuses subtract, leaving the lane one is
  // in adds a little so the car does not weave.
  double LaneCost(int lane) const;
  bool HazardInPath(double withinTicks) const;
  bool TargetOnAimLine() const;

  Game& game_;
  HeldKeys& keys_;
  bool fireHeld_ = false;
  std::function<void(const std::string&)> commandSink_;
  // The keys as last sent to the command sink, by virtual key.
  bool sentDown_[256] = {};
  int targetLane_ = 3;
};

}  // namespace rivoltra
