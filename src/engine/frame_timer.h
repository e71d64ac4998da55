#pragma once

#include <cstdint>
#include <functional>

namespace rivoltra {

// The frame timer: hooked into the message loop's idle time, it hands the frame tick the
// number of whole intervals that passed since the previous tick (LagCount, at least 1).
// It never reads a clock itself; the loop passes the millisecond clock in, so a fake clock
// drives it exactly like the real one.
class FrameTimer {
 public:
  using TimerEvent = std::function<void(std::int32_t lagCount)>;

  TimerEvent OnTimer;
  bool ActiveOnly = true;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value, std::uint32_t now, bool applicationActive);

  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::int64_t milliseconds);

  // Application activation: with ActiveOnly the timer unhooks while another application is
  // in front, and resumes with fresh times (so the first tick after has LagCount 1).
  void ApplicationActivated(std::uint32_t now);
  void ApplicationDeactivated();

  // One pass of the idle loop: ticks when a whole interval has elapsed. Returns true if the
  // tick ran.
  bool Idle(std::uint32_t now);

  // Whether the idle hook is in place (enabled, and active or not ActiveOnly).
  bool Hooked() const { return hooked_; }
  // Milliseconds until the next tick is due, 0 when due now; meaningful only while hooked.
  std::uint32_t MillisecondsUntilDue(std::uint32_t now) const;
  // Frames per second over the last whole second; kept for diagnostics only.
  std::uint32_t FrameRate() const { return frameRate_; }

 private:
  void Hook(std::uint32_t now);

  bool enabled_ = false;
  bool running_ = false;
  bool hooked_ = false;
  bool applicationActive_ = true;
  std::uint32_t interval_ = 1000;
  std::uint32_t divisor_ = 1000;
  std::uint32_t lastTick_ = 0;
  std::uint32_t lastRateUpdate_ = 0;
  std::uint32_t frames_ = 0;
  std::uint32_t frameRate_ = 0;
};

}  // namespace rivoltra
