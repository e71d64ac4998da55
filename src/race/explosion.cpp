#include "race/explosion.h"

#include <cmath>

#include "app/game.h"
#include "race/car.h"
#include "race/race_sprites.h"

namespace rivoltra {

namespace {
constexpr double kCrashFramesPerSecond = 20;
}  // namespace

TExplosion::TExplosion(TSprite* parent, Game& game, double x, double y, std::string_view imageName)
    : TImageSprite(parent) {
  Image = &RaceImage(game, imageName);
  Width = Image->Width();
  Height = Image->Height();
  X = x;
  Y = y;
  SetZ(4);
  Visible = false;
  FrameCount = Image->PatternCount();
  FrameLooped = true;
  FramePos = 0;
  FrameSpeed = 0;
}

void StartCrashExplosion(Game& game) {
  TExplosion* explosion = game.race.CrashExplosion;
  const TMyCarSprite* car = game.race.PlayerCar;
  if (explosion == nullptr || car == nullptr) return;
  explosion->Visible = true;
  explosion->FrameCount = explosion->Image->PatternCount();
  explosion->FramePos = 0;
  explosion->FrameSpeed = FramesPerLag(game, kCrashFramesPerSecond);
  explosion->X = car->X;
  explosion->Y = car->Y;
}

bool CrashExplosionFinished(Game& game) {
  TExplosion* explosion = game.race.CrashExplosion;
  const TMyCarSprite* car = game.race.PlayerCar;
  if (explosion == nullptr || car == nullptr) return false;
  const auto frame = static_cast<std::int32_t>(std::trunc(explosion->FramePos));
  if (frame != explosion->LastFrame) {
    explosion->LastFrame = frame;
    explosion->FramesSeen += 1;
  }
  if (explosion->FramesSeen == 0) explosion->Y = car->Y;
  if (explosion->FramesSeen == explosion->FrameCount) {
    explosion->Y = car->Y + explosion->Height / 4.0;
  }
  return explosion->Visible && explosion->FramesSeen == 2 * explosion->FrameCount;
}

void ResetCrashExplosion(Game& game) {
  TExplosion* explosion = game.race.CrashExplosion;
  if (explosion == nullptr) return;
  explosion->Visible = false;
  explosion->FramePos = 0;
  explosion->FrameSpeed = 0;
  explosion->FramesSeen = 0;
  explosion->LastFrame = 0;
}

}  // namespace rivoltra
