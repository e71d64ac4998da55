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
  RaceScene& scene = game.RaceScene;
  game.ScreenState = GameScreen::RaceLoading;
  PlayScreenMusic(game);
  game.Menu.Buttons.ButtonCount = 0;
  HideMouseCursor(game);

  game.ScrollBackground->Image = &RaceImage(game, "GroundLeft");
  game.ScrollBackground->X = kGroundX;

  CreateHudSprites(game);
  scene.NeedleTimer = -1;
  scene.NeedleJitter = 0;
  StepNeedle(game);
  DrawNeedle(game);

  const std::int32_t car = game.Race.State.CarChoice;
  FreeSprite(scene.PlayerCar);
  scene.PlayerCar = new PlayerCarSprite(&game.Sprites.Engine(), game, game.Race.State.Car, car);
  scene.PlayerCar->SetZ(kCarZ);
  game.ScreenState = GameScreen::Race;
  // The race takes the game's generator over until it ends.
  const RaceEvents started = game.Race.Start(
      RaceDataFromImages(game.RaceImages, RaceInterval(game)), car, game.Random.State());

  CreateBonusIndicators(game);
  Sprite* root = &game.Sprites.Engine();
  scene.ShotSpark =
      new RaceEffectSprite(root, game, kExplosionStartX, kExplosionStartY, "ExplosionMicro");
  scene.CrashExplosion =
      new RaceEffectSprite(root, game, kExplosionStartX, kExplosionStartY, "ExplosionBig");
  scene.CrashExplosion->SetZ(6);
  ShowRaceEvents(game, started);
  EnableTimer(game);
}

void StartRaceLevel(Game& game, std::int32_t level) {
  RaceEvents events;
  StartLevel(game.Race.State, game.Race.Data, level, events);
  ShowRaceEvents(game, events);
}

void EndRunningBonus(Game& game) {
  RaceEvents events;
  EndBonus(game.Race.State, events);
  ShowRaceEvents(game, events);
}

void EndRace(Game& game) {
  RaceScene& scene = game.RaceScene;
  RaceState& race = game.Race.State;
  StopSound(game, "Engine");
  StopMusic(game);
  ShowMouseCursor(game);
  DisableTimer(game);
  if (game.ScrollBackground != nullptr) {
    game.ScrollBackground->X = 0;
    game.ScrollBackground->Y = 0;
  }
  // The race hands the generator back: the next race starts where this one left it.
  if (scene.Live()) game.Random = race.Random;
  race.RaceRunning = false;
  ClearTrackObjects(game);
  FreeSprite(scene.PlayerCar);
  FreeHudSprites(game);
  FreeSprite(scene.ShotSpark);
  FreeSprite(scene.CrashExplosion);
  FreeSprite(scene.Banner);
  if (race.GunActive || race.TurboActive) {
    FreeBonusSprites(game);
    race.GunActive = false;
    race.TurboActive = false;
  }
  race.Speed = 0;
  scene.ScrollSpeed = 0;
  DropGhost(game);
}

void FinishGame(Game& game) {
  EndRace(game);
  ShowAfterGame(game);
}

}  // namespace rivoltra
