#include "app/race_scene/explosion.h"

#include "app/game.h"
#include "app/race_scene/race_sprites.h"

namespace rivoltra {

RaceEffectSprite::RaceEffectSprite(Sprite* parent, Game& game, double x, double y,
                                   std::string_view imageName)
    : ImageSprite(parent) {
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

void FollowExplosions(Game& game) {
  const RaceScene& scene = game.RaceScene;
  const RaceState& race = game.Race.State;
  if (RaceEffectSprite* explosion = scene.CrashExplosion; explosion != nullptr) {
    const CrashExplosionState& state = race.CarExplosion;
    explosion->Visible = state.Visible;
    explosion->X = state.X;
    explosion->Y = state.Y;
    explosion->FrameCount = state.Frames.FrameCount;
    explosion->FramePos = state.Frames.Pos;
    explosion->FrameSpeed = state.Frames.Speed;
  }
  if (RaceEffectSprite* spark = scene.ShotSpark; spark != nullptr) {
    spark->Visible = race.SparkVisible;
    spark->X = race.SparkX;
    spark->Y = race.SparkY;
  }
}

}  // namespace rivoltra
