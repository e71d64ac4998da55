#pragma once

#include <cstdint>

#include "engine/sprite_image.h"
#include "race/core/race_state.h"

namespace rivoltra {

struct Game;

// The player's car on the screen: a fixed height near the bottom, following the car of the race
// state sideways. Its driving values are a copy of the state's, for what reads the car.
class PlayerCarSprite : public ImageSprite, public CarDriving {
 public:
  // Picture "Car" + number from the race list, Z 3. Throws std::out_of_range for a number
  // outside 1..10.
  PlayerCarSprite(Sprite* parent, Game& game, std::int32_t carNumber);

  void Follow(const CarState& car);
  void Advance(int /*lag*/) override {}

  std::int32_t CarNumber() const { return carNumber_; }

 private:
  std::int32_t carNumber_;
};

// The gun and turbo sprites on the car follow it.
void PlaceBonusSprites(Game& game);
// The bonus icon and flame of a gun or turbo just taken, hidden flame.
void ShowBonusSprites(Game& game, ObjectKind bonus);
void FreeBonusSprites(Game& game);

}  // namespace rivoltra
