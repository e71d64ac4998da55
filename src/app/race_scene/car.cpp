#include "app/race_scene/car.h"

#include <string>

#include "app/game.h"
#include "app/race_scene/race_sprites.h"
#include "race/core/car_table.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {

constexpr double kGunFireFramesPerSecond = 35;
constexpr double kTurboFireFramesPerSecond = 15;

void NewBonusSprites(Game& game, std::string_view iconImage, std::string_view flameImage,
                     double flameFramesPerSecond) {
  RaceScene& scene = game.RaceScene;
  // A pick-up always follows the end of the other bonus; nothing of it may stay behind.
  FreeSprite(scene.BonusIcon);
  FreeSprite(scene.BonusFlame);
  scene.BonusIcon = NewRaceCaption(game, iconImage);
  scene.BonusFlame = NewRaceCaption(game, flameImage);
  scene.BonusFlame->FrameLooped = true;
  scene.BonusFlame->FrameSpeed = SceneFramesPerLag(game, flameFramesPerSecond);
  scene.BonusFlame->Visible = false;
}

}  // namespace

PlayerCarSprite::PlayerCarSprite(Sprite* parent, Game& game, const CarState& car,
                                 std::int32_t carNumber)
    : ImageSprite(parent), car_(car) {
  CarTable(carNumber);
  Image = &RaceImage(game, "Car" + std::to_string(carNumber));
  Width = Image->Width();
  Height = Image->Height();
  FrameCount = Image->PatternCount();
  FrameLooped = false;
  FramePos = 0;
  FrameSpeed = 0;
  SetZ(3);
}

void PlayerCarSprite::Follow() {
  X = car_.X;
  Y = car_.Y;
}

void PlaceBonusSprites(Game& game) {
  const RaceScene& scene = game.RaceScene;
  const RaceState& race = game.Race.State;
  PlayerCarSprite* car = scene.PlayerCar;
  CaptionSprite* icon = scene.BonusIcon;
  CaptionSprite* flame = scene.BonusFlame;
  if (car == nullptr || icon == nullptr || flame == nullptr) return;
  icon->X = car->X + (car->Width - icon->Width) / 2.0;
  if (race.TurboActive) {
    flame->X = icon->X + 2;
    icon->Y = car->Y + car->Height - icon->Height * 0.9;
    flame->Y = car->Y + car->Height + icon->Height * 0.1;
  } else if (race.GunActive) {
    flame->X = icon->X - 5;
    icon->Y = car->Y + car->Height * 0.3;
    flame->Y = icon->Y - flame->Height;
  }
  icon->SetZ(car->Z() + 1);
  flame->SetZ(car->Z() + 1);
}

void ShowBonusSprites(Game& game, ObjectKind bonus) {
  if (bonus == ObjectKind::BonusGun) {
    NewBonusSprites(game, "Gun", "GunFire", kGunFireFramesPerSecond);
  } else {
    const CarDrivingValues& values = CarTable(game.Race.State.Car.Number);
    NewBonusSprites(game, values.TurboColour, "TurboFire", kTurboFireFramesPerSecond);
  }
}

void FreeBonusSprites(Game& game) {
  FreeSprite(game.RaceScene.BonusIcon);
  FreeSprite(game.RaceScene.BonusFlame);
}

}  // namespace rivoltra
