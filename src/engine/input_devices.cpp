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
  static constexpr int kMinimum = -32768, kMaximum = 32767;
  RawJoystickState state;
  const auto axis = [](int position) {
    return JoystickAxis{std::clamp(position, kMinimum, kMaximum), kMinimum, kMaximum};
  };
  state.X = axis(controller.LeftX);
  state.Y = axis(controller.LeftY);
  state.Z = axis(0);
  state.RightX = axis(controller.RightX);
  state.RightY = axis(controller.RightY);
  state.LeftTrigger = std::clamp(controller.LeftTrigger, 0, kMaximum);
  state.RightTrigger = std::clamp(controller.RightTrigger, 0, kMaximum);
  if (controller.DpadUp) state.Dpad |= dpad_bits::kUp;
  if (controller.DpadDown) state.Dpad |= dpad_bits::kDown;
  if (controller.DpadLeft) state.Dpad |= dpad_bits::kLeft;
  if (controller.DpadRight) state.Dpad |= dpad_bits::kRight;
  state.Buttons = controller.Buttons & ((1u << kGameControllerButtonCount) - 1);
  state.ButtonCount = kGameControllerButtonCount;
  return state;
}

bool InputDevice::Reporting() const {
  return initialized_ && (!owner_.ActiveOnly || owner_.WindowInFront());
}

// ---------------------------------------------------------------------------------------------
// Keyboard

KeyAssignments GameKeyAssignments() {
  KeyAssignments keys{};
  keys[InputUp] = {virtual_key::kUp, 0, virtual_key::kNumpad8};
  keys[InputDown] = {virtual_key::kDown, 0, 0};
  keys[InputLeft] = {virtual_key::kLeft, 0, 0};
  keys[InputRight] = {virtual_key::kRight, 0, 0};
  keys[InputButton1] = {virtual_key::Letter('Z'), 0, 0};
  keys[InputButton2] = {virtual_key::Letter('X'), 0, 0};
  keys[InputButton3] = {virtual_key::Letter('C'), 0, 0};
  keys[InputButton4] = {virtual_key::Letter('P'), 0, 0};
  keys[InputButton5] = {virtual_key::kEscape, 0, 0};
  keys[InputButton6] = {virtual_key::Letter('Y'), 0, 0};
  keys[InputButton7] = {virtual_key::Letter('N'), 0, 0};
  keys[InputButton8] = {virtual_key::kSpace, 0, 0};
  return keys;
}

void KeyboardInput::Initialize() {
  Finalize();
  initialized_ = Enabled && source_ != nullptr;
}

namespace {

InputStates StatesOf(const std::array<std::uint8_t, 256>& keys, const KeyAssignments& assigns) {
  InputStates states;
  for (int state = 0; state < kInputStateCount; ++state) {
    for (std::uint32_t code : assigns[static_cast<std::size_t>(state)]) {
      if (code >= 1 && code <= 255 && (keys[code] & 0x80) != 0) {
        states.Add(state);
        break;
      }
    }
  }
  return states;
}

// The menus' directions: the arrows and keypad 8, as the game has always had them.
const KeyAssignments& MenuKeyAssignments() {
  static const KeyAssignments kAssigns = [] {
    const KeyAssignments game = GameKeyAssignments();
    KeyAssignments directions{};
    for (const InputState state : {InputUp, InputDown, InputLeft, InputRight})
      directions[state] = game[state];
    return directions;
  }();
  return kAssigns;
}

}  // namespace

void KeyboardInput::Update() {
  keys_ = {};
  states_.Clear();
  menuStates_.Clear();
  if (!Reporting() || source_ == nullptr) return;
  source_->ReadKeys(keys_);
  states_ = StatesOf(keys_, Assigns);
  menuStates_ = StatesOf(keys_, MenuKeyAssignments());
}

// ---------------------------------------------------------------------------------------------
// Joystick

bool IsPadControl(int code) {
  return (code >= static_cast<int>(PadControl::FirstButton) &&
          code <= static_cast<int>(PadControl::LastButton)) ||
         (code >= static_cast<int>(PadControl::LeftStickUp) &&
          code <= static_cast<int>(PadControl::RightTrigger));
}

