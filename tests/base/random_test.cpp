#include "base/random.h"

#include <gtest/gtest.h>

#include <vector>

namespace rivoltra {
namespace {

TEST(RandomGenerator, FollowsTheLinearCongruentialSequence) {
  RandomGenerator random;
  random.Seed(1);
  // state 1 -> 134775814 -> 134775814 * 134775813 + 1 (mod 2^32) -> ...
  std::vector<std::uint32_t> states;
  for (int i = 0; i < 3; ++i) {
    random.Next(10);
    states.push_back(random.State());
  }
  EXPECT_EQ(states, (std::vector<std::uint32_t>{134775814u, 3698175007u, 870078620u}));
}

TEST(RandomGenerator, ResultIsHighWordOfNTimesState) {
  RandomGenerator random;
  random.Seed(0);
  // After one step the state is 1, so n * 1 >> 32 is 0 for any 32-bit n.
  EXPECT_EQ(random.Next(100), 0u);
  // The next state is 134775814: 100 * 134775814 >> 32 = 3.
  EXPECT_EQ(random.Next(100), 3u);
  random.Seed(0xFFFFFFFFu);
  // State becomes 0xFFFFFFFF * 134775813 + 1 = 4160191484 (mod 2^32); 3 * that >> 32 = 2.
  EXPECT_EQ(random.Next(3), 2u);
}

TEST(RandomGenerator, StaysInRangeAndUsesTheWholeRange) {
  RandomGenerator random;
  random.Seed(12345);
  std::vector<int> seen(7, 0);
  for (int i = 0; i < 7000; ++i) {
    const std::uint32_t value = random.Next(7);
    ASSERT_LT(value, 7u);
    ++seen[value];
  }
  for (int count : seen) EXPECT_GT(count, 800);
}

TEST(RandomGenerator, SeedPrefersThePerformanceCounter) {
  EXPECT_EQ(StartupSeed(0x1234567890ABCDEFull, 77), 0x90ABCDEFu);
  EXPECT_EQ(StartupSeed(0, 77), 77u);
}

}  // namespace
}  // namespace rivoltra
