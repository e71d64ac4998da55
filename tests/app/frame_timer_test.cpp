#include "engine/frame_timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace rivoltra {
namespace {

struct TimerProbe {
  FrameTimer timer;
  std::vector<std::int32_t> lags;

  explicit TimerProbe(std::int64_t interval, std::uint32_t start = 0) {
    timer.SetInterval(interval);
    timer.OnTimer = [this](std::int32_t lag) { lags.push_back(lag); };
    timer.SetEnabled(true, start, true);
  }
};

TEST(FrameTimer, LagCountIsWholeIntervalsElapsedAndAtLeastOne) {
  struct Case {
    std::uint32_t elapsed;
    bool ticks;
    std::int32_t lag;
  };
  const Case cases[] = {{29, false, 0}, {30, true, 1}, {59, true, 1},    {60, true, 2},
                        {95, true, 3},  {89, true, 2}, {3000, true, 100}};
  for (const Case& c : cases) {
    TimerProbe probe(30);
    EXPECT_EQ(probe.timer.Idle(c.elapsed), c.ticks) << c.elapsed;
    if (c.ticks) {
      ASSERT_EQ(probe.lags.size(), 1u);
      EXPECT_EQ(probe.lags[0], c.lag) << c.elapsed;
    }
  }
}

TEST(FrameTimer, ElapsedTimeSurvivesClockWrapAround) {
  TimerProbe probe(30, 0xFFFFFFF0u);
  EXPECT_TRUE(probe.timer.Idle(0x00000020u));  // 48 ms later, across the wrap
  EXPECT_EQ(probe.lags, std::vector<std::int32_t>{1});
}

TEST(FrameTimer, IntervalZeroTicksEveryPassWithElapsedMilliseconds) {
  TimerProbe probe(0);
  EXPECT_TRUE(probe.timer.Idle(0));
  EXPECT_TRUE(probe.timer.Idle(7));
  EXPECT_EQ(probe.lags, (std::vector<std::int32_t>{1, 7}));
}

TEST(FrameTimer, DeactivationStopsTicksAndReactivationResumesWithLagOne) {
  TimerProbe probe(30);
  probe.timer.ApplicationDeactivated();
  EXPECT_FALSE(probe.timer.Idle(500));
  probe.timer.ApplicationActivated(1000);
  EXPECT_FALSE(probe.timer.Idle(1020));
  EXPECT_TRUE(probe.timer.Idle(1031));
  EXPECT_EQ(probe.lags, std::vector<std::int32_t>{1});
}

TEST(FrameTimer, DisabledTimerNeverTicksAndEnablingResetsTheTimes) {
  TimerProbe probe(30);
  probe.timer.SetEnabled(false, 10, true);
  EXPECT_FALSE(probe.timer.Idle(100));
  probe.timer.SetEnabled(true, 200, true);
  EXPECT_FALSE(probe.timer.Idle(229));
  EXPECT_TRUE(probe.timer.Idle(230));
  EXPECT_EQ(probe.lags, std::vector<std::int32_t>{1});
}

TEST(FrameTimer, EnablingWhileInactiveWaitsForActivation) {
  FrameTimer timer;
  timer.SetInterval(30);
  timer.SetEnabled(true, 0, false);
  EXPECT_FALSE(timer.Hooked());
  timer.ApplicationActivated(100);
  EXPECT_TRUE(timer.Hooked());
}

}  // namespace
}  // namespace rivoltra
