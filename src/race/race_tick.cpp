// The race tick: the frozen part that runs every tick (banners, pause, the finish prompt) and
// the running part (moving, the clock, the level's end, crashes, spawning, the gun).
#include <cmath>
#include <string>

#include "app/game.h"
#include "race/car.h"
#include "race/explosion.h"
#include "race/hud.h"
#include "race/race.h"
#include "race/race_rules.h"
#include "race/race_sprites.h"
#include "race/spawning.h"
#include "race/track_object.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kPauseTextX = layout::kShortBannerTextX;
constexpr int kPromptTextX = layout::kLongBannerTextX;
constexpr int kBannerTextY = layout::kBannerTextY;
constexpr std::int32_t kBannerMs = 2000;
constexpr std::int32_t kLevelDoneMs = 1000;
// The finish line is placed when this much of the level is left.
constexpr double kFinishLineAhead = 600;
constexpr double kProgressBottom = layout::kProgressBottom;
constexpr double kProgressTop = layout::kProgressTop;
constexpr double kProgressTravel = layout::kProgressBottom - layout::kProgressTop;

bool IsHeld(const Game& game, RaceAction action) { return game.race.TickActions.Held(action); }

void Compose(Game& game, std::int32_t lag, bool move) {
  DrawFrame(game, lag, move);
  DrawHud(game);
}

void WriteBanner(Game& game, const std::string& text, int x) {
  game.text.SelectBigFont();
  WriteText(game, text, x, kBannerTextY);
}

void Freeze(Game& game) {
  StopMusic(game);
  StopSound(game, "Engine");
  game.race.RaceRunning = false;
}

void Unfreeze(Game& game) {
  PlayScreenMusic(game);
  PlaySound(game, "Engine");
  game.race.RaceRunning = true;
}

void Resume(Game& game) {
  Unfreeze(game);
  game.race.Paused = false;
  game.race.FinishPrompt = false;
}

// The pause and finish keys act on the press, and not while the start banner counts.
void PauseAndFinishKeys(Game& game) {
  RaceRecord& race = game.race;
  const bool pauseDown = IsHeld(game, RaceAction::Pause);
  const bool finishDown = IsHeld(game, RaceAction::Finish);
  if (pauseDown && !race.PauseKeyWasDown && race.StartDelay == 0) {
    if (race.RaceRunning) {
      WriteBanner(game, "PAUSE", kPauseTextX);
      FlipFrame(game);
      Freeze(game);
      race.Paused = true;
    } else if (!race.FinishPrompt) {
      Unfreeze(game);
      race.Paused = false;
    }
  }
  if (finishDown && !race.FinishKeyWasDown && race.StartDelay == 0) {
    if (race.RaceRunning) {
      WriteBanner(game, "FINISH RACE? Y/N", kPromptTextX);
      FlipFrame(game);
      Freeze(game);
      race.FinishPrompt = true;
    } else if (!race.Paused) {
      Unfreeze(game);
      race.FinishPrompt = false;
    }
  }
  race.PauseKeyWasDown = pauseDown;
  race.FinishKeyWasDown = finishDown;
}

void ShowTimeOver(Game& game) {
  RaceRecord& race = game.race;
  PlaySound(game, "GameOver");
  ShowBanner(game, "TimeIsOverNB");
  race.TimeOverShown = true;
  race.TimeOverTimer = kBannerMs;
  race.RaceRunning = false;
}

void StopCar(Game& game) {
  TMyCarSprite& car = *game.race.PlayerCar;
  car.MotionState = kSlowingDown;
  car.TargetSpeed = 0;
}

void RunClock(Game& game) {
  const ClockStep step = rivoltra::RunClock(game.race, *game.race.PlayerCar, RaceInterval(game));
  if (step.Tick) PlaySound(game, "Tick");
  if (step.BonusRanOut) {
    PlaySound(game, "BonusLost");
    EndBonus(game);
  }
}

void CountTimeBonus(Game& game) {
  const TimeBonusStep step = StepTimeBonus(game.race, RaceInterval(game));
  if (!step.Tick) return;
  PlaySound(game, "Tick");
  if (step.StartNextLevel) StartLevel(game, game.race.Level + 1);
  TakeBonusSecond(game.race);
}

void MoveProgressMarker(Game& game) {
  RaceRecord& race = game.race;
  if (race.ProgressMarker == nullptr || !(race.ProgressMarker->Y > kProgressTop)) return;
  race.ProgressMarker->Y =
      kProgressBottom - race.Distance * kProgressTravel / LevelLength(race.Level);
}

// The level's start banner counts down while nothing else holds the race; then play starts.
void StartBanner(Game& game) {
  RaceRecord& race = game.race;
  if (race.Paused || race.FinishPrompt || race.FinishPhase != kRacing) return;
  if (race.StartDelay > 0) {
    race.StartDelay -= 1;
    WriteBanner(game, "LEVEL " + std::to_string(race.Level), kPauseTextX);
    FlipFrame(game);
  } else {
    race.StartDelay = 0;
    race.RaceRunning = true;
    race.PlayerCar->ControlsEnabled = true;
  }
}

