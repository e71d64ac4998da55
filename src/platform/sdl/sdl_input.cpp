#include "platform/sdl/sdl_input.h"

#include "platform/sdl/sdl_keys.h"

namespace rivoltra {

void SdlKeyboard::ReadKeys(std::array<std::uint8_t, 256>& keys) {
  keys.fill(0);
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  for (int scancode = 0; scancode < count; ++scancode) {
    if (state[scancode] == 0) continue;
    const int virtualKey = VirtualKeyOfScancode(static_cast<SDL_Scancode>(scancode));
    if (virtualKey > 0 && virtualKey < 256) keys[static_cast<std::size_t>(virtualKey)] = 0x80;
  }
}

bool SdlJoystick::Open(int id) {
  Close();
  id_ = id;
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 &&
      SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK) != 0) {
    return false;
  }
  Attach();
  // The subsystem is there even when no device is plugged in yet.
  return true;
}

void SdlJoystick::Close() {
  if (controller_ != nullptr) SDL_GameControllerClose(controller_);
  if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
  controller_ = nullptr;
  joystick_ = nullptr;
}

bool SdlJoystick::Attached() const {
  if (controller_ != nullptr) return SDL_GameControllerGetAttached(controller_) == SDL_TRUE;
  if (joystick_ != nullptr) return SDL_JoystickGetAttached(joystick_) == SDL_TRUE;
  return false;
}

bool SdlJoystick::Attach() {
  if (Attached()) return true;
  Close();
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count && controller_ == nullptr; ++index) {
    if (SDL_IsGameController(index)) controller_ = SDL_GameControllerOpen(index);
  }
  if (controller_ == nullptr && id_ < count) joystick_ = SDL_JoystickOpen(id_);
  return Attached();
}

bool SdlJoystick::Read(RawJoystickState& state) {
  if (!Attach()) return false;
  if (controller_ != nullptr) {
    GameControllerState pad;
    pad.LeftX = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX);
    pad.LeftY = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY);
    pad.RightX = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_RIGHTX);
    pad.RightY = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_RIGHTY);
    pad.LeftTrigger = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    pad.RightTrigger = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    pad.DpadUp = SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_UP) != 0;
    pad.DpadDown = SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_DOWN) != 0;
    pad.DpadLeft = SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_LEFT) != 0;
    pad.DpadRight = SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) != 0;
    for (int button = 0; button < kGameControllerButtonCount; ++button) {
      if (SDL_GameControllerGetButton(controller_, static_cast<SDL_GameControllerButton>(button)) !=
          0)
        pad.Buttons |= 1u << button;
    }
    state = JoystickStateFromController(pad);
    return true;
  }
  state = RawJoystickState{};
  const auto axis = [this](int index) {
    return JoystickAxis{SDL_JoystickGetAxis(joystick_, index), -32768, 32767};
  };
  const int axes = SDL_JoystickNumAxes(joystick_);
  if (axes > 0) state.X = axis(0);
  if (axes > 1) state.Y = axis(1);
  if (axes > 2) state.Z = axis(2);
  if (SDL_JoystickNumHats(joystick_) > 0) {
    const Uint8 hat = SDL_JoystickGetHat(joystick_, 0);
    if ((hat & SDL_HAT_UP) != 0) state.Dpad |= dpad_bits::kUp;
    if ((hat & SDL_HAT_DOWN) != 0) state.Dpad |= dpad_bits::kDown;
    if ((hat & SDL_HAT_LEFT) != 0) state.Dpad |= dpad_bits::kLeft;
    if ((hat & SDL_HAT_RIGHT) != 0) state.Dpad |= dpad_bits::kRight;
  }
  state.ButtonCount = SDL_JoystickNumButtons(joystick_);
  if (state.ButtonCount > 32) state.ButtonCount = 32;
  for (int button = 0; button < state.ButtonCount; ++button) {
    if (SDL_JoystickGetButton(joystick_, button) != 0) state.Buttons |= 1u << button;
  }
  return true;
}

bool SdlMouse::Read(MouseReading& reading) {
  const Uint32 buttons = SDL_GetRelativeMouseState(&reading.MotionX, &reading.MotionY);
  reading.Buttons = {(buttons & SDL_BUTTON_LMASK) != 0, (buttons & SDL_BUTTON_RMASK) != 0,
                     (buttons & SDL_BUTTON_MMASK) != 0};
  return true;
}

}  // namespace rivoltra
