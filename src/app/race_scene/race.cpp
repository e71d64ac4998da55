// The race's set-up and tear-down and the game's end.
#include "app/race_scene/race.h"

#include "app/game.h"
#include "app/race_scene/car.h"
#include "app/race_scene/explosion.h"
#include "app/race_scene/hud.h"
#include "app/race_scene/race_sprites.h"
#include "app/race_scene/spawning.h"
#include "app/screens.h"
#include "race/core/race_tick.h"
#include "race/race_data_images.h"
#include "race/road.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {

constexpr int kCarZ = 4;

}  // namespace

void OpenRaceScreen(Game& game) {
  RaceRecord& race = game.race;
  game.ScreenState = GameScreen::RaceLoading;
  PlayScreenMusic(game);
  game.menu.buttons.ButtonCount = 0;
  HideMouseCursor(game);

  game.ScrollBackground->Image = &RaceImage(game, "GroundLeft");
  game.ScrollBackground->X = kGroundX;

  CreateHudSprites(game);
  race.NeedleTimer = -1;
  race.NeedleJitter = 0;
  StepNeedle(game);
  DrawNeedle(game);

  race.Data = RaceDataFromImages(game.RaceImages, RaceInterval(game));
  FreeSprite(race.PlayerCar);
  race.PlayerCar = new PlayerCarSprite(&game.Sprites.Engine(), game, race.CarChoice);
  race.PlayerCar->SetZ(kCarZ);
  game.ScreenState = GameScreen::Race;
  race.Random = game.Random;
  const RaceEvents started = StartRace(race, race.Data, race.CarChoice);
  game.Random = race.Random;

  CreateBonusIndicators(game);
  Sprite* root = &game.Sprites.Engine();
  race.ShotSpark =
      new RaceEffectSprite(root, game, kExplosionStartX, kExplosionStartY, "ExplosionMicro");
  race.CrashExplosion =
      new RaceEffectSprite(root, game, kExplosionStartX, kExplosionStartY, "ExplosionBig");
  race.CrashExplosion->SetZ(6);
  ShowRaceEvents(game, started);
  EnableTimer(game);
}

void StartRaceLevel(Game& game, std::int32_t level) {
  RaceRecord& race = game.race;
  RaceEvents events;
  race.Random = game.Random;
  StartLevel(race, race.Data, level, events);
  game.Random = race.Random;
  ShowRaceEvents(game, events);
}

void EndRunningBonus(Game& game) {
  RaceEvents events;
  EndBonus(game.race, events);
  ShowRaceEvents(game, events);
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
  ClearTrackObjects(game);
  FreeSprite(race.PlayerCar);
  FreeHudSprites(game);
  FreeSprite(race.ShotSpark);
  FreeSprite(race.CrashExplosion);
  FreeSprite(race.Banner);
  if (race.GunActive || race.TurboActive) {
    FreeBonusSprites(game);
    race.GunActive = false;
    race.TurboActive = false;
  }
  race.Speed = 0;
  race.ScrollSpeed = 0;
}

void FinishGame(Game& game) {
  EndRace(game);
  ShowAfterGame(game);
}

}  // namespace rivoltra
