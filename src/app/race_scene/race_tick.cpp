// The race's scene: the rules of the core run the tick on the race record; the events they return
// are played and shown in their order, the sprites follow the state, and the frame is composed
// and shown where the rules say the game shows one.
#include "race/core/race_tick.h"

#include <string>

#include "app/game.h"
#include "app/race_scene/car.h"
#include "app/race_scene/explosion.h"
#include "app/race_scene/hud.h"
#include "app/race_scene/race.h"
#include "app/race_scene/race_sprites.h"
#include "app/race_scene/spawning.h"
#include "app/race_scene/track_object.h"
#include "race/core/level_clock.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kShortTextX = layout::kShortBannerTextX;
constexpr int kLongTextX = layout::kLongBannerTextX;
constexpr int kBannerTextY = layout::kBannerTextY;
constexpr double kProgressBottom = layout::kProgressBottom;
constexpr double kProgressTop = layout::kProgressTop;
constexpr double kProgressTravel = layout::kProgressBottom - layout::kProgressTop;

void MoveProgressMarker(Game& game) {
  RaceRecord& race = game.race;
  if (race.ProgressMarker == nullptr || !(race.ProgressMarker->Y > kProgressTop)) return;
  race.ProgressMarker->Y =
      kProgressBottom - race.Distance * kProgressTravel / LevelLength(race.Level);
}

// The sprites as the race state has them.
void FollowState(Game& game) {
  RaceRecord& race = game.race;
  if (race.PlayerCar != nullptr) race.PlayerCar->Follow(race.Car);
  FollowObjects(game);
  FollowExplosions(game);
  if (race.BonusFlame != nullptr) race.BonusFlame->Visible = race.FlameVisible;
  if (race.GunActive || race.TurboActive) PlaceBonusSprites(game);
  MoveProgressMarker(game);
}

void WriteBanner(Game& game, const RaceEvent& event) {
  std::string text = event.Name;
  if (event.Value > 0) text += std::to_string(event.Value);
  // "PAUSE" and "LEVEL n" stand at one x, the prompt and "LEVEL COMPLETED" at the other.
  const std::string_view name = event.Name;
  const bool shortText = name == "PAUSE" || name == "LEVEL ";
  game.text.SelectBigFont();
  WriteText(game, text, shortText ? kShortTextX : kLongTextX, kBannerTextY);
}

class EventPlayer {
 public:
  explicit EventPlayer(Game& game) : game_(game), race_(game.race) {}

  // Returns false when the game ended: the race's sprites are gone then.
  bool Play(const RaceEvent& event) {
    using enum RaceEventKind;
    switch (event.Kind) {
      case PlaySound:
        rivoltra::PlaySound(game_, event.Name);
        break;
      case StopSound:
        rivoltra::StopSound(game_, event.Name);
        break;
      case PlayMusic:
        PlayScreenMusic(game_);
        break;
      case StopMusic:
        rivoltra::StopMusic(game_);
        break;
      case Moved:
        race_.ScrollSpeed = event.Amount;
        game_.Sprites.MoveSprites(event.Value);
        break;
      case FrameDrawn:
        StepNeedle(game_);
        break;
      case ObjectSpawned:
        ShowSpawnedObject(game_, event.Slot);
        break;
      case ObjectRemoved:
        FreeObjectSprite(game_, event.Slot);
        break;
      case BannerShown:
        ShowBanner(game_, event.Name);
        break;
      case BannerHidden:
        FreeSprite(race_.Banner);
        break;
      case BonusTaken:
        ShowBonusSprites(game_, KindFromNumber(event.Value));
        break;
      case BonusEnded:
        FreeBonusSprites(game_);
        break;
      case TextBanner:
        ShowFrame(&event);
        break;
      case FrameShown:
        ShowFrame(nullptr);
        break;
      case GameEnded:
        FinishGame(game_);
        return false;
      default:
        break;
    }
    return true;
  }

 private:
  void ShowFrame(const RaceEvent* text) {
    FollowState(game_);
    DrawFrame(game_, 0, false);
    DrawHud(game_);
    if (text != nullptr) WriteBanner(game_, *text);
    FlipFrame(game_);
  }

  Game& game_;
  RaceRecord& race_;
};

}  // namespace

void ShowRaceEvents(Game& game, const RaceEvents& events) {
  EventPlayer player(game);
  for (const RaceEvent& event : events.List) {
    if (!player.Play(event)) return;
  }
  FollowState(game);
}

void RunRaceFrame(Game& game, const RaceTickInput& input) {
  RaceRecord& race = game.race;
  if (race.PlayerCar == nullptr) return;
  race.TickActions = input.Actions;
  race.Random = game.Random;
  const RaceEvents events = RaceTick(race, input, race.Data);
  game.Random = race.Random;
  ShowRaceEvents(game, events);
}

}  // namespace rivoltra
