// The chance table: the growth powers it is built from and the chances of each level.
#include "race/core/spawn_growth_table.h"

#include <gtest/gtest.h>

#include "race/core/track_kinds.h"

namespace rivoltra {
namespace {

// The table exists so that no machine's pow decides a recorded race. Its entries are the powers
// of the doubles nearest 1.9, 1.8, 1.1 and 0.1, rounded once to the nearest double; the pinned
// values were worked out in exact rational arithmetic, not with any pow.
TEST(SpawnGrowthTable, HoldsTheExactlyRoundedPowersOfTheGrowths) {
  const struct {
    SpawnGrowth Growth;
    std::int32_t Power;
    double Value;
  } cases[] = {
      {SpawnGrowth::Times1Point9, 3, 0x1.b6f9db22d0e55p+2},
      {SpawnGrowth::Times1Point9, 50, 0x1.3b2aa7867aed6p+46},
      {SpawnGrowth::Times1Point9, 99, 0x1.986de4656a63dp+91},
      {SpawnGrowth::Times1Point8, 2, 0x1.9eb851eb851ecp+1},
      {SpawnGrowth::Times1Point8, 33, 0x1.fa51395aaa55p+27},
      {SpawnGrowth::Times1Point8, 99, 0x1.ef23eecec32bcp+83},
      {SpawnGrowth::Times1Point1, 10, 0x1.4bffc0c03023ep+1},
      {SpawnGrowth::Times1Point1, 99, 0x1.877ea29c61ee4p+13},
      {SpawnGrowth::Times0Point1, 2, 0x1.47ae147ae147cp-7},
      {SpawnGrowth::Times0Point1, 99, 0x1.17f7d4ed8c359p-329},
      {SpawnGrowth::Times1, 57, 1.0},
      {SpawnGrowth::Times0, 0, 1.0},
      {SpawnGrowth::Times0, 1, 0.0},
      {SpawnGrowth::Times0, 99, 0.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GrowthPower(c.Growth, c.Power), c.Value)
        << "growth " << static_cast<int>(c.Growth) << " power " << c.Power;
  }
  for (std::size_t growth = 0; growth < kSpawnGrowthCount; ++growth) {
    const auto row = static_cast<SpawnGrowth>(growth);
    EXPECT_EQ(GrowthPower(row, 0), 1.0) << growth;
    EXPECT_EQ(GrowthPower(row, 1), kSpawnGrowthValues[growth]) << growth;
    EXPECT_EQ(GrowthPower(row, kGrowthPowerCount + 50), GrowthPower(row, kGrowthPowerCount - 1))
        << "past the table the last power stays";
  }
}

// Road levels draw the road set, every third level the traffic set; the weights grow by their
// growth once every three levels.
TEST(SpawnChances, EachSetGrowsWithTheLevelDividedByThree) {
  const struct {
    std::int32_t Level;
    std::int32_t Kind;
    double Chance;
  } cases[] = {
      {1, 1, 0.4},               // walls, road set, power 0
      {1, 16, 0.07},             // the extra life
      {4, 1, 0.4 * 1.9},         // road set, power 1
      {4, 16, 0.07},             // the extra life never grows on the road
      {3, 23, 0.1 * 1.8},        // traffic set, power 1
      {3, 1, 0},                 // no walls on traffic levels
      {6, 23, 0.1 * 1.8 * 1.8},  // traffic set, power 2
      {6, 22, 0.2 * 0.1 * 0.1},  // right side walls die out
      {6, 15, 0.08 * 1.1 * 1.1},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(SpawnChancesForLevel(c.Level)[static_cast<std::size_t>(c.Kind)], c.Chance)
        << "level " << c.Level << " kind " << c.Kind;
  }
  EXPECT_EQ(SpawnChancesForLevel(4)[1], 0.4 * 1.9) << "a plain product of base and power";
  EXPECT_EQ(SpawnChancesForLevel(kGrowthPowerCount * 3 + 1), SpawnChancesForLevel(298));
  EXPECT_EQ(FirstSpawnKind(1), ObjectKind::Wall05);
  EXPECT_EQ(LastSpawnKind(1), ObjectKind::WallRight);
  EXPECT_EQ(FirstSpawnKind(3), ObjectKind::Bonus10);
  EXPECT_EQ(LastSpawnKind(3), ObjectKind::Car10Inv);
}

}  // namespace
}  // namespace rivoltra
