#include "engine/control_bindings.h"

#include <cctype>
#include <utility>
#include <vector>

#include "engine/keyboard_codes.h"

namespace rivoltra {

namespace {

struct ActionInfo {
  InputState State;
  std::string_view Name;
  std::string_view Key;
};

// The states are the ones the race has always read: the key table's buttons 4 to 8 are P,
// Escape, Y, N and Space.
constexpr std::array<ActionInfo, kControlActionCount> kActionInfo = {{
    {InputUp, "ACCELERATE", "accelerate"},
    {InputDown, "BRAKE", "brake"},
    {InputLeft, "LEFT", "steer-left"},
    {InputRight, "RIGHT", "steer-right"},
    {InputButton8, "FIRE", "fire"},
    {InputButton4, "PAUSE", "pause"},
    {InputButton5, "FINISH RACE", "finish"},
    {InputButton6, "ANSWER YES", "answer-yes"},
    {InputButton7, "ANSWER NO", "answer-no"},
}};

const ActionInfo& Info(ControlAction action) {
  return kActionInfo[static_cast<std::size_t>(action)];
}

using NamedKey = std::pair<std::uint8_t, std::string_view>;

// Keys without a one-letter name.
const std::vector<NamedKey>& SpecialKeyNames() {
  namespace K = virtual_key;
  static const std::vector<NamedKey> kNames = {
      {K::kBackspace, "BACKSPACE"},
      {K::kTab, "TAB"},
      {K::kEnter, "ENTER"},
      {K::kShift, "SHIFT"},
      {K::kControl, "CTRL"},
      {K::kMenu, "ALT"},
      {K::kPause, "PAUSE KEY"},
      {K::kCapsLock, "CAPS LOCK"},
      {K::kEscape, "ESCAPE"},
      {K::kSpace, "SPACE"},
      {K::kPageUp, "PAGE UP"},
      {K::kPageDown, "PAGE DOWN"},
      {K::kEnd, "END"},
      {K::kHome, "HOME"},
      {K::kLeft, "LEFT"},
      {K::kUp, "UP"},
      {K::kRight, "RIGHT"},
      {K::kDown, "DOWN"},
      {K::kInsert, "INSERT"},
      {K::kDelete, "DELETE"},
      {K::kMultiply, "KEYPAD STAR"},
      {K::kAdd, "KEYPAD PLUS"},
      {K::kSubtract, "KEYPAD MINUS"},
      {K::kDecimal, "KEYPAD POINT"},
      {K::kDivide, "KEYPAD SLASH"},
      {K::kNumLock, "NUM LOCK"},
      {K::kScrollLock, "SCROLL LOCK"},
      {K::kSemicolon, "SEMICOLON"},
      {K::kEquals, "EQUALS"},
      {K::kComma, "COMMA"},
      {K::kMinus, "MINUS"},
      {K::kPeriod, "PERIOD"},
      {K::kSlash, "SLASH"},
      {K::kGrave, "GRAVE"},
      {K::kLeftBracket, "LEFT BRACKET"},
      {K::kBackslash, "BACKSLASH"},
      {K::kRightBracket, "RIGHT BRACKET"},
      {K::kApostrophe, "APOSTROPHE"},
      {K::kKey102, "102ND KEY"},
  };
  return kNames;
}

using NamedPad = std::pair<PadControl, std::string_view>;

const std::vector<NamedPad>& PadNames() {
  using P = PadControl;
  static const std::vector<NamedPad> kNames = {
      {PadButton(pad_buttons::kSouth), "A"},
      {PadButton(pad_buttons::kEast), "B"},
      {PadButton(pad_buttons::kWest), "X"},
      {PadButton(pad_buttons::kNorth), "Y"},
      {PadButton(pad_buttons::kBack), "BACK"},
      {PadButton(pad_buttons::kGuide), "GUIDE"},
      {PadButton(pad_buttons::kStart), "START"},
      {PadButton(pad_buttons::kLeftStick), "LS PRESS"},
      {PadButton(pad_buttons::kRightStick), "RS PRESS"},
      {PadButton(pad_buttons::kLeftShoulder), "LB"},
      {PadButton(pad_buttons::kRightShoulder), "RB"},
      {P::LeftStickUp, "LS UP"},
      {P::LeftStickDown, "LS DOWN"},
      {P::LeftStickLeft, "LS LEFT"},
      {P::LeftStickRight, "LS RIGHT"},
      {P::RightStickUp, "RS UP"},
      {P::RightStickDown, "RS DOWN"},
      {P::RightStickLeft, "RS LEFT"},
      {P::RightStickRight, "RS RIGHT"},
      {P::DpadUp, "DPAD UP"},
      {P::DpadDown, "DPAD DOWN"},
      {P::DpadLeft, "DPAD LEFT"},
      {P::DpadRight, "DPAD RIGHT"},
      {P::LeftTrigger, "LT"},
      {P::RightTrigger, "RT"},
  };
  return kNames;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// A number after a fixed prefix ("F", "KEYPAD ", "BUTTON ") within [minimum, maximum].
std::optional<int> NumberAfter(std::string_view name, std::string_view prefix, int minimum,
                               int maximum) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 3 ||
      !SameIgnoringCase(name.substr(0, prefix.size()), prefix))
    return std::nullopt;
  int value = 0;
  for (const char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < minimum || value > maximum) return std::nullopt;
  return value;
}

template <typename Slot, typename Find>
std::optional<BindingPlace> Assign(ControlBindings& bindings, ControlAction action, int slot,
                                   Slot value, Find find,
                                   std::array<Slot, kBindingSlots> ActionBinding::*slots) {
  if (slot < 0 || slot >= kBindingSlots) return std::nullopt;
  Slot& target = (bindings.Of(action).*slots)[static_cast<std::size_t>(slot)];
  const std::optional<BindingPlace> holder = find(bindings, value);
  if (holder && holder->Action == action && holder->Slot == slot) return std::nullopt;
  if (holder) {
    (bindings.Of(holder->Action).*slots)[static_cast<std::size_t>(holder->Slot)] = target;
  }
  target = value;
  return holder;
}

}  // namespace