namespace {

void AddDirections(PadAssignments& assigns, std::array<PadControl, 4> upDownLeftRight) {
  const std::array<InputState, 4> directions = {InputUp, InputDown, InputLeft, InputRight};
  for (std::size_t i = 0; i < directions.size(); ++i)
    assigns[static_cast<std::size_t>(upDownLeftRight[i])].Add(directions[i]);
}

PadAssignments StickAndDpadDirections() {
  PadAssignments assigns{};
  AddDirections(assigns, {PadControl::LeftStickUp, PadControl::LeftStickDown,
                          PadControl::LeftStickLeft, PadControl::LeftStickRight});
  AddDirections(assigns, {PadControl::DpadUp, PadControl::DpadDown, PadControl::DpadLeft,
                          PadControl::DpadRight});
  return assigns;
}

// A stick direction is held once the axis is out of its dead zone; a trigger past half its
// travel.
constexpr int kTriggerHeld = 16384;

void AddAxisDirections(PadControls& controls, int x, int y, PadControl up) {
  const int first = static_cast<int>(up);
  if (y < 0) controls.Add(first);
  if (y > 0) controls.Add(first + 1);
  if (x < 0) controls.Add(first + 2);
  if (x > 0) controls.Add(first + 3);
}

InputStates StatesOf(const PadControls& controls, const PadAssignments& assigns) {
  InputStates states;
  for (std::size_t control = 1; control < assigns.size(); ++control) {
    if (controls.Contains(static_cast<int>(control))) states |= assigns[control];
  }
  return states;
}

}  // namespace

PadAssignments ClassicPadAssignments() {
  PadAssignments assigns = StickAndDpadDirections();
  for (int button = 0; button < 32; ++button)
    assigns[static_cast<std::size_t>(PadButton(button))].Add(InputButton1 + button);
  return assigns;
}

PadAssignments MenuPadAssignments() { return StickAndDpadDirections(); }

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
  controls_ = {};
  states_.Clear();
  menuStates_.Clear();
  RawJoystickState raw;
  if (!Reporting() || source_ == nullptr || !source_->Read(raw)) return;
  const JoystickAxis* rawAxes[3] = {&raw.X, &raw.Y, &raw.Z};
  for (int i = 0; i < 3; ++i) axes_[i] = JoystickAxisValue(*rawAxes[i], deadZone_[i], range_[i]);
  const int buttonCount = std::clamp(raw.ButtonCount, 0, 32);
  buttons_ = buttonCount == 32 ? raw.Buttons : raw.Buttons & ((1u << buttonCount) - 1);
  for (int button = 0; button < 32; ++button) {
    if ((buttons_ >> button) & 1) controls_.Add(static_cast<int>(PadButton(button)));
  }
  AddAxisDirections(controls_, axes_[0], axes_[1], PadControl::LeftStickUp);
  // The right stick has the left one's dead zone and range.
  AddAxisDirections(controls_, JoystickAxisValue(raw.RightX, deadZone_[0], range_[0]),
                    JoystickAxisValue(raw.RightY, deadZone_[1], range_[1]),
                    PadControl::RightStickUp);
  const std::array<std::pair<std::uint8_t, PadControl>, 4> dpad = {
      {{dpad_bits::kUp, PadControl::DpadUp},
       {dpad_bits::kDown, PadControl::DpadDown},
       {dpad_bits::kLeft, PadControl::DpadLeft},
       {dpad_bits::kRight, PadControl::DpadRight}}};
  for (const auto& [bit, control] : dpad) {
    if ((raw.Dpad & bit) != 0) controls_.Add(static_cast<int>(control));
  }
  if (raw.LeftTrigger >= kTriggerHeld) controls_.Add(static_cast<int>(PadControl::LeftTrigger));
  if (raw.RightTrigger >= kTriggerHeld) controls_.Add(static_cast<int>(PadControl::RightTrigger));
  states_ = StatesOf(controls_, Assigns);
  menuStates_ = StatesOf(controls_, MenuPadAssignments());
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
  // The menus have directions of their own, so a race bound to other keys or buttons never
  // takes the arrows, the stick or the d-pad away from them.
  menuStates_.Clear();
  if (keyboard_.BindInputStates) menuStates_ |= keyboard_.MenuStates();
  if (joystick_.BindInputStates) menuStates_ |= joystick_.MenuStates();
  for (int state = 0; state < kInputStateCount; ++state) {
    const bool now = current.Contains(state), before = previous_.Contains(state);
    if (now && !before) states_.Add(state);
    if (!now && before) states_.Remove(state);
  }
  previous_ = current;
}

}  // namespace rivoltra
