#include "engine/input_devices.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/keyboard_codes.h"

namespace rivoltra {
namespace {

class FakeKeyboard final : public KeyboardSource {
 public:
  void ReadKeys(std::array<std::uint8_t, 256>& keys) override {
    for (int key : Down) keys[key] = 0x80;
    for (int key : ToggledOnly) keys[key] = 0x01;
  }
  std::set<int> Down;
  std::set<int> ToggledOnly;  // low bit only: a lock key that is not held
};

class FakeJoystick final : public JoystickSource {
 public:
  bool Open(int id) override {
    OpenedId = id;
    return Present;
  }
  void Close() override { ++Closes; }
  bool Read(RawJoystickState& s) override {
    s = State;
    return Readable;
  }
  bool Present = true;
  bool Readable = true;
  int OpenedId = -1;
  int Closes = 0;
  RawJoystickState State{{1000, 0, 2000}, {1000, 0, 2000}, {1000, 0, 2000}, 0, 8};
};

class FakeForeground final : public ForegroundQuery {
 public:
  bool GameWindowInFront() const override { return InFront; }
  bool InFront = true;
};

class InputDevices : public ::testing::Test {
 protected:
  InputDevices() {
    input_.Keyboard().SetSource(&keyboard_);
    input_.Joystick().SetSource(&joystick_);
    input_.SetForegroundQuery(&foreground_);
    input_.Initialize();
  }
  InputStates Update() {
    input_.Update();
    return input_.States();
  }

