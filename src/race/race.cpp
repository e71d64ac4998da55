// The race's set-up and tear-down, a new game, a level's start, crashes and the game's end.
#include "race/race.h"

#include "app/game.h"
#include "app/screens.h"
#include "persist/high_scores.h"
#include "race/car.h"
#include "race/core/object_contact.h"
#include "race/explosion.h"
#include "race/hud.h"
#include "race/race_rules.h"
#include "race/race_sprites.h"
#include "race/road.h"
#include "race/spawning.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr double kProgressBottom = layout::kProgressBottom;
constexpr std::int32_t kBannerMs = 2000;
constexpr int kCarZ = 4;
constexpr std::int32_t kStartLives = 3;

}  // namespace

void StartRace(Game& game) {
  RaceRecord& race = game.race;
  game.ScreenState = ssRaceLoading;
  PlayScreenMusic(game);
  game.menu.buttons.ButtonCount = 0;
  HideMouseCursor(game);

  game.ScrollBackground->Image = &RaceImage(game, "GroundLeft");
  race.GroundSide = 0;
  game.ScrollBackground->X = kGroundX;

  CreateHudSprites(game);
  race.NeedleTimer = -1;
  race.NeedleJitter = 0;
  DrawNeedle(game);

  NewGame(game);

  CreateBonusIndicators(game);
  TSprite* root = &game.MSpriteEngine.Engine();
  race.ShotSpark = new TExplosion(root, game, kExplosionStartX, kExplosionStartY, "ExplosionMicro");
  race.CrashExplosion =
      new TExplosion(root, game, kExplosionStartX, kExplosionStartY, "ExplosionBig");
  race.CrashExplosion->SetZ(6);

  ClearSlots(game);
  EnableTimer(game);
  race.RaceRunning = false;
}

void NewGame(Game& game) {
  RaceRecord& race = game.race;
  game.ScreenState = ssRace;
  race.Score = 0;
  race.Lives = kStartLives;
  FreeSprite(race.PlayerCar);
  race.PlayerCar = new TMyCarSprite(&game.MSpriteEngine.Engine(), game, race.CarChoice);
  race.PlayerCar->ControlsEnabled = true;
  race.GunActive = false;
  race.TurboActive = false;
  race.Punctured = false;
  StartLevel(game, 1);
}

void StartLevel(Game& game, std::int32_t level) {
  RaceRecord& race = game.race;
  TMyCarSprite& car = *race.PlayerCar;
  PlaySound(game, "EngineStart");
  PlaySound(game, "Engine");
  race.FinishPhase = kRacing;
  race.Level = level;
  race.TimeLeft = LevelTime(level);
  race.Speed = 0;
  car.TargetSpeed = 0;
  car.MotionState = kDrivingFreely;
  car.StunTime = 0;
  car.PlaceInStartLane();
  car.SetZ(kCarZ);
  race.Distance = 0;
  race.SecondTimer = 1000;
  race.RaceRunning = false;
  race.PauseKeyWasDown = false;
  race.Paused = false;
  race.FinishKeyWasDown = false;
  race.FinishPrompt = false;
  race.CrashSlot = 0;
  if (race.ProgressMarker != nullptr) race.ProgressMarker->Y = kProgressBottom;
  EndBonus(game);
  ClearSlots(game);
  race.CrashPending = false;
  FillSpawnChance(game);
  // Two seconds of banner, counted in ticks.
  race.StartDelay = 1000.0 / RaceInterval(game) * 2;
  race.TimeOverShown = false;
  race.GameOverShown = false;
}

void CrashCar(Game& game) {
  if (CrashCar(game.race, *game.race.PlayerCar)) StartCrashExplosion(game);
}

void RespawnCar(Game& game) {
  if (CheckGameOver(game)) return;
  RaceRecord& race = game.race;
  TMyCarSprite& car = *race.PlayerCar;
  car.Image = &RaceImage(game, "Car" + std::to_string(race.CarChoice));
  car.FramePos = 0;
  car.FrameSpeed = 0;
  car.ControlsEnabled = true;
  car.SetZ(kCarZ);
  race.CrashPending = false;
  race.CrashSlot = 0;
  ResetCrashExplosion(game);
}

bool CheckGameOver(Game& game) {
  RaceRecord& race = game.race;
  if (race.Lives != 0) return false;
  PlaySound(game, "GameOver");
  // A banner still standing (time over reached 0 lives at the same moment) is replaced.
  ShowBanner(game, "GameOverNB");
  race.GameOverShown = true;
  race.GameOverTimer = kBannerMs;
  race.RaceRunning = false;
  return true;
}

void EndRace(Game& game) {
  RaceRecord& race = game.race;
  StopSound(game, "Engine");
  StopMusic(game);
  ShowMouseCursor(game);
  DisableTimer(game);
  if (game.ScrollBackground != nullptr) {
    game.ScrollBackground->X = 0;
    game.ScrollBackground->Y = 0;
  }
  race.RaceRunning = false;
  ClearSlots(game);
  FreeSprite(race.PlayerCar);
  FreeHudSprites(game);
  FreeSprite(race.ShotSpark);
  FreeSprite(race.CrashExplosion);
  FreeSprite(race.Banner);
  if (race.GunActive || race.TurboActive) {
    FreeSprite(race.BonusIcon);
    FreeSprite(race.BonusFlame);
    race.GunActive = false;
    race.TurboActive = false;
  }
  race.Speed = 0;
}

void FinishGame(Game& game) {
  EndRace(game);
  if (ScoreQualifies(game.highScores, game.race.Score)) {
    ShowNameEntry(game);
  } else {
    ShowMainMenu(game, true, 3);
  }
}

}  // namespace rivoltra
