#include "app/race_scene/race_sprites.h"

#include "app/game.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {
constexpr int kBannerZ = 6;
}  // namespace

ImageItem& RaceImage(Game& game, std::string_view imageName) {
  return game.RaceImages.ItemByName(imageName);
}

CaptionSprite* NewRaceCaption(Game& game, std::string_view imageName) {
  return new CaptionSprite(&game.Sprites.Engine(), RaceImage(game, imageName),
                           game.Timer.Interval());
}

void ShowBanner(Game& game, std::string_view imageName) {
  CaptionSprite*& banner = game.RaceScene.Banner;
  FreeSprite(banner);
  banner = NewRaceCaption(game, imageName);
  banner->X = layout::kBannerX;
  banner->Y = layout::kBannerY;
  banner->SetZ(kBannerZ);
}

std::int32_t RaceInterval(const Game& game) {
  return static_cast<std::int32_t>(game.Timer.Interval());
}

double SceneFramesPerLag(const Game& game, double framesPerSecond) {
  return game.Timer.Interval() / 1000.0 * framesPerSecond;
}

}  // namespace rivoltra
