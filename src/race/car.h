#pragma once

#include <cstdint>
#include <string_view>

#include "engine/sprite_image.h"
#include "race/core/car_motion.h"
#include "race/core/car_table.h"

namespace rivoltra {

struct Game;

// The player's car: a fixed height near the bottom of the screen, moving only sideways. Forward
// motion is the race's Speed, by which everything else scrolls down.
class TMyCarSprite : public TImageSprite, public CarDriving {
 public:
  // Picture "Car" + number from the race list, driving values from the car table, a random
  // start lane. Throws std::out_of_range for a number outside 1..10.
  TMyCarSprite(TSprite* parent, Game& game, std::int32_t carNumber);

  void Advance(int lag) override;

  // Lanes 2..4, centred.
  void PlaceInStartLane();
  // The left third of the car is on the off-road strip.
  bool IsOffRoad() const;
  // Acts only while the turbo is on: the flame belongs to the turbo.
  void SetFlameVisible(bool on);

  std::int32_t CarNumber() const { return carNumber_; }

 private:
  Game& game_;
  std::int32_t carNumber_;
};

// The gun and turbo sprites on the car follow it.
void PlaceBonusSprites(Game& game);
// Seconds a gun or turbo lasts from its pick-up; a second pick-up of the same bonus restarts them.
inline constexpr std::int32_t kBonusSeconds = 10;

// Called after GunActive or TurboActive has been set by a pick-up: ten seconds of bonus and the
// bonus sprites on the car; the turbo also raises the car's top speed and acceleration, and their
// normal copies, to its own values.
void GunPickUp(Game& game);
void TurboPickUp(Game& game);
// The gun, once per running tick: hits the nearest shootable object on the aim line while fire
// is held.
void FireGun(Game& game, bool fire);

}  // namespace rivoltra
