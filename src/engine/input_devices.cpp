#include "engine/input_devices.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "engine/keyboard_codes.h"

namespace rivoltra {

namespace {

// a x b / c rounded to the nearest, halves away from zero.
long long MultiplyDivideRounded(long long a, long long b, long long c) {
  const long long product = a * b;
  long long quotient = product / c;
  const long long remainder = product % c;
  if (2 * std::llabs(remainder) >= std::llabs(c)) quotient += ((product < 0) != (c < 0)) ? -1 : 1;
  return quotient;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

RawJoystickState JoystickStateFromController(const GameControllerState& controller) {
  constexpr int kMinimum = -32768, kMaximum = 32767;
  RawJoystickState state;
  state.X = {std::clamp(controller.LeftX, kMinimum, kMaximum), kMinimum, kMaximum};
  state.Y = {std::clamp(controller.LeftY, kMinimum, kMaximum), kMinimum, kMaximum};
  state.Z = {0, kMinimum, kMaximum};
  if (controller.DpadLeft != controller.DpadRight) {
    state.X.Position = controller.DpadLeft ? kMinimum : kMaximum;
  }
  if (controller.DpadUp != controller.DpadDown) {
    state.Y.Position = controller.DpadUp ? kMinimum : kMaximum;
  }
  state.Buttons = controller.Buttons & ((1u << GameControllerButtonCount) - 1);
  state.ButtonCount = GameControllerButtonCount;
  return state;
}

bool InputDevice::Reporting() const {
  return initialized_ && (!owner_.ActiveOnly || owner_.WindowInFront());
}

// ---------------------------------------------------------------------------------------------
// Keyboard

KeyAssignments GameKeyAssignments() {
  KeyAssignments keys{};
  keys[InputUp] = {VirtualKey::Up, 0, VirtualKey::Numpad8};
  keys[InputDown] = {VirtualKey::Down, 0, 0};
  keys[InputLeft] = {VirtualKey::Left, 0, 0};
  keys[InputRight] = {VirtualKey::Right, 0, 0};
  keys[InputButton1] = {VirtualKey::Letter('Z'), 0, 0};
  keys[InputButton2] = {VirtualKey::Letter('X'), 0, 0};
  keys[InputButton3] = {VirtualKey::Letter('C'), 0, 0};
  keys[InputButton4] = {VirtualKey::Letter('P'), 0, 0};
  keys[InputButton5] = {VirtualKey::Escape, 0, 0};
  keys[InputButton6] = {VirtualKey::Letter('Y'), 0, 0};
  keys[InputButton7] = {VirtualKey::Letter('N'), 0, 0};
  keys[InputButton8] = {VirtualKey::Space, 0, 0};
  return keys;
}

void KeyboardInput::Initialize() {
  Finalize();
  initialized_ = Enabled && source_ != nullptr;
}

void KeyboardInput::Update() {
  keys_ = {};
  states_.Clear();
  if (!Reporting() || source_ == nullptr) return;
  source_->ReadKeys(keys_);
  for (int state = 0; state < InputStateCount; ++state) {
    for (std::uint32_t code : Assigns[state]) {
      if (code >= 1 && code <= 255 && (keys_[code] & 0x80) != 0) {
        states_.Add(state);
        break;
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Joystick

int JoystickAxisValue(const JoystickAxis& axis, int deadZonePercent, int range) {
  if (axis.Maximum <= axis.Minimum) return 0;
  const long long half = (static_cast<long long>(axis.Maximum) - axis.Minimum) / 2;
  const long long deadZone = std::clamp(deadZonePercent, 0, 100) * half / 100;
  if (half == deadZone) return 0;
  // Measured from the middle of the axis's own range, wherever that range starts.
  const long long position = static_cast<long long>(axis.Position) - (axis.Minimum + half);
  if (std::llabs(position) <= deadZone) return 0;
  const long long shifted = position > 0 ? position - deadZone : position + deadZone;
  const long long value = MultiplyDivideRounded(shifted, range, half - deadZone);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

JoystickInput::~JoystickInput() { Finalize(); }

void JoystickInput::SetID(int id) {
  if (id == id_) return;
  id_ = id;
  if (initialized_) Initialize();
}

void JoystickInput::SetDeadZone(JoystickAxisId axis, int percent) {
  deadZone_[static_cast<int>(axis)] = std::clamp(percent, 0, 100);
}

void JoystickInput::SetRange(JoystickAxisId axis, int range) {
  range_[static_cast<int>(axis)] = std::max(range, 0);
}

void JoystickInput::Initialize() {
  Finalize();
  initialized_ = Enabled && source_ != nullptr && source_->Open(id_);
}

void JoystickInput::Finalize() {
  if (initialized_ && source_ != nullptr) source_->Close();
  initialized_ = false;
}

void JoystickInput::Update() {
  axes_ = {};
  buttons_ = 0;
  states_.Clear();
  RawJoystickState raw;
  if (!Reporting() || source_ == nullptr || !source_->Read(raw)) return;
  const JoystickAxis* rawAxes[3] = {&raw.X, &raw.Y, &raw.Z};
  for (int i = 0; i < 3; ++i) axes_[i] = JoystickAxisValue(*rawAxes[i], deadZone_[i], range_[i]);
  const int buttonCount = std::clamp(raw.ButtonCount, 0, 32);
  buttons_ = buttonCount == 32 ? raw.Buttons : raw.Buttons & ((1u << buttonCount) - 1);
  for (int button = 0; button < 32; ++button) {
    if ((buttons_ >> button) & 1) states_.Add(InputButton1 + button);
  }
  const int x = axes_[0], y = axes_[1];
  if (x < 0) states_.Add(InputLeft);
  if (x > 0) states_.Add(InputRight);
  if (y < 0) states_.Add(InputUp);
  if (y > 0) states_.Add(InputDown);
}

// ---------------------------------------------------------------------------------------------
// Mouse

MouseInput::~MouseInput() { Finalize(); }

void MouseInput::Initialize() {
  Finalize();
  if (!Enabled) return;
  if (!owner_.UseRawInput) throw InputError("Raw input is necessary to use the mouse");
  initialized_ = source_ != nullptr && source_->Open();
}

void MouseInput::Finalize() {
  if (initialized_ && source_ != nullptr) source_->Close();
  initialized_ = false;
}

void MouseInput::Update() {
  reading_ = {};
  states_.Clear();
  if (!Reporting() || source_ == nullptr || !source_->Read(reading_)) {
    reading_ = {};
    return;
  }
  if (reading_.MotionX < 0) states_.Add(InputLeft);
  if (reading_.MotionX > 0) states_.Add(InputRight);
  if (reading_.MotionY < 0) states_.Add(InputUp);
  if (reading_.MotionY > 0) states_.Add(InputDown);
  for (int button = 0; button < 3; ++button) {
    if (reading_.Buttons[button]) states_.Add(InputButton1 + button);
  }
}

// ---------------------------------------------------------------------------------------------
// The component

GameInput::GameInput()
    : keyboard_(*this), mouse_(*this), joystick_(*this), devices_{&keyboard_, &mouse_, &joystick_} {
  keyboard_.Assigns = GameKeyAssignments();
  mouse_.Enabled = true;
}

GameInput::~GameInput() { Finalize(); }

void GameInput::Initialize() {
  for (InputDevice* device : devices_) device->Initialize();
}

void GameInput::Finalize() {
  for (InputDevice* device : devices_) device->Finalize();
}

void GameInput::Update() {
  InputStates current;
  for (InputDevice* device : devices_) {
    device->Update();
    if (device->BindInputStates) current |= device->States();
  }
  for (int state = 0; state < InputStateCount; ++state) {
    const bool now = current.Contains(state), before = previous_.Contains(state);
    if (now && !before) states_.Add(state);
    if (!now && before) states_.Remove(state);
  }
  previous_ = current;
}

}  // namespace rivoltra
