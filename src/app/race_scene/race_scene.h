#pragma once

#include <array>
#include <cstdint>

#include "race/core/action_states.h"
#include "race/core/race_state.h"

namespace rivoltra {

class CaptionSprite;
class RaceEffectSprite;
class PlayerCarSprite;
class TrackObjectSprite;

// What shows the game's race: the sprites, the needle's shake and the scroll speed. The race set-up
// fills it and the race end frees every sprite it names. The sprites follow the race session's
// state after every tick; nothing the rules read comes from here.
struct RaceScene {
  // The speed the race background scrolls by: the race's speed as the last move began.
  double ScrollSpeed = 0;
  // Speedometer shake: ms until the next step, and the offset -1, 0 or 1.
  std::int32_t NeedleTimer = -1;
  std::int32_t NeedleJitter = 0;
  // The actions of the tick being run, as the race read them.
  ActionStates TickActions;
  // The sprites of the track objects by slot 1..30 (index 0 unused); a used slot always holds
  // its sprite.
  std::array<TrackObjectSprite*, kSlotCount + 1> Slots{};
  // The race's sprites; null while no race runs.
  PlayerCarSprite* PlayerCar = nullptr;
  CaptionSprite* BonusIcon = nullptr;
  CaptionSprite* BonusFlame = nullptr;
  RaceEffectSprite* ShotSpark = nullptr;
  RaceEffectSprite* CrashExplosion = nullptr;
  CaptionSprite* ProgressMarker = nullptr;
  CaptionSprite* SpeedNeedle = nullptr;
  CaptionSprite* GunIndicator = nullptr;
  CaptionSprite* TurboIndicator = nullptr;
  CaptionSprite* NoBonusIndicator = nullptr;
  CaptionSprite* PunctureIndicator = nullptr;
  CaptionSprite* Banner = nullptr;
  CaptionSprite* LeftPanel = nullptr;
  CaptionSprite* RightPanel = nullptr;

  // A race is on the screen: from its set-up to its end.
  bool Live() const { return PlayerCar != nullptr; }
};

}  // namespace rivoltra
