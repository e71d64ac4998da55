#include "engine/control_bindings.h"

#include <gtest/gtest.h>

#include "engine/keyboard_codes.h"

namespace rivoltra {
namespace {

namespace K = virtual_key;

TEST(ControlBindings, TheFactoryKeysAreTheClassicTableWithCtrlLeftToTheKeyEvents) {
  const KeyAssignments classic = GameKeyAssignments();
  const KeyAssignments mine = KeyAssignmentsOf(DefaultControlBindings());
  // The race's states read the same keys; the old table's order of slots does not matter.
  for (const InputState state : {InputUp, InputDown, InputLeft, InputRight, InputButton4,
                                 InputButton5, InputButton6, InputButton7, InputButton8}) {
    auto sorted = [](std::array<std::uint32_t, 3> codes) {
      std::sort(codes.begin(), codes.end());
      return codes;
    };
    EXPECT_EQ(sorted(mine[state]), sorted(classic[state])) << state;
  }
  EXPECT_EQ(FindKey(DefaultControlBindings(), K::kControl)->Action, ControlAction::Fire);
}

TEST(ControlBindings, AnInputTakenFromAnotherPlaceSwapsWithTheCellsOldOne) {
  ControlBindings bindings = DefaultControlBindings();
  // Space (fire, slot 0) onto accelerate's slot 0, which held Up: fire gets Up.
  const auto from = AssignKey(bindings, ControlAction::Accelerate, 0, K::kSpace);
  ASSERT_TRUE(from.has_value());
  EXPECT_EQ(from->Action, ControlAction::Fire);
  EXPECT_EQ(from->Slot, 0);
  EXPECT_EQ(bindings.Of(ControlAction::Accelerate).Keys,
            (std::array<std::uint8_t, 2>{K::kSpace, K::kNumpad8}));
  EXPECT_EQ(bindings.Of(ControlAction::Fire).Keys,
            (std::array<std::uint8_t, 2>{K::kUp, K::kControl}));

  // A free key just takes the cell; the old key is then bound nowhere.
  EXPECT_FALSE(AssignKey(bindings, ControlAction::Brake, 0, K::Letter('S')).has_value());
  EXPECT_FALSE(FindKey(bindings, K::kDown).has_value());
  // Within one action the two slots swap.
  AssignKey(bindings, ControlAction::Accelerate, 1, K::kSpace);
  EXPECT_EQ(bindings.Of(ControlAction::Accelerate).Keys,
            (std::array<std::uint8_t, 2>{K::kNumpad8, K::kSpace}));

  // No key anywhere is bound twice.
  for (int key = 1; key < 256; ++key) {
    int places = 0;
    for (const ControlAction action : kControlActions) {
      for (const std::uint8_t bound : bindings.Of(action).Keys) places += bound == key ? 1 : 0;
    }
    EXPECT_LE(places, 1) << key;
  }

  const auto padFrom = AssignPad(bindings, ControlAction::Brake, 1, PadButton(pad_buttons::kSouth));
  ASSERT_TRUE(padFrom.has_value());
  EXPECT_EQ(padFrom->Action, ControlAction::Fire);
  EXPECT_EQ(bindings.Of(ControlAction::Fire).Pad[0], PadControl::DpadDown);
}

TEST(ControlBindings, TheControllerTableFollowsTheBindings) {
  ControlBindings bindings = DefaultControlBindings();
  AssignPad(bindings, ControlAction::Fire, 0, PadControl::RightTrigger);
  const PadAssignments assigns = PadAssignmentsOf(bindings);
  EXPECT_EQ(assigns[static_cast<std::size_t>(PadControl::RightTrigger)], InputStates{InputButton8});
  EXPECT_TRUE(assigns[static_cast<std::size_t>(PadButton(pad_buttons::kSouth))].Empty());
  EXPECT_EQ(assigns[static_cast<std::size_t>(PadControl::DpadUp)], InputStates{InputUp});
}

TEST(ControlBindings, EveryNameReadsBackAsItsInput) {
  for (int key = 1; key < 256; ++key) {
    const std::string name = KeyName(static_cast<std::uint8_t>(key));
    EXPECT_EQ(KeyByName(name), key) << name;
    // Only what the menu fonts can draw: capitals, digits and spaces.
    for (const char c : name)
      EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') << name;
  }
  for (int code = 1; code < 256; ++code) {
    if (!IsPadControl(code)) continue;
    const auto control = static_cast<PadControl>(code);
    EXPECT_EQ(PadControlByName(PadControlName(control)), control) << PadControlName(control);
  }
  EXPECT_EQ(KeyByName("keypad 8"), K::kNumpad8);
  EXPECT_EQ(PadControlByName("button 12"), PadButton(11));
  EXPECT_FALSE(KeyByName("").has_value());
  EXPECT_FALSE(KeyByName("F25").has_value());
  EXPECT_FALSE(PadControlByName("BUTTON 33").has_value());
}

}  // namespace
}  // namespace rivoltra
