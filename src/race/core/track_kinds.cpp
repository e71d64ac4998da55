#include "race/core/track_kinds.h"

#include <stdexcept>
#include <string>

#include "race/core/spawn_growth_table.h"

namespace rivoltra {

namespace {

using enum KindPlacement;

constexpr std::array<TrackKind, 36> kKinds = {{
    {"", false, Lane},
    {"Wall05", true, Lane},
    {"Wall10", true, Lane},
    {"Spike10", false, Lane},
    {"Water10", false, Lane},
    {"Water05", false, Lane},
    {"Stone05", false, Lane},
    {"StoneSmall05", false, Lane},
    {"Crack", false, Lane},
    {"Rabbit", false, Lane},
    {"Bonus10", true, Lane},
    {"Bonus20", true, Lane},
    {"Bonus50", true, Lane},
    {"Bonus100", true, Lane},
    {"BonusGun", true, Lane},
    {"BonusTurbo", true, Lane},
    {"BonusLive", true, Lane},
    {"SignLeftBlue", false, LeftSide},
    {"SignLeftRed", false, LeftSide},
    {"SignRightBlue", false, RightSide},
    {"SignRightRed", false, RightSide},
    {"WallLeft", false, LeftSide},
    {"WallRight", false, RightSide},
    {"Car5", true, Lane},
    {"Car6", true, Lane},
    {"Car7", true, Lane},
    {"Car8", true, Lane},
    {"Car9", true, Lane},
    {"Car10", true, Lane},
    {"Car5_Inv", true, Lane},
    {"Car6_Inv", true, Lane},
    {"Car7_Inv", true, Lane},
    {"Car8_Inv", true, Lane},
    {"Car9_Inv", true, Lane},
    {"Car10_Inv", true, Lane},
    {"FinishLine", false, FinishLine},
}};

struct SpawnWeight {
  double Base;
  SpawnGrowth Growth;
};

struct KindWeights {
  SpawnWeight Road;
  SpawnWeight Traffic;
};

// Road levels draw only kinds 1..22 and traffic levels only 10..34, so the road set's traffic
// rows and the traffic set's hazard rows are never used; they are kept as the table has them.
KindWeights WeightsOf(std::int32_t kind) {
  using enum SpawnGrowth;
  if (kind <= 2) return {{0.4, Times1Point9}, {0, Times0}};
  if (kind == 3) return {{0.1, Times1Point8}, {0, Times0}};
  if (kind <= 5) return {{0.15, Times1Point8}, {0, Times0}};
  if (kind <= 8) return {{0.2, Times1Point8}, {0, Times0}};
  if (kind == 9) return {{0.15, Times1Point8}, {0, Times0}};
  if (kind == 10) return {{0.2, Times1Point8}, {0.05, Times1Point1}};
  if (kind == 11) return {{0.1, Times1Point8}, {0.05, Times1Point1}};
  if (kind == 12) return {{0.05, Times1Point8}, {0.03, Times1Point1}};
  if (kind == 13) return {{0.05, Times1Point8}, {0.02, Times1Point1}};
  if (kind == 14) return {{0.1, Times1Point8}, {0.05, Times1Point1}};
  if (kind == 15) return {{0.15, Times1Point8}, {0.08, Times1Point1}};
  if (kind == 16) return {{0.07, Times1}, {0.03, Times1Point1}};
  if (kind <= 21) return {{0.2, Times1Point8}, {0.2, Times1Point1}};
  if (kind == 22) return {{0.2, Times1Point8}, {0.2, Times0Point1}};
  return {{0.1, Times0}, {0.1, Times1Point8}};
}

}  // namespace

const TrackKind& KindInfo(ObjectKind kind) {
  const std::int32_t number = KindNumber(kind);
  if (number < 1 || number > 35) {
    throw std::out_of_range("track object kind " + std::to_string(number));
  }
  return kKinds[static_cast<std::size_t>(number)];
}

std::array<double, 35> SpawnChancesForLevel(std::int32_t level) {
  std::array<double, 35> chances{};
  const std::int32_t power = level / 3;
  for (std::int32_t kind = 1; kind <= 34; ++kind) {
    const KindWeights weights = WeightsOf(kind);
    const SpawnWeight& set = IsTrafficLevel(level) ? weights.Traffic : weights.Road;
    chances[static_cast<std::size_t>(kind)] = set.Base * GrowthPower(set.Growth, power);
  }
  return chances;
}

}  // namespace rivoltra