  FakeKeyboard keyboard_;
  FakeJoystick joystick_;
  FakeForeground foreground_;
  GameInput input_;
};

TEST(InputStateSet, StoresStateNInBitNMod8OfByteNDiv8) {
  InputStates s{InputUp, InputButton5, InputButton32};
  EXPECT_EQ(s.Bytes(), (std::array<std::uint8_t, 5>{0x01, 0x01, 0x00, 0x00, 0x08}));
  EXPECT_TRUE(s.Contains(InputButton(32)));
  EXPECT_FALSE(s.Contains(InputDown));
  EXPECT_FALSE(s.Contains(36));
  EXPECT_FALSE(s.Contains(-1));
  s.Add(36);
  s.Remove(InputUp);
  EXPECT_EQ(s, (InputStates{InputButton5, InputButton32}));
}

TEST(InputKeys, TheGameAssignsItsKeysToTheFirstEightButtonsAndTheDirections) {
  const KeyAssignments keys = GameKeyAssignments();
  EXPECT_EQ(keys[InputUp], (std::array<std::uint32_t, 3>{0x26, 0, 0x68}));
  const std::pair<InputState, std::uint32_t> single[] = {
      {InputDown, 0x28},    {InputLeft, 0x25},    {InputRight, 0x27},   {InputButton1, 0x5A},
      {InputButton2, 0x58}, {InputButton3, 0x43}, {InputButton4, 0x50}, {InputButton5, 0x1B},
      {InputButton6, 0x59}, {InputButton7, 0x4E}, {InputButton8, 0x20}};
  for (auto [state, key] : single) {
    EXPECT_EQ(keys[state], (std::array<std::uint32_t, 3>{key, 0, 0})) << state;
  }
  for (int state = InputButton9; state < kInputStateCount; ++state) {
    EXPECT_EQ(keys[state], (std::array<std::uint32_t, 3>{})) << state;
  }
}

TEST_F(InputDevices, EitherUpKeyGivesUpUntilBothAreReleased) {
  keyboard_.Down = {virtual_key::kUp};
  EXPECT_EQ(Update(), InputStates{InputUp});
  keyboard_.Down = {virtual_key::kUp, virtual_key::kNumpad8};
  EXPECT_EQ(Update(), InputStates{InputUp});
  keyboard_.Down = {virtual_key::kNumpad8};
  EXPECT_EQ(Update(), InputStates{InputUp});
  keyboard_.Down = {};
  EXPECT_EQ(Update(), InputStates{});
}

TEST_F(InputDevices, UnassignedAndNotHeldKeysGiveNothing) {
  keyboard_.Down = {virtual_key::Letter('A'), virtual_key::kControl, virtual_key::kEnter};
  keyboard_.ToggledOnly = {virtual_key::Letter('Z')};
  EXPECT_TRUE(Update().Empty());
  // Codes outside 1..255 in a slot are never looked up.
  input_.Keyboard().Assigns[InputButton9] = {0, 256 + virtual_key::Letter('A'),
                                             virtual_key::Letter('A')};
  EXPECT_EQ(Update(), InputStates{InputButton9});
}

TEST_F(InputDevices, StatesChangeOnlyOnEdges) {
  keyboard_.Down = {virtual_key::kSpace, virtual_key::kLeft};
  EXPECT_EQ(Update(), (InputStates{InputButton8, InputLeft}));
  input_.States().Remove(InputButton8);  // taken away while still held
  EXPECT_EQ(Update(), InputStates{InputLeft});
  keyboard_.Down = {};
  EXPECT_TRUE(Update().Empty());
  keyboard_.Down = {virtual_key::kSpace};  // pressed again
  EXPECT_EQ(Update(), InputStates{InputButton8});
}

TEST_F(InputDevices, NothingIsReportedWhileAnotherWindowIsInFront) {
  keyboard_.Down = {virtual_key::kRight};
  joystick_.State.Buttons = 1;
  foreground_.InFront = false;
  EXPECT_TRUE(Update().Empty());
  EXPECT_EQ(input_.Keyboard().Keys()[virtual_key::kRight], 0);
  input_.ActiveOnly = false;
  EXPECT_EQ(Update(), (InputStates{InputRight, InputButton1}));
}

TEST(JoystickAxis, DeadZoneAndRangeArithmetic) {
  struct Case {
    int Position, Minimum, Maximum, DeadZone, Range, Value;
  } cases[] = {
      {400, 0, 2000, 50, 1000, -200},       // 60 % left: outside the dead zone
      {600, 0, 2000, 50, 1000, 0},          // 40 % left: inside
      {500, 0, 2000, 50, 1000, 0},          // exactly on the edge of the dead zone
      {-600, -1000, 1000, 50, 1000, -200},  // a range that does not start at 0
      {0, 0, 2000, 50, 1000, -1000},        // the end of the travel
      {2000, 0, 2000, 50, 1000, 1000},
      {1700, 0, 2000, 0, 1000, 700},
      {1500, 0, 2000, 0, 1, 1},  // 0.5 rounds away from zero
      {500, 0, 2000, 0, 1, -1},
      {1900, 0, 2000, 100, 1000, 0},   // a dead zone of the whole travel
      {1900, 0, 2000, 50, 0, 0},       // range 0
      {0, 0, 65535, 50, 1000, -1000},  // the usual raw range
      {5, 7, 7, 50, 1000, 0},          // an axis without travel
      {0, 0, 1, 0, 1000, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoystickAxisValue({c.Position, c.Minimum, c.Maximum}, c.DeadZone, c.Range), c.Value)
        << c.Position << " in " << c.Minimum << ".." << c.Maximum;
  }
}

TEST_F(InputDevices, JoystickDirectionsAndButtonsBecomeStates) {
  joystick_.State.X.Position = 400;   // left
  joystick_.State.Y.Position = 1700;  // down
  joystick_.State.Z.Position = 0;     // Z adds nothing
  joystick_.State.Buttons = 0b1000'0001u | (1u << 31);
  joystick_.State.ButtonCount = 8;  // bit 31 is beyond the joystick's buttons
  EXPECT_EQ(Update(), (InputStates{InputLeft, InputDown, InputButton1, InputButton8}));
  EXPECT_EQ(input_.Joystick().Axis(JoystickAxisId::X), -200);
  EXPECT_EQ(input_.Joystick().Axis(JoystickAxisId::Z), -1000);

  joystick_.State.ButtonCount = 32;
  joystick_.State.X.Position = 600;  // inside the dead zone
  EXPECT_EQ(Update(), (InputStates{InputDown, InputButton1, InputButton8, InputButton32}));

  joystick_.Readable = false;  // unplugged: the keyboard carries on alone
  keyboard_.Down = {virtual_key::kUp};
  EXPECT_EQ(Update(), InputStates{InputUp});
}

TEST_F(InputDevices, JoystickSettingsAreClampedAndANewIdAcquiresAgain) {
  JoystickInput& stick = input_.Joystick();
  EXPECT_EQ(stick.DeadZone(JoystickAxisId::Y), 50);
  EXPECT_EQ(stick.Range(JoystickAxisId::Z), 1000);
  stick.SetDeadZone(JoystickAxisId::X, 150);
  stick.SetDeadZone(JoystickAxisId::Y, -5);
  stick.SetRange(JoystickAxisId::Z, -1);
  EXPECT_EQ(stick.DeadZone(JoystickAxisId::X), 100);
  EXPECT_EQ(stick.DeadZone(JoystickAxisId::Y), 0);
  EXPECT_EQ(stick.Range(JoystickAxisId::Z), 0);

  joystick_.Present = false;
  stick.SetID(1);
  EXPECT_EQ(joystick_.OpenedId, 1);
  EXPECT_EQ(joystick_.Closes, 1);
  EXPECT_FALSE(stick.Initialized());
  joystick_.State.Buttons = 1;
  EXPECT_TRUE(Update().Empty());
}

TEST(GameController, ReadsAsAJoystickWouldWithTheDpadAsItsHat) {
  GameControllerState pad;
  pad.LeftX = 3000;  // a small push, inside a 50 % dead zone
  pad.LeftY = -30000;
  pad.RightTrigger = 40000;  // beyond the range: clamped
  pad.DpadLeft = true;
  pad.Buttons = 0b101 | (1u << 20);  // only the first eleven buttons exist
  const RawJoystickState s = JoystickStateFromController(pad);
  EXPECT_EQ(JoystickAxisValue(s.X, 50, 1000), 0);
  EXPECT_LT(JoystickAxisValue(s.Y, 50, 1000), 0);
  EXPECT_EQ(JoystickAxisValue(s.Z, 50, 1000), 0);
  EXPECT_EQ(s.Dpad, dpad_bits::kLeft);
  EXPECT_EQ(s.RightTrigger, 32767);
  EXPECT_EQ(s.Buttons, 0b101u);
  EXPECT_EQ(s.ButtonCount, kGameControllerButtonCount);
}

TEST_F(InputDevices, ControllerInputsSetTheStatesTheirTableGivesAndTheMenusKeepTheirOwn) {
  joystick_.State.X = {0, -32768, 32767};
  joystick_.State.Y = {0, -32768, 32767};
  joystick_.State.Dpad = dpad_bits::kUp;
  joystick_.State.RightTrigger = 30000;
  joystick_.State.Buttons = 1u << 6;  // start
  joystick_.State.ButtonCount = kGameControllerButtonCount;
  // The classic table: the d-pad steers, button 7 is button state 7.
  EXPECT_EQ(Update(), (InputStates{InputUp, InputButton7}));

  PadAssignments mine{};
  mine[static_cast<std::size_t>(PadControl::RightTrigger)].Add(InputButton8);
  mine[static_cast<std::size_t>(PadControl::DpadUp)].Add(InputDown);
  input_.Joystick().Assigns = mine;
  EXPECT_EQ(Update(), (InputStates{InputDown, InputButton8}));
  // Whatever the race's table, the d-pad still moves the menus up.
  EXPECT_EQ(input_.MenuStates(), InputStates{InputUp});
  const PadControls& held = input_.Joystick().Controls();
  EXPECT_TRUE(held.Contains(static_cast<int>(PadControl::DpadUp)));
  EXPECT_TRUE(held.Contains(static_cast<int>(PadControl::RightTrigger)));
  EXPECT_TRUE(held.Contains(static_cast<int>(PadButton(6))));
  EXPECT_FALSE(held.Contains(static_cast<int>(PadControl::LeftStickUp)));

  joystick_.State.Dpad = 0;
  joystick_.State.RightX = {-32768, -32768, 32767};  // the right stick pushed left
  mine[static_cast<std::size_t>(PadControl::RightStickLeft)].Add(InputLeft);
  input_.Joystick().Assigns = mine;
  EXPECT_EQ(Update(), (InputStates{InputLeft, InputButton8}));
  // The right stick is no menu direction.
  EXPECT_TRUE(input_.MenuStates().Empty());
}

class FakeMouse final : public MouseSource {
 public:
  bool Open() override { return true; }
  void Close() override {}
  bool Read(MouseReading& r) override {
    r = Reading;
    return true;
  }
  MouseReading Reading;
};

TEST(InputMouse, NeedsRawInputAndIsNotMergedUnlessBound) {
  FakeMouse mouse;
  mouse.Reading = {-3, 2, {true, false, false}};
  GameInput input;
  input.Mouse().SetSource(&mouse);
  input.UseRawInput = false;
  try {
    input.Initialize();
    FAIL() << "no error";
  } catch (const InputError& e) {
    EXPECT_STREQ(e.what(), "Raw input is necessary to use the mouse");
  }
  input.UseRawInput = true;
  input.Initialize();
  input.Update();
  EXPECT_TRUE(input.States().Empty());
  EXPECT_EQ(input.Mouse().States(), (InputStates{InputLeft, InputDown, InputButton1}));
  input.Mouse().BindInputStates = true;
  input.Update();
  EXPECT_EQ(input.States(), (InputStates{InputLeft, InputDown, InputButton1}));
}

TEST(InputWithoutDevices, ReportsNothing) {
  GameInput input;
  input.Initialize();  // no sources: nothing can be acquired
  input.Update();
  EXPECT_TRUE(input.States().Empty());
  EXPECT_FALSE(input.Keyboard().Initialized());
}

}  // namespace
}  // namespace rivoltra
