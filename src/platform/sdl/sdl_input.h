#pragma once

#include <SDL.h>

#include "engine/input_devices.h"

namespace rivoltra {

// The keyboard's current state as a virtual-key table.
class SdlKeyboard final : public KeyboardSource {
 public:
  void ReadKeys(std::array<std::uint8_t, 256>& keys) override;
};

// The first game controller, or else the first plain joystick. Devices plugged in during play
// are picked up on the next reading, so the player can connect one at any time.
class SdlJoystick final : public JoystickSource {
 public:
  ~SdlJoystick() override { Close(); }
  bool Open(int id) override;
  void Close() override;
  bool Read(RawJoystickState& state) override;

 private:
  bool Attach();
  bool Attached() const;

  int id_ = 0;
  SDL_GameController* controller_ = nullptr;
  SDL_Joystick* joystick_ = nullptr;
};

class SdlMouse final : public MouseSource {
 public:
  bool Open() override { return true; }
  void Close() override {}
  bool Read(MouseReading& reading) override;
};

}  // namespace rivoltra