// Returns false when the game has ended: the race's sprites are gone then.
bool TimeOverBanner(Game& game) {
  RaceRecord& race = game.race;
  if (!race.TimeOverShown) return true;
  if (race.TimeOverTimer > 0) {
    race.TimeOverTimer -= RaceInterval(game);
    race.RaceRunning = false;
    FlipFrame(game);
    return true;
  }
  race.TimeOverShown = false;
  FreeSprite(race.Banner);
  // Oncoming traffic can still reach the standing car during the banner and take the last life.
  if (race.Lives == 0) {
    FinishGame(game);
    return false;
  }
  StartLevel(game, race.Level);
  return true;
}

// At 0 lives after a crash the banner replaces the respawn: the explosion and the crashed object
// disappear.
void GameOverInsteadOfRespawn(Game& game) {
  RaceRecord& race = game.race;
  if (race.Lives != 0 || race.GameOverShown) return;
  CheckGameOver(game);
  if (race.CrashExplosion != nullptr) race.CrashExplosion->Visible = false;
  if (race.CrashSlot >= 1 && race.CrashSlot <= kSlotCount) {
    const auto index = static_cast<std::size_t>(race.CrashSlot);
    if (race.SlotUsed[index] && race.Slots[index] != nullptr) race.Slots[index]->Visible = false;
  }
}

// Returns false when the game has ended.
bool GameOverBanner(Game& game) {
  RaceRecord& race = game.race;
  if (!race.GameOverShown) return true;
  if (race.GameOverTimer <= 0) {
    FreeSprite(race.Banner);
    FinishGame(game);
    return false;
  }
  race.GameOverTimer -= RaceInterval(game);
  race.RaceRunning = false;
  FlipFrame(game);
  return true;
}

void LevelCompletedBanner(Game& game) {
  RaceRecord& race = game.race;
  if (race.FinishPhase != kLevelCompletedBanner) return;
  if (race.LevelDoneTimer <= 0) {
    race.FinishPhase = kTimeBonusCount;
    race.RaceRunning = true;
    return;
  }
  race.LevelDoneTimer -= RaceInterval(game);
  race.RaceRunning = false;
  WriteBanner(game, "LEVEL COMPLETED", kPromptTextX);
  FlipFrame(game);
}

// The part of the tick that runs frozen or not: the scene, the keys and the banners. Returns
// whether play runs on in this tick.
bool FrozenPart(Game& game) {
  RaceRecord& race = game.race;
  // Only the banners after a lost life let the tree move, and then without lag.
  DrawFrame(game, 0, race.TimeOverShown || race.GameOverShown);
  DrawHud(game);
  PauseAndFinishKeys(game);
  if (race.FinishPrompt) {
    if (IsHeld(game, RaceAction::Yes)) {
      FinishGame(game);
      return false;
    }
    if (IsHeld(game, RaceAction::No)) Resume(game);
  }
  StartBanner(game);
  if (!TimeOverBanner(game)) return false;
  GameOverInsteadOfRespawn(game);
  if (!GameOverBanner(game)) return false;
  LevelCompletedBanner(game);
  return race.RaceRunning;
}

void RunningPart(Game& game, std::int32_t lag) {
  RaceRecord& race = game.race;
  Compose(game, lag, true);

  if (race.Speed == 0 && race.TimeLeft == 0 && race.FinishPhase <= kFinishLinePlaced &&
      !race.TimeOverShown) {
    race.Lives -= 1;
    if (CheckGameOver(game)) return;
    ShowTimeOver(game);
    return;
  }

  if (race.FinishPhase <= kFinishLinePlaced) RunClock(game);
  if (race.FinishPhase == kTimeBonusCount) CountTimeBonus(game);
  if (race.CrashPending) EndBonus(game);

  race.Distance += race.Speed;
  MoveProgressMarker(game);
  const double length = LevelLength(race.Level);
  if (race.Distance + kFinishLineAhead >= length && race.FinishPhase == kRacing) {
    race.FinishPhase = kFinishLinePlaced;
    SpawnObject(game, ObjectKind::FinishLine);
  }
  if (race.Distance >= length && race.FinishPhase == kFinishLinePlaced) {
    StopCar(game);
    race.FinishPhase = kBrakingAfterLine;
  }
  if (race.Speed == 0 && race.FinishPhase == kBrakingAfterLine) {
    PlaySound(game, "LevelFinish");
    race.FinishPhase = kLevelCompletedBanner;
    race.LevelDoneTimer = kLevelDoneMs;
    race.PlayerCar->ControlsEnabled = false;
    race.RaceRunning = false;
    return;
  }

  RemoveFinishedObjects(game);
  if (CrashExplosionFinished(game)) RespawnCar(game);
  if (race.Speed > 0 && race.FinishPhase == kRacing) SpawnDecision(game);

  const bool accelDown = IsHeld(game, RaceAction::Accelerate);
  if (accelDown && !race.AccelKeyWasDown && race.TurboActive) PlaySound(game, "EngineAccel");
  race.AccelKeyWasDown = accelDown;

  FireGun(game, IsHeld(game, RaceAction::Fire));
  FlipFrame(game);
}

}  // namespace

void RaceTick(Game& game, const RaceTickInput& input) {
  if (game.race.PlayerCar == nullptr) return;
  game.race.TickActions = input.Actions;
  if (!FrozenPart(game)) return;
  RunningPart(game, input.LagCount);
}

}  // namespace rivoltra
