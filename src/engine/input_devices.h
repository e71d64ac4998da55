#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

namespace rivoltra {

// The abstract input states the game reads, in their stored order.
enum InputState : int {
  InputUp,
  InputDown,
  InputLeft,
  InputRight,
  InputButton1,
  InputButton2,
  InputButton3,
  InputButton4,
  InputButton5,
  InputButton6,
  InputButton7,
  InputButton8,
  InputButton9,
  InputButton10,
  InputButton11,
  InputButton12,
  InputButton13,
  InputButton14,
  InputButton15,
  InputButton16,
  InputButton17,
  InputButton18,
  InputButton19,
  InputButton20,
  InputButton21,
  InputButton22,
  InputButton23,
  InputButton24,
  InputButton25,
  InputButton26,
  InputButton27,
  InputButton28,
  InputButton29,
  InputButton30,
  InputButton31,
  InputButton32,
};
constexpr int kInputStateCount = 36;

// Button 1..32.
constexpr InputState InputButton(int number) {
  return static_cast<InputState>(InputButton1 + number - 1);
}

// A set of input states, stored as 5 bytes: state n in bit n mod 8 of byte n div 8.
class InputStates {
 public:
  InputStates() = default;
  InputStates(std::initializer_list<InputState> states) {
    for (InputState s : states) Add(s);
  }

  // States outside 0..35 are never contained and cannot be added.
  bool Contains(int state) const {
    return state >= 0 && state < kInputStateCount && (bits_[state / 8] >> (state % 8)) & 1;
  }
  void Add(int state) {
    if (state >= 0 && state < kInputStateCount)
      bits_[state / 8] |= static_cast<std::uint8_t>(1 << (state % 8));
  }
  void Remove(int state) {
    if (state >= 0 && state < kInputStateCount)
      bits_[state / 8] &= static_cast<std::uint8_t>(~(1 << (state % 8)));
  }
  void Clear() { bits_ = {}; }
  bool Empty() const { return bits_ == std::array<std::uint8_t, 5>{}; }
  InputStates& operator|=(const InputStates& other) {
    for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] |= other.bits_[i];
    return *this;
  }
  const std::array<std::uint8_t, 5>& Bytes() const { return bits_; }
  bool operator==(const InputStates&) const = default;

 private:
  std::array<std::uint8_t, 5> bits_{};
};

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------------
// What the platform provides.

// Whether the game window is the foreground window.
class ForegroundQuery {
 public:
  virtual ~ForegroundQuery() = default;
  virtual bool GameWindowInFront() const = 0;
};

class KeyboardSource {
 public:
  virtual ~KeyboardSource() = default;
  // Fills one byte per virtual key (keyboard_codes.h); the top bit marks a key that is down.
  virtual void ReadKeys(std::array<std::uint8_t, 256>& keys) = 0;
};

struct JoystickAxis {
  int Position = 0;
  int Minimum = 0;
  int Maximum = 0;
};

// The d-pad's directions (a plain joystick's first hat).
namespace dpad_bits {
inline constexpr std::uint8_t kUp = 1;
inline constexpr std::uint8_t kDown = 2;
inline constexpr std::uint8_t kLeft = 4;
inline constexpr std::uint8_t kRight = 8;
}  // namespace dpad_bits

// A joystick as the system reports it: raw axis positions within their ranges, and buttons.
// X and Y are the (left) stick; a game controller adds its right stick and triggers.
struct RawJoystickState {
  JoystickAxis X, Y, Z;
  std::uint32_t Buttons = 0;  // bit n: button n is down
  int ButtonCount = 0;
  std::uint8_t Dpad = 0;  // DpadBits
  JoystickAxis RightX, RightY;
  // 0 (released) to 32767 (pressed all the way).
  int LeftTrigger = 0;
  int RightTrigger = 0;
};

class JoystickSource {
 public:
  virtual ~JoystickSource() = default;
  // Opens joystick number id (0 = the first); false when there is none.
  virtual bool Open(int id) = 0;
  virtual void Close() = 0;
  // False when the joystick cannot be read now (unplugged); it then reports nothing.
  virtual bool Read(RawJoystickState& state) = 0;
};

// A game controller with a standard layout: the left stick and the d-pad steer, the buttons
// count in the order south, east, west, north, back, guide, start, left stick, right stick,
// left shoulder, right shoulder (bit 0 = south).
struct GameControllerState {
  int LeftX = 0;  // -32768 .. 32767
  int LeftY = 0;
  int RightX = 0;
  int RightY = 0;
  int LeftTrigger = 0;  // 0 .. 32767
  int RightTrigger = 0;
  bool DpadUp = false;
  bool DpadDown = false;
  bool DpadLeft = false;
  bool DpadRight = false;
  std::uint32_t Buttons = 0;
};
constexpr int kGameControllerButtonCount = 11;

