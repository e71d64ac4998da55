#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rivoltra {

// The growths of the chance table's weights per three levels.
enum class SpawnGrowth : std::uint8_t {
  Times1Point9,
  Times1Point8,
  Times1Point1,
  Times1,
  Times0Point1,
  Times0
};
inline constexpr std::size_t kSpawnGrowthCount = 6;
inline constexpr std::array<double, kSpawnGrowthCount> kSpawnGrowthValues = {1.9, 1.8, 1.1,
                                                                             1.0, 0.1, 0.0};

// Powers 0..99 cover levels 1..299, far beyond a game's reach; higher levels keep the last power.
inline constexpr std::int32_t kGrowthPowerCount = 100;

extern const std::array<std::array<double, kGrowthPowerCount>, kSpawnGrowthCount> kGrowthPowers;

inline double GrowthPower(SpawnGrowth growth, std::int32_t power) {
  const std::int32_t row = power < kGrowthPowerCount ? power : kGrowthPowerCount - 1;
  return kGrowthPowers[static_cast<std::size_t>(growth)][static_cast<std::size_t>(row)];
}

}  // namespace rivoltra
