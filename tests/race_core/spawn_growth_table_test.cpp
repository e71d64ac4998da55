#include "race/core/spawn_growth_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "race/core/track_kinds.h"

namespace rivoltra {
namespace {

// The table replaced pow in the chance table: every entry must be the very bits pow gives here,
// or recorded races would draw other objects.
TEST(SpawnGrowthTable, EqualsThePowOfTheCLibraryBitForBit) {
  for (std::size_t growth = 0; growth < kSpawnGrowthCount; ++growth) {
    for (std::int32_t power = 0; power < kGrowthPowerCount; ++power) {
      const double expected = std::pow(kSpawnGrowthValues[growth], static_cast<double>(power));
      EXPECT_EQ(std::bit_cast<std::uint64_t>(GrowthPower(static_cast<SpawnGrowth>(growth), power)),
                std::bit_cast<std::uint64_t>(expected))
          << "growth " << kSpawnGrowthValues[growth] << " power " << power;
    }
  }
}

TEST(SpawnGrowthTable, ChancesGrowEveryThirdLevelAndStopGrowingPastTheTable) {
  const auto level1 = SpawnChancesForLevel(1);
  const auto level4 = SpawnChancesForLevel(4);
  // Walls grow by 1.9 per three levels, the extra life not at all.
  EXPECT_EQ(level4[1], 0.4 * std::pow(1.9, 1.0));
  EXPECT_EQ(level1[16], level4[16]);
  EXPECT_EQ(SpawnChancesForLevel(kGrowthPowerCount * 3 + 1), SpawnChancesForLevel(298));
}

}  // namespace
}  // namespace rivoltra