InputState InputStateOfControl(ControlAction action) { return Info(action).State; }

std::string_view ControlActionName(ControlAction action) { return Info(action).Name; }

std::string_view ControlActionKey(ControlAction action) { return Info(action).Key; }

ControlBindings DefaultControlBindings() {
  namespace K = virtual_key;
  using P = PadControl;
  ControlBindings bindings;
  const auto set = [&bindings](ControlAction action, ActionBinding binding) {
    bindings.Of(action) = binding;
  };
  set(ControlAction::Accelerate, {{K::kUp, K::kNumpad8}, {P::LeftStickUp, P::DpadUp}});
  set(ControlAction::Brake, {{K::kDown, 0}, {P::LeftStickDown, P::DpadDown}});
  set(ControlAction::SteerLeft, {{K::kLeft, 0}, {P::LeftStickLeft, P::DpadLeft}});
  set(ControlAction::SteerRight, {{K::kRight, 0}, {P::LeftStickRight, P::DpadRight}});
  set(ControlAction::Fire, {{K::kSpace, K::kControl}, {PadButton(pad_buttons::kSouth), P::None}});
  set(ControlAction::Pause, {{K::Letter('P'), 0}, {PadButton(pad_buttons::kStart), P::None}});
  set(ControlAction::Finish, {{K::kEscape, 0}, {PadButton(pad_buttons::kBack), P::None}});
  set(ControlAction::Yes, {{K::Letter('Y'), 0}, {PadButton(pad_buttons::kNorth), P::None}});
  set(ControlAction::No, {{K::Letter('N'), 0}, {PadButton(pad_buttons::kEast), P::None}});
  return bindings;
}

