#include "app/race_scene/track_object.h"

#include "app/game.h"
#include "app/race_scene/race_sprites.h"

namespace rivoltra {

namespace {

std::string_view PictureName(const TrackObject& object) {
  switch (object.Picture) {
    case ObjectPicture::ExplosionSmall:
      return "ExplosionSmall";
    case ObjectPicture::ExplosionBig:
      return "ExplosionBig";
    case ObjectPicture::Own:
      break;
  }
  return KindInfo(object.Kind).Image;
}

}  // namespace

TrackObjectSprite::TrackObjectSprite(Sprite* parent, Game& game, std::int32_t slot)
    : ImageSprite(parent),
      game_(game),
      slot_(slot),
      object_(game.Race.State.Objects.at(static_cast<std::size_t>(slot))) {
  SetZ(object_.IsTraffic ? 3 : 2);
  Follow();
}

TrackObjectSprite::~TrackObjectSprite() {
  RaceScene& scene = game_.RaceScene;
  if (slot_ < 1 || slot_ > kSlotCount) return;
  const auto index = static_cast<std::size_t>(slot_);
  if (scene.Slots[index] == this) scene.Slots[index] = nullptr;
}

void TrackObjectSprite::Follow() {
  Image = &RaceImage(game_, PictureName(object_));
  X = object_.X;
  Y = object_.Y;
  Width = object_.Width;
  Height = object_.Height;
  FrameCount = object_.Frames.FrameCount;
  FrameLooped = object_.Frames.Looped;
  FramePos = object_.Frames.Pos;
  FrameSpeed = object_.Frames.Speed;
  Visible = object_.Visible;
  CanCollide = object_.CanCollide;
}

}  // namespace rivoltra
