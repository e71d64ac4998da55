#pragma once

#include <cstdint>
#include <vector>

namespace rivoltra {

// What happened in one race tick, in the order it happened, for the view to show and play.
enum class RaceEventKind : std::uint8_t {
  PlaySound,     // Name: the sound
  StopSound,     // Name: the sound
  PlayMusic,     // the race music goes on again
  StopMusic,     // the music stops (pause, finish prompt)
  TextBanner,    // Name: a text written over this tick's frame ("PAUSE", "LEVEL 2", ...)
  BannerShown,   // Name: the picture of the banner standing over the road
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
  // A sound, banner picture or text; a string literal, or the level text kept in the events.
  const char* Name = nullptr;
  std::int32_t Slot = 0;
  std::int32_t Value = 0;
  double Amount = 0;
};

struct RaceEvents {
  std::vector<RaceEvent> List;

  void Add(RaceEventKind kind, const char* name = nullptr, std::int32_t slot = 0,
           std::int32_t value = 0) {
    List.push_back({kind, name, slot, value});
  }
  bool Has(RaceEventKind kind) const {
    for (const RaceEvent& event : List) {
      if (event.Kind == kind) return true;
    }
    return false;
  }
};

}  // namespace rivoltra
