#pragma once

#include <cstdint>
#include <vector>

namespace rivoltra {

// The effects the rules ask for; the scene plays each as its sound.
enum class SoundId : std::uint8_t {
  None,
  EngineStart,
  Engine,
  EngineAccel,
  Shot,
  WallExplosion,
  CarExplosion,
  BonusGet,
  BonusLost,
  ScoreGet,
  Spike,
  Water,
  Stone,
  Rabbit,
  Tick,
  LevelFinish,
  GameOver,
};

// The banners: words written over one frame, and pictures standing over the road.
enum class BannerId : std::uint8_t {
  None,
  // Written over a frame.
  Pause,
  FinishPrompt,
  LevelStart,  // with the level's number
  LevelCompleted,
  // Standing over the road until the rules take them away.
  TimeOver,
  GameOver,
};

// What happened in one race tick, in the order it happened, for the view to show and play.
enum class RaceEventKind : std::uint8_t {
  PlaySound,     // Sound
  StopSound,     // Sound
  PlayMusic,     // the race's song goes on again
  StopMusic,     // the music stops (pause, finish prompt)
  TextBanner,    // Banner: words written over this tick's frame; Value: the level, if any
  BannerShown,   // Banner: the picture standing over the road
  BannerHidden,  // the standing banner goes
  Paused,
  Unpaused,
  FinishPromptShown,
  FinishPromptClosed,
  LevelStarted,    // Value: the level
  ObjectSpawned,   // Slot
  ObjectHit,       // Slot: the car touched it
  ObjectShot,      // Slot: a gun hit; the spark stands on it
  ObjectExploded,  // Slot: its explosion starts (crash or gun)
  ObjectRemoved,   // Slot
  Crash,           // a life is lost to a crash; the crash explosion starts
  Respawn,
  BonusTaken,  // Value: the kind number of the pick-up (gun or turbo)
  BonusEnded,
  LevelDone,
  TimeOver,
  GameOver,
  GameEnded,  // Value: a GameEndReason
  // Where the game composes and shows its frame: the view steps its frame-bound effects on every
  // FrameDrawn and shows the frame on FrameShown (and after a TextBanner).
  FrameDrawn,
  FrameShown,
  // The road and everything on it moved: Value the lag, Amount the race's speed as the move began.
  Moved,
};

enum class GameEndReason : std::int32_t { GameOver = 1, FinishPromptYes = 2 };

struct RaceEvent {
  RaceEventKind Kind = RaceEventKind::PlaySound;
  SoundId Sound = SoundId::None;
  BannerId Banner = BannerId::None;
  std::int32_t Slot = 0;
  std::int32_t Value = 0;
  double Amount = 0;
};

struct RaceEvents {
  std::vector<RaceEvent> List;

  void Add(RaceEventKind kind, std::int32_t slot = 0, std::int32_t value = 0) {
    List.push_back({kind, SoundId::None, BannerId::None, slot, value});
  }
  void AddSound(RaceEventKind kind, SoundId sound) { List.push_back({kind, sound}); }
  void AddBanner(RaceEventKind kind, BannerId banner, std::int32_t value = 0) {
    List.push_back({kind, SoundId::None, banner, 0, value});
  }
  bool Has(RaceEventKind kind) const {
    for (const RaceEvent& event : List) {
      if (event.Kind == kind) return true;
    }
    return false;
  }
};

}  // namespace rivoltra
