#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace rivoltra {

// The things on the road, by the name of their picture. Numbered 1..35 in the order the kind
// and chance tables list them.
enum class ObjectKind : std::int32_t {
  Wall05 = 1,
  Wall10,
  Spike10,
  Water10,
  Water05,
  Stone05,
  StoneSmall05,
  Crack,
  Rabbit,
  Bonus10,
  Bonus20,
  Bonus50,
  Bonus100,
  BonusGun,
  BonusTurbo,
  BonusLive,
  SignLeftBlue,
  SignLeftRed,
  SignRightBlue,
  SignRightRed,
  WallLeft,
  WallRight,
  Car5,
  Car6,
  Car7,
  Car8,
  Car9,
  Car10,
  Car5Inv,
  Car6Inv,
  Car7Inv,
  Car8Inv,
  Car9Inv,
  Car10Inv,
  FinishLine,
};

inline constexpr std::int32_t KindNumber(ObjectKind kind) {
  return static_cast<std::int32_t>(kind);
}
inline constexpr ObjectKind KindFromNumber(std::int32_t number) {
  return static_cast<ObjectKind>(number);
}

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

// Throws std::out_of_range outside 1..35.
const TrackKind& KindInfo(ObjectKind kind);

inline constexpr bool IsTrafficKind(ObjectKind kind) {
  return kind >= ObjectKind::Car5 && kind <= ObjectKind::Car10Inv;
}
// Traffic driving the player's way (the other traffic comes towards the car).
inline constexpr bool IsSameDirectionKind(ObjectKind kind) {
  return kind >= ObjectKind::Car5 && kind <= ObjectKind::Car10;
}
inline constexpr bool IsWallKind(ObjectKind kind) {
  return kind == ObjectKind::Wall05 || kind == ObjectKind::Wall10;
}
// Signs and side walls: while one is on the road nothing else is placed.
inline constexpr bool IsRoadsideKind(ObjectKind kind) {
  return kind >= ObjectKind::SignLeftBlue && kind <= ObjectKind::WallRight;
}

// Every third level is a traffic level.
inline constexpr bool IsTrafficLevel(std::int32_t level) { return level % 3 == 0; }
// The kinds a level draws by chance: 1..22 on road levels, 10..34 on traffic levels.
inline constexpr ObjectKind FirstSpawnKind(std::int32_t level) {
  return IsTrafficLevel(level) ? ObjectKind::Bonus10 : ObjectKind::Wall05;
}
inline constexpr ObjectKind LastSpawnKind(std::int32_t level) {
  return IsTrafficLevel(level) ? ObjectKind::Car10Inv : ObjectKind::WallRight;
}

// The chance weights of kinds 1..34 for a level (index 0 and 35 hold 0): the set of the level's
// type, each base weight times its growth to the power level div 3.
std::array<double, 35> SpawnChancesForLevel(std::int32_t level);

}  // namespace rivoltra
