#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_output.h"
#include "engine/display.h"
#include "engine/input_devices.h"
#include "persist/http_transport.h"

namespace rivoltra {

// Everything the game asks of the machine it runs on. The SDL backend serves a real window; the
// null backend (scripted runner and tests) serves a fake clock and records what was asked.
class Platform {
 public:
  virtual ~Platform() = default;

  // The millisecond clock of the frame timer; wraps around after 2^32 ms.
  virtual std::uint32_t Milliseconds() = 0;
  // The high-resolution counter that seeds the random generator; 0 when there is none.
  virtual std::uint64_t PerformanceCounter() = 0;

  virtual DisplayPresenter& Presenter() = 0;
  // Window placement around full-screen switches; Store returns whether one was taken.
  virtual bool StoreWindowPlacement() = 0;
  virtual void RestoreWindowPlacement() = 0;
  // Whether the game window is the one in front (input and the timer stop otherwise).
  virtual bool IsApplicationActive() = 0;
  // The system pointer's show counter: +1 shows, -1 hides; visible while the counter >= 0.
  virtual void ChangeMouseCursorCounter(int delta) = 0;

  // The input devices' readings: the keyboard as a virtual-key table, the first joystick or
  // game controller, the mouse's relative motion.
  virtual KeyboardSource& Keyboard() = 0;
  virtual JoystickSource& Joystick() = 0;
  virtual MouseSource& Mouse() = 0;

  // The sound output; without a usable device it stays uninitialised and the game is silent.
  virtual AudioOutput& Audio() = 0;

  // A modal message box with the application's title.
  virtual void ShowMessage(const std::string& text) = 0;
  // Opens an address or a file with the desktop's default handler; false when that failed.
  virtual bool OpenWithShell(const std::string& target) = 0;

  // A fresh HTTP transport with the given time limits, for one exchange with the score server
  // (its cookies live as long as the transport).
  virtual std::unique_ptr<HttpTransport> OpenHttp(const HttpLimits& limits) = 0;
  // A GET that does not hold the frame loop: the game asks each tick whether it is done.
  virtual std::unique_ptr<PendingHttpGet> StartHttpGet(const std::string& address,
                                                       const HttpLimits& limits) = 0;

  // Seconds since 1970 (UTC) on the wall clock, for the daily run's date; nothing of a race
  // reads it.
  virtual std::int64_t WallClockSeconds() = 0;
};

}  // namespace rivoltra
