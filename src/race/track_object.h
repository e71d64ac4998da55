#pragma once

#include <cstdint>
#include <optional>

#include "engine/sprite_image.h"
#include "race/core/track_kinds.h"

namespace rivoltra {

struct Game;

// Everything the player meets on the road: walls, hazards, bonuses, roadside signs and walls,
// traffic and the finish line. It scrolls down by the race's Speed (traffic adds its own), acts
// once when it touches the car, and lives in one of the race's 30 slots.
class TWallSprite : public TImageSprite {
 public:
  // Draws a lane (lanes 2..4) unless one is given, and for traffic a speed; then looks for a
  // free place at the top edge. The caller reads Placed afterwards.
  TWallSprite(TSprite* parent, Game& game, std::int32_t slot, ObjectKind kind,
              std::optional<std::int32_t> lane = std::nullopt);
  // The slot becomes free.
  ~TWallSprite() override;

  void Advance(int lag) override;
  void HandleCollision(TSprite& other, bool& done) override;

  // Switches to an explosion picture played once, so the clean-up frees the object when it ends.
  void ShowExplosion(const char* imageName, double framesPerSecond);

  std::int32_t Slot = 0;
  // Free at the next clean-up.
  bool RemoveNow = false;
  // Gun hits taken.
  std::int32_t Hits = 0;
  // Destroyed by the gun; the explosion is playing.
  bool Exploding = false;
  ObjectKind Kind = ObjectKind::Wall05;
  bool NotShootable = false;
  std::int32_t Lane = 0;
  bool Placed = false;
  bool IsTraffic = false;
  bool SameDirection = false;
  // Pixels per tick added to Speed when moving (traffic only).
  double OwnSpeed = 0;

 private:
  void WallCrash(const char* explosionImage);
  void TrafficCrash();
  void PickUpGun();
  void PickUpTurbo();

  Game& game_;
};

// A gun kill: the object explodes, stops moving on its own and is freed when the explosion ends.
void ExplodeObject(Game& game, TWallSprite& object);
// Whether a new object with this box would stand too close to any object in a used slot.
bool OverlapsPlaced(const Game& game, double x, double y, int width, int height);

}  // namespace rivoltra