std::optional<BindingPlace> FindKey(const ControlBindings& bindings, std::uint8_t key) {
  if (key == 0) return std::nullopt;
  for (const ControlAction action : kControlActions) {
    for (int slot = 0; slot < kBindingSlots; ++slot) {
      if (bindings.Of(action).Keys[static_cast<std::size_t>(slot)] == key)
        return BindingPlace{action, slot};
    }
  }
  return std::nullopt;
}

std::optional<BindingPlace> FindPad(const ControlBindings& bindings, PadControl control) {
  if (control == PadControl::None) return std::nullopt;
  for (const ControlAction action : kControlActions) {
    for (int slot = 0; slot < kBindingSlots; ++slot) {
      if (bindings.Of(action).Pad[static_cast<std::size_t>(slot)] == control)
        return BindingPlace{action, slot};
    }
  }
  return std::nullopt;
}

std::optional<BindingPlace> AssignKey(ControlBindings& bindings, ControlAction action, int slot,
                                      std::uint8_t key) {
  return Assign(bindings, action, slot, key, FindKey, &ActionBinding::Keys);
}

std::optional<BindingPlace> AssignPad(ControlBindings& bindings, ControlAction action, int slot,
                                      PadControl control) {
  return Assign(bindings, action, slot, control, FindPad, &ActionBinding::Pad);
}

KeyAssignments KeyAssignmentsOf(const ControlBindings& bindings) {
  KeyAssignments assigns{};
  for (const ControlAction action : kControlActions) {
    auto& codes = assigns[static_cast<std::size_t>(InputStateOfControl(action))];
    std::size_t next = 0;
    for (const std::uint8_t key : bindings.Of(action).Keys) {
      if (key == 0) continue;
      if (action == ControlAction::Fire && key == virtual_key::kControl) continue;
      codes[next++] = key;
    }
  }
  return assigns;
}

PadAssignments PadAssignmentsOf(const ControlBindings& bindings) {
  PadAssignments assigns{};
  for (const ControlAction action : kControlActions) {
    for (const PadControl control : bindings.Of(action).Pad) {
      if (control != PadControl::None)
        assigns[static_cast<std::size_t>(control)].Add(InputStateOfControl(action));
    }
  }
  return assigns;
}

std::string KeyName(std::uint8_t key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  if (key >= virtual_key::kNumpad0 && key <= virtual_key::Numpad(9))
    return "KEYPAD " + std::to_string(key - virtual_key::kNumpad0);
  if (key >= virtual_key::kF1 && key <= virtual_key::Function(24))
    return std::string("F") + std::to_string(key - virtual_key::kF1 + 1);
  for (const auto& [code, name] : SpecialKeyNames()) {
    if (code == key) return std::string(name);
  }
  return "KEY " + std::to_string(key);
}

std::optional<std::uint8_t> KeyByName(std::string_view name) {
  if (name.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<std::uint8_t>(c);
  }
  if (const auto n = NumberAfter(name, "KEYPAD ", 0, 9)) return virtual_key::Numpad(*n);
  if (const auto n = NumberAfter(name, "F", 1, 24)) return virtual_key::Function(*n);
  for (const auto& [code, known] : SpecialKeyNames()) {
    if (SameIgnoringCase(name, known)) return code;
  }
  if (const auto n = NumberAfter(name, "KEY ", 1, 255)) return static_cast<std::uint8_t>(*n);
  return std::nullopt;
}

std::string PadControlName(PadControl control) {
  for (const auto& [code, name] : PadNames()) {
    if (code == control) return std::string(name);
  }
  const int code = static_cast<int>(control);
  if (code >= static_cast<int>(PadControl::FirstButton) &&
      code <= static_cast<int>(PadControl::LastButton))
    return "BUTTON " + std::to_string(code - static_cast<int>(PadControl::FirstButton) + 1);
  return "NONE";
}

std::optional<PadControl> PadControlByName(std::string_view name) {
  for (const auto& [code, known] : PadNames()) {
    if (SameIgnoringCase(name, known)) return code;
  }
  if (const auto n = NumberAfter(name, "BUTTON ", 1, 32)) return PadButton(*n - 1);
  return std::nullopt;
}

}  // namespace rivoltra
