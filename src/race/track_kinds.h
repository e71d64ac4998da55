#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace rivoltra {

// Where a kind stands across the road.
enum class KindPlacement : std::uint8_t {
  Lane,       // centred in its lane
  LeftSide,   // at x 140, left of the road
  RightSide,  // at x 630, right of the road
  FinishLine  // across the road from the first tarmac lane
};

struct TrackKind {
  std::string_view Image;
  bool Shootable;
  KindPlacement Placement;
};

// Kinds 1..35; index 0 is unused.
const TrackKind& KindInfo(std::int32_t kind);

inline constexpr bool IsTrafficKind(std::int32_t kind) { return kind >= 23 && kind <= 34; }
// Traffic driving the player's way (the other traffic comes towards the car).
inline constexpr bool IsSameDirectionKind(std::int32_t kind) { return kind >= 23 && kind <= 28; }
inline constexpr bool IsWallKind(std::int32_t kind) { return kind == 1 || kind == 2; }
// Signs and side walls: while one is on the road nothing else is placed.
inline constexpr bool IsRoadsideKind(std::int32_t kind) { return kind >= 17 && kind <= 22; }

// Every third level is a traffic level.
inline constexpr bool IsTrafficLevel(std::int32_t level) { return level % 3 == 0; }
// The kinds a level draws by chance: 1..22 on road levels, 10..34 on traffic levels.
inline constexpr std::int32_t FirstSpawnKind(std::int32_t level) {
  return IsTrafficLevel(level) ? 10 : 1;
}
inline constexpr std::int32_t LastSpawnKind(std::int32_t level) {
  return IsTrafficLevel(level) ? 34 : 22;
}

// The chance weights of kinds 1..34 for a level (index 0 and 35 hold 0): the set of the level's
// type, each base weight times its growth to the power level div 3.
std::array<double, 35> SpawnChancesForLevel(std::int32_t level);

}  // namespace rivoltra
