#include "app/race_scene/event_assets.h"

namespace rivoltra {

std::string_view SoundName(SoundId sound) {
  switch (sound) {
    case SoundId::None:
      break;
    case SoundId::EngineStart:
      return "EngineStart";
    case SoundId::Engine:
      return "Engine";
    case SoundId::EngineAccel:
      return "EngineAccel";
    case SoundId::Shot:
      return "Shot";
    case SoundId::WallExplosion:
      return "WallExplosion";
    case SoundId::CarExplosion:
      return "CarExplosion";
    case SoundId::BonusGet:
      return "BonusGet";
    case SoundId::BonusLost:
      return "BonusLost";
    case SoundId::ScoreGet:
      return "ScoreGet";
    case SoundId::Spike:
      return "Spike";
    case SoundId::Water:
      return "Water";
    case SoundId::Stone:
      return "Stone";
    case SoundId::Rabbit:
      return "Rabbit";
    case SoundId::Tick:
      return "Tick";
    case SoundId::LevelFinish:
      return "LevelFinish";
    case SoundId::GameOver:
      return "GameOver";
  }
  return {};
}

std::string_view BannerPicture(BannerId banner) {
  switch (banner) {
    case BannerId::TimeOver:
      return "TimeIsOverNB";
    case BannerId::GameOver:
      return "GameOverNB";
    default:
      return {};
  }
}

BannerText BannerTextOf(BannerId banner) {
  switch (banner) {
    case BannerId::Pause:
      return {"PAUSE", true};
    case BannerId::LevelStart:
      return {"LEVEL ", true};
    case BannerId::FinishPrompt:
      return {"FINISH RACE? Y/N", false};
    case BannerId::LevelCompleted:
      return {"LEVEL COMPLETED", false};
    default:
      return {};
  }
}

}  // namespace rivoltra
