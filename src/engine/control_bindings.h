#pragma once
// The player's controls: which keys and which controller inputs hold each race action. The
// keyboard device and the joystick device read their assignment tables from here.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/input_devices.h"

namespace rivoltra {

// The actions a player can bind, in the order the controls screen lists them.
enum class ControlAction : std::uint8_t {
  Accelerate,
  Brake,
  SteerLeft,
  SteerRight,
  Fire,
  Pause,
  Finish,
  Yes,
  No,
};
inline constexpr int kControlActionCount = 9;
inline constexpr std::array<ControlAction, kControlActionCount> kControlActions = {
    ControlAction::Accelerate, ControlAction::Brake, ControlAction::SteerLeft,
    ControlAction::SteerRight, ControlAction::Fire,  ControlAction::Pause,
    ControlAction::Finish,     ControlAction::Yes,   ControlAction::No};

// The input state an action sets; the race reads its actions from these states.
InputState InputStateOfControl(ControlAction action);

// Two keys and two controller inputs per action; 0 / None marks an empty slot.
inline constexpr int kBindingSlots = 2;
struct ActionBinding {
  std::array<std::uint8_t, kBindingSlots> Keys{};
  std::array<PadControl, kBindingSlots> Pad{};
  bool operator==(const ActionBinding&) const = default;
};

struct ControlBindings {
  std::array<ActionBinding, kControlActionCount> Actions{};

  ActionBinding& Of(ControlAction action) { return Actions[static_cast<std::size_t>(action)]; }
  const ActionBinding& Of(ControlAction action) const {
    return Actions[static_cast<std::size_t>(action)];
  }
  bool operator==(const ControlBindings&) const = default;
};

// The factory controls: the arrow keys (and keypad 8 for accelerate), Space and Ctrl fire, P
// pauses, Escape asks to finish, Y and N answer; on a controller the left stick and the d-pad
// steer, A fires, Start pauses, Back asks to finish, Y and B answer.
ControlBindings DefaultControlBindings();

// Where a key or controller input is bound: the action and the slot, or nothing.
struct BindingPlace {
  ControlAction Action;
  int Slot;
};
std::optional<BindingPlace> FindKey(const ControlBindings& bindings, std::uint8_t key);
std::optional<BindingPlace> FindPad(const ControlBindings& bindings, PadControl control);

// Puts a key into an action's slot. When another place holds the key already, the two places
// swap: that place takes what the slot held before, so no key is ever bound twice and none is
// lost. Returns the place the key was taken from, if any.
std::optional<BindingPlace> AssignKey(ControlBindings& bindings, ControlAction action, int slot,
                                      std::uint8_t key);
std::optional<BindingPlace> AssignPad(ControlBindings& bindings, ControlAction action, int slot,
                                      PadControl control);

// The keyboard device's table for these controls. The Ctrl key of the fire action stays out of
// it: the window's key events hold fire for Ctrl (FireKeyHeld).
KeyAssignments KeyAssignmentsOf(const ControlBindings& bindings);
// Which input state each controller input sets, for the joystick device.
PadAssignments PadAssignmentsOf(const ControlBindings& bindings);

// Names for the screen and the preferences file, in capitals, digits and spaces only (what the
// menu fonts draw): keys "UP", "KEYPAD 8", "SPACE", "A", "F5", an unnamed key "KEY 146";
// controller inputs "A", "START", "DPAD UP", "LS LEFT" (left stick), "RT", "BUTTON 12".
std::string KeyName(std::uint8_t key);
std::string PadControlName(PadControl control);
// The reverse, ignoring case; nullopt for a name that is none of ours.
std::optional<std::uint8_t> KeyByName(std::string_view name);
std::optional<PadControl> PadControlByName(std::string_view name);

// The action's name on the screen and in the file: "ACCELERATE", "FIRE", "FINISH RACE".
std::string_view ControlActionName(ControlAction action);
// The file's key for the action: "accelerate", "steer-left".
std::string_view ControlActionKey(ControlAction action);

}  // namespace rivoltra
