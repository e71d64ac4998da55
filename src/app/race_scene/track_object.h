#pragma once

#include <cstdint>

#include "engine/sprite_image.h"
#include "race/core/race_state.h"

namespace rivoltra {

struct Game;

// The picture of a track object: walls, hazards, bonuses, roadside signs and walls, traffic and
// the finish line. It shows the object in its slot of the race state and follows it every tick;
// it neither moves nor collides on its own.
class TrackObjectSprite : public ImageSprite {
 public:
  TrackObjectSprite(Sprite* parent, Game& game, const TrackObject& object);
  // The slot becomes free.
  ~TrackObjectSprite() override;

  // Place, box, picture, frame and the object's values as the rules left them.
  void Follow(const TrackObject& object);
  void Advance(int /*lag*/) override {}

  // The object's values, for what reads the road (the runner's state, the autopilot).
  std::int32_t Slot = 0;
  std::int32_t Hits = 0;
  bool Exploding = false;
  bool RemoveNow = false;
  ObjectKind Kind = ObjectKind::Wall05;
  bool NotShootable = false;
  std::int32_t Lane = 0;
  bool IsTraffic = false;
  bool SameDirection = false;
  double OwnSpeed = 0;

 private:
  Game& game_;
};

}  // namespace rivoltra
