#pragma once

#include <cstdint>

#include "engine/sprite_image.h"
#include "race/core/race_state.h"

namespace rivoltra {

struct Game;

// The picture of a track object: walls, hazards, bonuses, roadside signs and walls, traffic and
// the finish line. It shows the object in its slot of the race state; it neither moves nor
// collides on its own, and whatever reads the object reads the state.
class TrackObjectSprite : public ImageSprite {
 public:
  // Shows the object in the slot (1..30) of the game's race state.
  TrackObjectSprite(Sprite* parent, Game& game, std::int32_t slot);
  // The slot's sprite is gone.
  ~TrackObjectSprite() override;

  // Place, box, picture and frame as the rules left the object.
  void Follow();
  void Advance(int /*lag*/) override {}

 private:
  Game& game_;
  std::int32_t slot_;
  const TrackObject& object_;
};

}  // namespace rivoltra
