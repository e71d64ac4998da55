#include "app/race_scene/race_sprites.h"

#include "app/game.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {
constexpr int kBannerZ = 6;
}  // namespace

TImageItem& RaceImage(Game& game, std::string_view imageName) {
  return game.MImageList3.ItemByName(imageName);
}

TCaptionSprite* NewRaceCaption(Game& game, std::string_view imageName) {
  return new TCaptionSprite(&game.MSpriteEngine.Engine(), RaceImage(game, imageName),
                            game.MTimer.Interval());
}

void ShowBanner(Game& game, std::string_view imageName) {
  TCaptionSprite*& banner = game.raceScene.Banner;
  FreeSprite(banner);
  banner = NewRaceCaption(game, imageName);
  banner->X = layout::kBannerX;
  banner->Y = layout::kBannerY;
  banner->SetZ(kBannerZ);
}

std::int32_t RaceInterval(const Game& game) {
  return static_cast<std::int32_t>(game.MTimer.Interval());
}

double FramesPerLag(const Game& game, double framesPerSecond) {
  return game.MTimer.Interval() / 1000.0 * framesPerSecond;
}

}  // namespace rivoltra
