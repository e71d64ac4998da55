#include "engine/frame_timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace rivoltra {
namespace {

struct TimerProbe {
  FrameTimer Timer;
  std::vector<std::int32_t> Lags;

  explicit TimerProbe(std::int64_t interval, std::uint32_t start = 0) {
    Timer.SetInterval(interval);
    Timer.OnTimer = [this](std::int32_t lag) { Lags.push_back(lag); };
    Timer.SetEnabled(true, start, true);
  }
};

TEST(FrameTimer, LagCountIsWholeIntervalsElapsedAndAtLeastOne) {
  struct Case {
    std::uint32_t Elapsed;
    bool Ticks;
    std::int32_t Lag;
  };
  const Case cases[] = {{29, false, 0}, {30, true, 1}, {59, true, 1},    {60, true, 2},
                        {95, true, 3},  {89, true, 2}, {3000, true, 100}};
  for (const Case& c : cases) {
    TimerProbe probe(30);
    EXPECT_EQ(probe.Timer.Idle(c.Elapsed), c.Ticks) << c.Elapsed;
    if (c.Ticks) {
      ASSERT_EQ(probe.Lags.size(), 1u);
      EXPECT_EQ(probe.Lags[0], c.Lag) << c.Elapsed;
    }
  }
}

TEST(FrameTimer, ElapsedTimeSurvivesClockWrapAround) {
  TimerProbe probe(30, 0xFFFFFFF0u);
  EXPECT_TRUE(probe.Timer.Idle(0x00000020u));  // 48 ms later, across the wrap
  EXPECT_EQ(probe.Lags, std::vector<std::int32_t>{1});
}

TEST(FrameTimer, IntervalZeroTicksEveryPassWithElapsedMilliseconds) {
  TimerProbe probe(0);
  EXPECT_TRUE(probe.Timer.Idle(0));
  EXPECT_TRUE(probe.Timer.Idle(7));
  EXPECT_EQ(probe.Lags, (std::vector<std::int32_t>{1, 7}));
}

TEST(FrameTimer, DeactivationStopsTicksAndReactivationResumesWithLagOne) {
  TimerProbe probe(30);
  probe.Timer.ApplicationDeactivated();
  EXPECT_FALSE(probe.Timer.Idle(500));
  probe.Timer.ApplicationActivated(1000);
  EXPECT_FALSE(probe.Timer.Idle(1020));
  EXPECT_TRUE(probe.Timer.Idle(1031));
  EXPECT_EQ(probe.Lags, std::vector<std::int32_t>{1});
}

TEST(FrameTimer, DisabledTimerNeverTicksAndEnablingResetsTheTimes) {
  TimerProbe probe(30);
  probe.Timer.SetEnabled(false, 10, true);
  EXPECT_FALSE(probe.Timer.Idle(100));
  probe.Timer.SetEnabled(true, 200, true);
  EXPECT_FALSE(probe.Timer.Idle(229));
  EXPECT_TRUE(probe.Timer.Idle(230));
  EXPECT_EQ(probe.Lags, std::vector<std::int32_t>{1});
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
