#include "app/race_scene/hud.h"

#include <cmath>
#include <string>

#include "app/game.h"
#include "app/race_scene/car.h"
#include "app/race_scene/race_sprites.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

using namespace layout;

constexpr double kRightPanelRight = kRightPanelEdge;
constexpr double kProgressCentreX = kProgressX;
// The needle turns about this point of its picture: the hub at its lower left.
constexpr double kNeedlePivotX = kPointerPivotX;
constexpr double kNeedlePivotY = kPointerPivotY;
constexpr std::int32_t kNeedleShakeMs = 30;
constexpr int kLevelY = kHudNumberRows[0];
constexpr int kScoreY = kHudNumberRows[1];
constexpr int kClockY = kHudNumberRows[2];
constexpr int kLivesY = kHudNumberRows[3];

CaptionSprite* HiddenIndicator(Game& game, const char* image, double x, double y) {
  CaptionSprite* indicator = NewRaceCaption(game, image);
  indicator->X = x;
  indicator->Y = y;
  indicator->SetZ(4);
  indicator->Visible = false;
  return indicator;
}

CaptionSprite* CentredIndicator(Game& game, const char* image) {
  const ImageItem& item = RaceImage(game, image);
  return HiddenIndicator(game, image, kBonusCentreX - item.Width() / 2.0,
                         kBonusCentreY - item.Height() / 2.0);
}

void WriteNumber(Game& game, std::int32_t value, int y) {
  WriteText(game, std::to_string(value), HudNumberX(value), y);
}

void WriteDigit(Game& game, std::int32_t digit, int x) {
  WriteText(game, std::string(1, static_cast<char>('0' + digit)), x, kClockY);
}

void DrawClock(Game& game) {
  const std::int32_t timeLeft = game.Race.State.TimeLeft;
  WriteDigit(game, timeLeft / 600, kClockX[0]);
  WriteDigit(game, timeLeft / 60 % 10, kClockX[1]);
  WriteText(game, ":", kClockX[2], kClockY);
  WriteDigit(game, timeLeft % 60 / 10, kClockX[3]);
  WriteDigit(game, timeLeft % 10, kClockX[4]);
}

void SetVisible(CaptionSprite* sprite, bool visible) {
  if (sprite != nullptr) sprite->Visible = visible;
}

void DrawBonusPanel(Game& game) {
  const RaceScene& scene = game.RaceScene;
  const RaceState& race = game.Race.State;
  const CarState& car = race.Car;
  if (race.Punctured) {
    SetVisible(scene.GunIndicator, false);
    SetVisible(scene.TurboIndicator, false);
    SetVisible(scene.NoBonusIndicator, false);
    SetVisible(scene.PunctureIndicator, true);
    WriteText(game, std::to_string(static_cast<std::int32_t>(std::trunc(car.StunTime))),
              kBonusSecondsX, kBonusSecondsY);
    return;
  }
  SetVisible(scene.GunIndicator, race.GunActive);
  SetVisible(scene.TurboIndicator, race.TurboActive);
  if (race.GunActive || race.TurboActive) {
    SetVisible(scene.NoBonusIndicator, false);
    SetVisible(scene.PunctureIndicator, false);
    WriteText(game, std::to_string(car.BonusSeconds), kBonusSecondsX, kBonusSecondsY);
  } else {
    SetVisible(scene.NoBonusIndicator, true);
    SetVisible(scene.PunctureIndicator, false);
  }
}

}  // namespace

int HudNumberX(std::int32_t value) {
  int x = kHudNumberX;
  if (value > 99) x -= 10;
  if (value > 999) x -= 10;
  if (value > 9999) x -= 10;
  return x;
}

void CreateHudSprites(Game& game) {
  RaceScene& race = game.RaceScene;
  race.LeftPanel = NewRaceCaption(game, "LeftPanel");
  race.LeftPanel->X = 0;
  race.LeftPanel->Y = 0;
  race.RightPanel = NewRaceCaption(game, "RightPanel");
  race.RightPanel->X = kRightPanelRight - race.RightPanel->Width;
  race.RightPanel->Y = 0;
  race.ProgressMarker = NewRaceCaption(game, "CarSmall");
  race.ProgressMarker->X = kProgressCentreX - race.ProgressMarker->Width / 2.0;
  race.ProgressMarker->Y = kProgressBottom;
  race.ProgressMarker->SetZ(4);
  // Only its picture is used: the needle is drawn turned, over the sprites.
  race.SpeedNeedle = NewRaceCaption(game, "Pointer");
  race.SpeedNeedle->Visible = false;
}

void CreateBonusIndicators(Game& game) {
  RaceScene& race = game.RaceScene;
  race.GunIndicator = CentredIndicator(game, "GunSmall");
  race.TurboIndicator = CentredIndicator(game, "TurboSmall");
  race.NoBonusIndicator = HiddenIndicator(game, "None", kNoBonusX, kBonusIndicatorY);
  race.PunctureIndicator = HiddenIndicator(game, "Drifting", kPunctureX, kBonusIndicatorY);
}

void FreeHudSprites(Game& game) {
  RaceScene& race = game.RaceScene;
  FreeSprite(race.LeftPanel);
  FreeSprite(race.RightPanel);
  FreeSprite(race.ProgressMarker);
  FreeSprite(race.SpeedNeedle);
  FreeSprite(race.GunIndicator);
  FreeSprite(race.TurboIndicator);
  FreeSprite(race.NoBonusIndicator);
  FreeSprite(race.PunctureIndicator);
}

void StepNeedle(Game& game) {
  RaceScene& scene = game.RaceScene;
  if (scene.NeedleTimer > 0) {
    scene.NeedleTimer -= RaceInterval(game);
  } else {
    scene.NeedleTimer = kNeedleShakeMs;
    scene.NeedleJitter = scene.NeedleJitter == 0 ? 1 : scene.NeedleJitter == 1 ? -1 : 0;
  }
}

void DrawNeedle(Game& game) {
  const RaceScene& scene = game.RaceScene;
  if (scene.SpeedNeedle == nullptr || !game.Screen.IsInitialized()) return;
  const ImageItem& needle = *scene.SpeedNeedle->Image;
  const int angle = static_cast<int>(std::trunc(game.Race.State.Speed * kNeedleUnitsPerSpeed)) +
                    scene.NeedleJitter;
  needle.DrawRotate(game.Screen.BackBuffer(), kDialX, kDialY, needle.Width(), needle.Height(), 0,
                    kNeedlePivotX, kNeedlePivotY, angle);
}

void DrawHud(Game& game) {
  const RaceState& race = game.Race.State;
  DrawNeedle(game);
  game.Text.SelectSmallFont();
  WriteNumber(game, race.Level, kLevelY);
  WriteNumber(game, race.Score, kScoreY);
  DrawClock(game);
  WriteNumber(game, race.Lives, kLivesY);
  DrawBonusPanel(game);
}

}  // namespace rivoltra
