#include "engine/frame_timer.h"

#include <algorithm>

namespace rivoltra {

void FrameTimer::SetEnabled(bool value, std::uint32_t now, bool applicationActive) {
  if (value == enabled_) return;
  enabled_ = value;
  applicationActive_ = applicationActive;
  hooked_ = false;
  running_ = false;
  if (!value) return;
  if (!ActiveOnly || applicationActive_) Hook(now);
  running_ = true;
}

void FrameTimer::SetInterval(std::int64_t milliseconds) {
  const std::int64_t clamped = std::clamp<std::int64_t>(milliseconds, 0, UINT32_MAX);
  interval_ = static_cast<std::uint32_t>(clamped);
  divisor_ = std::max<std::uint32_t>(interval_, 1);
}

void FrameTimer::ApplicationActivated(std::uint32_t now) {
  applicationActive_ = true;
  if (running_ && ActiveOnly) Hook(now);
}

void FrameTimer::ApplicationDeactivated() {
  applicationActive_ = false;
  if (running_ && ActiveOnly) hooked_ = false;
}

void FrameTimer::Hook(std::uint32_t now) {
  hooked_ = true;
  lastTick_ = now;
  lastRateUpdate_ = now;
}

bool FrameTimer::Idle(std::uint32_t now) {
  if (!hooked_) return false;
  // Unsigned subtraction keeps the elapsed time right across the clock's wrap-around.
  const std::uint32_t elapsed = now - lastTick_;
  if (elapsed < interval_) return false;
  lastTick_ = now;
  const std::uint32_t lag = std::max<std::uint32_t>(elapsed / divisor_, 1);

  ++frames_;
  const std::uint32_t span = std::max<std::uint32_t>(now - lastRateUpdate_, 1);
  if (span >= 1000) {
    frameRate_ = (frames_ * 1000 + span / 2) / span;
    frames_ = 0;
    lastRateUpdate_ = now;
  }
  if (OnTimer) OnTimer(static_cast<std::int32_t>(std::min<std::uint32_t>(lag, INT32_MAX)));
  return true;
}

std::uint32_t FrameTimer::MillisecondsUntilDue(std::uint32_t now) const {
  const std::uint32_t elapsed = now - lastTick_;
  return elapsed >= interval_ ? 0 : interval_ - elapsed;
}

}  // namespace rivoltra
