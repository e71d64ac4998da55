#pragma once

#include <array>
#include <cstdint>

#include "race/core/action_states.h"
#include "race/core/race_data.h"
#include "race/core/race_state.h"

namespace rivoltra {

class CaptionSprite;
class RaceEffectSprite;
class PlayerCarSprite;
class TrackObjectSprite;

// One race of the game object: the rules' values and the sprites that show them. The race set-up
// fills it and the race end frees every sprite it names. The sprites follow the rules' values
// after every tick; nothing the rules read comes from them.
struct RaceRecord : RaceState {
  // The race pictures' sizes and the frame interval, taken at the race's start.
  RaceData Data;
  // The speed the race background scrolls by: the race's speed as the last move began.
  double ScrollSpeed = 0;
  // Speedometer shake: ms until the next step, and the offset -1, 0 or 1.
  std::int32_t NeedleTimer = -1;
  std::int32_t NeedleJitter = 0;
  // The actions of the tick being run, read by the race tick and the car alike.
  ActionStates TickActions;
  // The sprites of the track objects by slot 1..30 (index 0 unused); a used slot always holds
  // its sprite.
  std::array<TrackObjectSprite*, kSlotCount + 1> Slots{};
  std::array<bool, kSlotCount + 1> SlotUsed{};
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
};

}  // namespace rivoltra
