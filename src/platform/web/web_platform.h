#pragma once

#include <cstdint>
#include <string>

#include "platform/sdl/sdl_platform.h"

namespace rivoltra {

// The desktop's SDL platform in a browser page, with what a page does differently:
// - the clock is the frontend's paced game clock (see web_main_loop.cpp), so every reading
//   the game takes during a frame agrees with the deadline the frame's tick ran at;
// - a hidden tab counts as an inactive window;
// - full screen is the browser's Fullscreen API on the page's game area, which scales the
//   canvas with its aspect kept; the canvas itself stays 800 x 600;
// - score requests go through the browser's fetch, and the race ticket's request is a fetch
//   the game polls.
class WebPlatform final : public SdlPlatform {
 public:
  WebPlatform();

  std::uint32_t Milliseconds() override { return clock_; }
  bool IsApplicationActive() override;
  bool Open(bool fullScreen, int width, int height, std::string& reason) override;
  std::unique_ptr<PendingHttpGet> StartHttpGet(const std::string& address,
                                               const HttpLimits& limits) override;

  // The browser's millisecond clock, which the game clock follows.
  std::uint32_t RealMilliseconds() { return SdlPlatform::Milliseconds(); }
  void SetClock(std::uint32_t milliseconds) { clock_ = milliseconds; }

 private:
  std::uint32_t clock_ = 0;
};

}  // namespace rivoltra