// The controller read as a joystick would be: stick axes over -32768..32767, Z centred, the
// d-pad as the hat.
RawJoystickState JoystickStateFromController(const GameControllerState& controller);

struct MouseReading {
  int MotionX = 0;  // relative motion since the last reading
  int MotionY = 0;
  std::array<bool, 3> Buttons{};
};

class MouseSource {
 public:
  virtual ~MouseSource() = default;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool Read(MouseReading& reading) = 0;
};

// ---------------------------------------------------------------------------------------------
// Devices

class GameInput;

// One input device; its own States are merged into the component's when BindInputStates.
class InputDevice {
 public:
  explicit InputDevice(GameInput& owner) : owner_(owner) {}
  virtual ~InputDevice() = default;
  InputDevice(const InputDevice&) = delete;
  InputDevice& operator=(const InputDevice&) = delete;

  bool BindInputStates = true;
  // A disabled device is not acquired by Initialize and so reports nothing.
  bool Enabled = true;
  // Stored only: force-feedback effects are never played.
  bool ForceFeedback = false;

  const InputStates& States() const { return states_; }
  bool Initialized() const { return initialized_; }

  // Acquires the platform device; a device that cannot be acquired stays not initialised.
  virtual void Initialize() = 0;
  virtual void Finalize() { initialized_ = false; }
  virtual void Update() = 0;

 protected:
  // Initialised, and the window is in front or ActiveOnly is off.
  bool Reporting() const;

  GameInput& owner_;
  InputStates states_;
  bool initialized_ = false;
};

// Three virtual-key codes per input state; 0 = none.
using KeyAssignments = std::array<std::array<std::uint32_t, 3>, kInputStateCount>;

// The game's keys: cursor keys (keypad 8 in the third slot of up), Z, X, C, P, Escape, Y, N, space
// for buttons 1 to 8.
KeyAssignments GameKeyAssignments();

class KeyboardInput final : public InputDevice {
 public:
  explicit KeyboardInput(GameInput& owner) : InputDevice(owner) {}
  ~KeyboardInput() override = default;

  KeyAssignments Assigns{};

  void SetSource(KeyboardSource* source) { source_ = source; }
  // The key table of the last Update.
  const std::array<std::uint8_t, 256>& Keys() const { return keys_; }
  // The states of the menus' fixed keys (GameKeyAssignments' arrows and keypad 8) at the last
  // Update, whatever keys the race uses.
  const InputStates& MenuStates() const { return menuStates_; }

  void Initialize() override;
  void Update() override;

 private:
  KeyboardSource* source_ = nullptr;
  std::array<std::uint8_t, 256> keys_{};
  InputStates menuStates_;
};

enum class JoystickAxisId { X, Y, Z };

// A raw position turned into -range..+range around the axis centre: 0 inside the dead zone
// (percent of half the travel), the rest scaled so the edge of the dead zone is 0 and the end of
// the travel is range, rounded to the nearest.
int JoystickAxisValue(const JoystickAxis& axis, int deadZonePercent, int range);

// A controller input: a button (SDL's standard layout for a game controller, the device's own
// numbering for a plain joystick), a d-pad direction, a stick direction or a trigger.
enum class PadControl : std::uint8_t {
  None = 0,
  // Button n is 1 + n, n from 0 to 31.
  FirstButton = 1,
  LastButton = 32,
  LeftStickUp = 40,
  LeftStickDown,
  LeftStickLeft,
  LeftStickRight,
  RightStickUp,
  RightStickDown,
  RightStickLeft,
  RightStickRight,
  DpadUp,
  DpadDown,
  DpadLeft,
  DpadRight,
  LeftTrigger,
  RightTrigger,
};
constexpr PadControl PadButton(int number) {
  return static_cast<PadControl>(static_cast<int>(PadControl::FirstButton) + number);
}
bool IsPadControl(int code);

// The standard controller's buttons, in the order of GameControllerState's bits.
namespace pad_buttons {
inline constexpr int kSouth = 0;  // A
inline constexpr int kEast = 1;   // B
inline constexpr int kWest = 2;   // X
inline constexpr int kNorth = 3;  // Y
inline constexpr int kBack = 4;
inline constexpr int kGuide = 5;
inline constexpr int kStart = 6;
inline constexpr int kLeftStick = 7;
inline constexpr int kRightStick = 8;
inline constexpr int kLeftShoulder = 9;
inline constexpr int kRightShoulder = 10;
}  // namespace pad_buttons

// Which input states each controller input sets, by PadControl number.
using PadAssignments = std::array<InputStates, 256>;
// The classic table: button n sets button state n + 1, the stick and the d-pad the directions.
PadAssignments ClassicPadAssignments();
// The controller inputs the menus always answer to: the left stick and the d-pad.
PadAssignments MenuPadAssignments();

