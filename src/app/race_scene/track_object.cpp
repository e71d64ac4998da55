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

TrackObjectSprite::TrackObjectSprite(Sprite* parent, Game& game, const TrackObject& object)
    : ImageSprite(parent), game_(game) {
  SetZ(object.IsTraffic ? 3 : 2);
  Follow(object);
}

TrackObjectSprite::~TrackObjectSprite() {
  RaceRecord& race = game_.race;
  if (Slot < 1 || Slot > kSlotCount) return;
  const auto index = static_cast<std::size_t>(Slot);
  race.SlotUsed[index] = false;
  if (race.Slots[index] == this) race.Slots[index] = nullptr;
}

void TrackObjectSprite::Follow(const TrackObject& object) {
  Image = &RaceImage(game_, PictureName(object));
  X = object.X;
  Y = object.Y;
  Width = object.Width;
  Height = object.Height;
  FrameCount = object.Frames.FrameCount;
  FrameLooped = object.Frames.Looped;
  FramePos = object.Frames.Pos;
  FrameSpeed = object.Frames.Speed;
  Visible = object.Visible;
  CanCollide = object.CanCollide;
  Slot = object.Slot;
  Hits = object.Hits;
  Exploding = object.Exploding;
  RemoveNow = object.RemoveNow;
  Kind = object.Kind;
  NotShootable = object.NotShootable;
  Lane = object.Lane;
  IsTraffic = object.IsTraffic;
  SameDirection = object.SameDirection;
  OwnSpeed = object.OwnSpeed;
}

}  // namespace rivoltra
