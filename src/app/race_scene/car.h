#pragma once

#include <cstdint>

#include "engine/sprite_image.h"
#include "race/core/race_state.h"

namespace rivoltra {

struct Game;

// The player's car on the screen: it shows the car of the race state, a fixed height near the
// bottom and moving only sideways. Whatever reads the car's driving values reads the state.
class PlayerCarSprite : public ImageSprite {
 public:
  // Picture "Car" + number from the race list, Z 3. Throws std::out_of_range for a number
  // outside 1..10.
  PlayerCarSprite(Sprite* parent, Game& game, const CarState& car, std::int32_t carNumber);

  // Stands where the state's car is.
  void Follow();
  void Advance(int /*lag*/) override {}

 private:
  const CarState& car_;
};

// The gun and turbo sprites on the car follow it.
void PlaceBonusSprites(Game& game);
// The bonus icon and flame of a gun or turbo just taken, hidden flame.
void ShowBonusSprites(Game& game, ObjectKind bonus);
void FreeBonusSprites(Game& game);

}  // namespace rivoltra