// The set of controller inputs held, by PadControl number.
class PadControls {
 public:
  bool Contains(int control) const { return control > 0 && control < 256 && bits_[control]; }
  void Add(int control) {
    if (control > 0 && control < 256) bits_[static_cast<std::size_t>(control)] = true;
  }
  void Remove(int control) {
    if (control > 0 && control < 256) bits_[static_cast<std::size_t>(control)] = false;
  }
  bool operator==(const PadControls&) const = default;

 private:
  std::array<bool, 256> bits_{};
};

class JoystickInput final : public InputDevice {
 public:
  explicit JoystickInput(GameInput& owner) : InputDevice(owner) {}
  ~JoystickInput() override;

  // Stored only, like the force-feedback settings.
  bool AutoCenter = true;

  int ID() const { return id_; }
  // A new joystick number acquires that joystick again when this one was initialised.
  void SetID(int id);
  int DeadZone(JoystickAxisId axis) const { return deadZone_[static_cast<int>(axis)]; }
  // Percent, clamped to 0..100.
  void SetDeadZone(JoystickAxisId axis, int percent);
  int Range(JoystickAxisId axis) const { return range_[static_cast<int>(axis)]; }
  // Negative ranges are stored as 0.
  void SetRange(JoystickAxisId axis, int range);

  // Releases the joystick of the old source; Initialize acquires from the new one.
  void SetSource(JoystickSource* source) {
    Finalize();
    source_ = source;
  }
  // The axis values and buttons of the last Update.
  int Axis(JoystickAxisId axis) const { return axes_[static_cast<int>(axis)]; }
  std::uint32_t Buttons() const { return buttons_; }
  // Every input held at the last Update: buttons, stick and d-pad directions, triggers.
  const PadControls& Controls() const { return controls_; }
  // The states each input sets; the classic table unless the game sets the player's.
  PadAssignments Assigns = ClassicPadAssignments();
  // The states of the menus' fixed table (MenuPadAssignments) at the last Update.
  const InputStates& MenuStates() const { return menuStates_; }

  void Initialize() override;
  void Finalize() override;
  void Update() override;

 private:
  JoystickSource* source_ = nullptr;
  int id_ = 0;
  std::array<int, 3> deadZone_{50, 50, 50};
  std::array<int, 3> range_{1000, 1000, 1000};
  std::array<int, 3> axes_{};
  std::uint32_t buttons_ = 0;
  PadControls controls_;
  InputStates menuStates_;
};

class MouseInput final : public InputDevice {
 public:
  // A new mouse is neither enabled nor bound.
  explicit MouseInput(GameInput& owner) : InputDevice(owner) {
    BindInputStates = false;
    Enabled = false;
  }
  ~MouseInput() override;

  // Releases the mouse of the old source; Initialize acquires from the new one.
  void SetSource(MouseSource* source) {
    Finalize();
    source_ = source;
  }
  const MouseReading& Reading() const { return reading_; }

  // Throws InputError "Raw input is necessary to use the mouse" without raw input.
  void Initialize() override;
  void Finalize() override;
  void Update() override;

 private:
  MouseSource* source_ = nullptr;
  MouseReading reading_;
};

// The input component: merges its devices' states into States on edges. Constructed with the
// game's settings: ActiveOnly and UseRawInput on, the game's keys, the mouse enabled but not
// bound, the joystick with dead zones of 50 % and ranges of 1000.
class GameInput {
 public:
  GameInput();
  ~GameInput();
  GameInput(const GameInput&) = delete;
  GameInput& operator=(const GameInput&) = delete;

  // Devices report nothing while another window is in front.
  bool ActiveOnly = true;
  // Only the mouse depends on it: it needs raw input.
  bool UseRawInput = true;

  KeyboardInput& Keyboard() { return keyboard_; }
  JoystickInput& Joystick() { return joystick_; }
  MouseInput& Mouse() { return mouse_; }

  // The "window is in front" query; without one the window counts as in front.
  void SetForegroundQuery(const ForegroundQuery* query) { foreground_ = query; }
  bool WindowInFront() const { return foreground_ == nullptr || foreground_->GameWindowInFront(); }

  // Acquires every device.
  void Initialize();
  void Finalize();
  // Updates every device and changes States on edges only: a state enters on the update where
  // it first appears and leaves on the one where it is first gone.
  void Update();

  const InputStates& States() const { return states_; }
  InputStates& States() { return states_; }
  // The directions the menus navigate by: the arrow keys, keypad 8, the stick and the d-pad,
  // whatever the player has bound to the race's actions.
  const InputStates& MenuStates() const { return menuStates_; }

 private:
  KeyboardInput keyboard_;
  MouseInput mouse_;
  JoystickInput joystick_;
  std::array<InputDevice*, 3> devices_;
  const ForegroundQuery* foreground_ = nullptr;
  InputStates previous_;
  InputStates states_;
  InputStates menuStates_;
};

}  // namespace rivoltra
