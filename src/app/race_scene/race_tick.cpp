// The race's scene: the rules of the core run the tick on the race session; the events they return
// are played and shown in their order, the sprites follow the state, and the frame is composed
// and shown where the rules say the game shows one.
#include "race/core/race_tick.h"

#include <string>

#include "app/game.h"
#include "app/ghost_view.h"
#include "app/race_scene/car.h"
#include "app/race_scene/event_assets.h"
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
  CaptionSprite* marker = game.RaceScene.ProgressMarker;
  const RaceState& race = game.Race.State;
  if (marker == nullptr || !(marker->Y > kProgressTop)) return;
  marker->Y = kProgressBottom - race.Distance * kProgressTravel / LevelLength(race.Level);
}

// The sprites as the race state has them.
void FollowState(Game& game) {
  RaceScene& scene = game.RaceScene;
  const RaceState& race = game.Race.State;
  if (scene.PlayerCar != nullptr) scene.PlayerCar->Follow();
  FollowObjects(game);
  FollowExplosions(game);
  if (scene.BonusFlame != nullptr) scene.BonusFlame->Visible = race.FlameVisible;
  if (race.GunActive || race.TurboActive) PlaceBonusSprites(game);
  MoveProgressMarker(game);
}

void WriteBanner(Game& game, const RaceEvent& event) {
  const BannerText banner = BannerTextOf(event.Banner);
  std::string text(banner.Words);
  if (event.Value > 0) text += std::to_string(event.Value);
  game.Text.SelectBigFont();
  WriteText(game, text, banner.Short ? kShortTextX : kLongTextX, kBannerTextY);
}

class EventPlayer {
 public:
  explicit EventPlayer(Game& game) : game_(game), scene_(game.RaceScene) {}

  // Returns false when the game ended: the race's sprites are gone then.
  bool Play(const RaceEvent& event) {
    using enum RaceEventKind;
    switch (event.Kind) {
      case PlaySound:
        rivoltra::PlaySound(game_, SoundName(event.Sound));
        break;
      case StopSound:
        rivoltra::StopSound(game_, SoundName(event.Sound));
        break;
      case PlayMusic:
        PlayScreenMusic(game_);
        break;
      case StopMusic:
        rivoltra::StopMusic(game_);
        break;
      case Moved:
        scene_.ScrollSpeed = event.Amount;
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
        ShowBanner(game_, BannerPicture(event.Banner));
        break;
      case BannerHidden:
        FreeSprite(scene_.Banner);
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
    DrawGhost(game_);
    DrawHud(game_);
    if (text != nullptr) WriteBanner(game_, *text);
    FlipFrame(game_);
  }

  Game& game_;
  RaceScene& scene_;
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
  if (!game.RaceScene.Live()) return;
  game.RaceScene.TickActions = input.Actions;
  // First, so the frames the race's tick shows have the ghost where this tick puts it.
  StepGhost(game);
  ShowRaceEvents(game, game.Race.Tick(input));
}

}  // namespace rivoltra
