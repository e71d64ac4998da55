#include "race/core/race_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_race_data.h"

namespace rivoltra {
namespace {

using testing::SmallRaceData;

// A recorded race stores the fingerprint: one changed value anywhere must give another.
TEST(RaceDataFingerprint, EveryValueOfTheDataChangesIt) {
  struct Change {
    std::string Name;
    std::function<void(RaceData&)> Apply;
  };
  const std::vector<Change> changes = {
      {"interval", [](RaceData& d) { d.IntervalMs = 20; }},
      {"car 1 width", [](RaceData& d) { d.Cars[1].Width += 1; }},
      {"car 10 height", [](RaceData& d) { d.Cars[10].Height += 1; }},
      {"kind 1 frames", [](RaceData& d) { d.Kinds[1].FrameCount += 1; }},
      {"finish line width", [](RaceData& d) { d.Kinds[35].Width += 1; }},
      {"small explosion frames", [](RaceData& d) { d.ExplosionSmall.FrameCount += 1; }},
      {"big explosion height", [](RaceData& d) { d.ExplosionBig.Height += 1; }},
      {"width and height swapped",
       [](RaceData& d) { std::swap(d.Kinds[1].Width, d.Kinds[1].Height); }},
  };
  const RaceData base = SmallRaceData();
  const std::uint32_t baseFingerprint = RaceDataFingerprint(base);
  EXPECT_EQ(RaceDataFingerprint(SmallRaceData()), baseFingerprint);
  for (const Change& change : changes) {
    RaceData changed = base;
    change.Apply(changed);
    EXPECT_NE(RaceDataFingerprint(changed), baseFingerprint) << change.Name;
  }
}

// The serialisation is part of recorded races: this value may only change together with the
// replay format's version.
TEST(RaceDataFingerprint, TheLayoutOfTheBytesStaysPut) {
  EXPECT_EQ(RaceDataFingerprint(SmallRaceData()), 3529650238u);
}

}  // namespace
}  // namespace rivoltra
