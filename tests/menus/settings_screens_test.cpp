// The options' own screens as a player works them: the controls, the volumes, the further
// settings, and what of them survives a restart.
#include "app/controls_screen.h"
#include "engine/keyboard_codes.h"
#include "menu_fixture.h"
#include "persist/preferences.h"
#include "ui/bitmap_text.h"
#include "ui/screen_layout.h"

namespace rivoltra {
namespace {

namespace K = virtual_key;

const std::filesystem::path kOptions = "Data/Save/options";
const std::filesystem::path kPreferences = "Data/Save/preferences";

constexpr int kControlsLine = kFirstScreenSlot + 4;
constexpr int kMoreLine = kFirstScreenSlot + 5;
// The controls' rows from the first sub-screen slot on, one an action, then the defaults button.
constexpr int kAccelerateRow = kFirstScreenSlot;
constexpr int kBrakeRow = kFirstScreenSlot + 1;
constexpr int kFireRow = kFirstScreenSlot + 2;
constexpr int kDefaultsButton = kFirstScreenSlot + 9;

class SettingsScreens : public MenuScenario {
 protected:
  void OpenOptions() {
    FinishSlideIn();
    PointAt(kOptionsSlot);
    Run("click\ntick");
    ASSERT_EQ(Game().ScreenState, GameScreen::Options);
  }
  void OpenControls() {
    OpenOptions();
    PointAt(kControlsLine);
    Run("click\ntick");
    ASSERT_EQ(Game().ScreenState, GameScreen::Controls);
    ASSERT_EQ(Selected(), kAccelerateRow);
  }
  // On the controls screen: the row of the action, the cell, Enter, then the key.
  void Bind(int row, int cell, const std::string& key) {
    ChooseCell(row, cell);
    Run("type \\r\ntick");
    ASSERT_TRUE(Game().ControlsScreen.Waiting);
    Press(key);
    ASSERT_FALSE(Game().ControlsScreen.Waiting);
  }
  void ChooseCell(int row, int cell) {
    for (int step = 0; step < 20 && Selected() != row; ++step) Press("Down");
    ASSERT_EQ(Selected(), row);
    while (Game().ControlsScreen.Column < cell) Press("Right");
    while (Game().ControlsScreen.Column > cell) Press("Left");
  }
  const ActionBinding& Binding(ControlAction action) {
    return Game().Preferences.Controls.Of(action);
  }
  // The race's speed after holding a key for a second of game time from a fresh start.
  double SpeedWhileHolding(const std::string& key) {
    Run("race 1\ntick 120");
    EXPECT_TRUE(Game().Race.State.RaceRunning);
    const double before = Game().Race.State.Speed;
    Run("down " + key + "\ntick 33\nup " + key);
    return Game().Race.State.Speed - before;
  }
};

TEST_F(SettingsScreens, ARemappedKeyDrivesTheRaceAndTheOldKeyNoLongerDoes) {
  Start();
  OpenControls();
  Bind(kAccelerateRow, 0, "W");  // accelerate: W in place of Up
  EXPECT_EQ(Binding(ControlAction::Accelerate).Keys,
            (std::array<std::uint8_t, 2>{K::Letter('W'), K::kNumpad8}));
  EXPECT_EQ(Game().ControlsScreen.Message, "W IS NOW ACCELERATE");
  Run("type \\e\ntick\ntype \\e\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);

  EXPECT_GT(SpeedWhileHolding("W"), 1.0);
  Run("quit");
  Start();
  EXPECT_LT(SpeedWhileHolding("Up"), 0.01);
  // Keypad 8, the action's second key, still works as before.
  Run("quit");
  Start();
  EXPECT_GT(SpeedWhileHolding("KP8"), 1.0);
}

// A punctuation key, as the window delivers it: the key, its character, the release. It takes
// the place, drives the race, and comes back from the preferences file after a restart.
TEST_F(SettingsScreens, APunctuationKeyCanBeBoundAndDrivesTheRaceAfterARestart) {
  Start();
  OpenControls();
  ChooseCell(kAccelerateRow, 0);
  Run("type \\r\ntick");
  ASSERT_TRUE(Game().ControlsScreen.Waiting);
  Run("down COMMA\ntype ,\ntick\nup COMMA\ntick");
  EXPECT_FALSE(Game().ControlsScreen.Waiting);
  EXPECT_EQ(Binding(ControlAction::Accelerate).Keys,
            (std::array<std::uint8_t, 2>{K::kComma, K::kNumpad8}));
  EXPECT_EQ(Game().ControlsScreen.Message, "COMMA IS NOW ACCELERATE");
  Bind(kBrakeRow, 1, "SLASH");  // brake's second key
  EXPECT_EQ(Binding(ControlAction::Brake).Keys, (std::array<std::uint8_t, 2>{K::kDown, K::kSlash}));
  Run("quit");
  const std::string file = FileBytes(kPreferences);
  EXPECT_NE(file.find("keys.accelerate = COMMA, KEYPAD 8\n"), std::string::npos) << file;
  EXPECT_NE(file.find("keys.brake = DOWN, SLASH\n"), std::string::npos) << file;

  Start();
  EXPECT_EQ(Binding(ControlAction::Accelerate).Keys[0], K::kComma);
  EXPECT_GT(SpeedWhileHolding("COMMA"), 1.0);
  Run("quit");
  Start();
  EXPECT_LT(SpeedWhileHolding("Up"), 0.01);
}

// Every key's cell label, in the cell's fonts, ends inside the cell.
TEST_F(SettingsScreens, EveryKeyNameFitsItsCell) {
  Start();
  BitmapText& text = Game().Text;
  const ImageCollection& images = Game().InterfaceImages.Items();
  const int room = layout::kControlCellWidth - layout::kControlTextInset;
  for (int key = 1; key < 256; ++key) {
    const std::string label = KeyCellLabel(static_cast<std::uint8_t>(key));
    text.SelectMediumFont();
    EXPECT_LE(text.TextWidth(images, label), room) << label;
    text.SelectMediumActiveFont();
    EXPECT_LE(text.TextWidth(images, label), room) << label;
  }
  EXPECT_EQ(KeyCellLabel(K::kRightBracket), "RBRACKET");
  EXPECT_EQ(KeyCellLabel(K::kComma), "COMMA");
}

TEST_F(SettingsScreens, AKeyOfAnotherActionIsSwappedAndTheFactoryControlsComeBack) {
  Start();
  OpenControls();
  Bind(kBrakeRow, 0, "Space");  // brake takes fire's Space; fire gets brake's Down
  EXPECT_EQ(Binding(ControlAction::Brake).Keys[0], K::kSpace);
  EXPECT_EQ(Binding(ControlAction::Fire).Keys,
            (std::array<std::uint8_t, 2>{K::kDown, K::kControl}));
  EXPECT_EQ(Game().ControlsScreen.Message, "SPACE TAKEN FROM FIRE");
  const KeyAssignments& assigns = Game().Input.Keyboard().Assigns;
  EXPECT_EQ(assigns[InputDown][0], K::kSpace);
  EXPECT_EQ(assigns[InputButton8][0], K::kDown);

  // Escape while a cell waits changes nothing, and its character does not leave the screen.
  ChooseCell(kFireRow, 1);
  Run("type \\r\ntick");
  // As the window delivers it: the key, its character, the release.
  Run("down Escape\ntype \\e\ntick\nup Escape\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::Controls);
  EXPECT_FALSE(Game().ControlsScreen.Waiting);

  PointAt(kDefaultsButton);
  Run("click\ntick");
  EXPECT_EQ(Game().Preferences.Controls, DefaultControlBindings());
  EXPECT_EQ(Game().Input.Keyboard().Assigns, KeyAssignmentsOf(DefaultControlBindings()));
}

TEST_F(SettingsScreens, CtrlFiresOnlyWhileItIsBoundToFire) {
  Start();
  OpenControls();
  Run("down Ctrl\nup Ctrl");
  EXPECT_FALSE(Game().FireKeyHeld);
  Bind(kAccelerateRow, 1, "Ctrl");  // accelerate's second key
  Run("down Ctrl");
  EXPECT_FALSE(Game().FireKeyHeld);
  Run("tick");
  EXPECT_TRUE(Game().Input.States().Contains(InputUp));
  Run("up Ctrl\ntick");
}

TEST_F(SettingsScreens, VolumesStepByTenAndZeroIsTheOldOff) {
  Start();
  OpenOptions();
  Press("Down");  // music
  ASSERT_EQ(Selected(), kFirstScreenSlot + 1);
  Press("Left");
  Press("Left");
  EXPECT_EQ(Game().Preferences.MusicVolume, 80);
  EXPECT_EQ(Game().ModulePlayer->Volume(), 80);
  EXPECT_NE(Game().Music.SongHandle, nullptr);
  // Enter switches off, and on again at the volume it had.
  Run("type \\r\ntick");
  EXPECT_EQ(Game().Preferences.MusicVolume, 0);
  EXPECT_EQ(Game().Settings.MusicEnabled, 0);
  EXPECT_EQ(Game().Music.SongHandle, nullptr);
  Run("type \\r\ntick");
  EXPECT_EQ(Game().Preferences.MusicVolume, 80);
  EXPECT_EQ(Game().Settings.MusicEnabled, 1);
  EXPECT_NE(Game().Music.SongHandle, nullptr);
  for (int press = 0; press < 12; ++press) Press("Right");
  EXPECT_EQ(Game().Preferences.MusicVolume, 100);

  Press("Down");  // sound
  for (int press = 0; press < 12; ++press) Press("Left");
  EXPECT_EQ(Game().Preferences.SoundVolume, 0);
  EXPECT_EQ(Game().Settings.SoundEnabled, 0);
  Press("Right");
  EXPECT_EQ(Game().Preferences.SoundVolume, 10);
  EXPECT_EQ(Game().Sounds.MasterVolume(), 10);
  // Left and Right never moved the selection.
  EXPECT_EQ(Selected(), kFirstScreenSlot + 2);
}

TEST_F(SettingsScreens, TheSettingsSurviveARestart) {
  Start();
  OpenControls();
  Bind(kAccelerateRow, 0, "W");
  Run("type \\e\ntick");
  PointAt(kMoreLine);
  Run("click\ntick");
  ASSERT_EQ(Game().ScreenState, GameScreen::MoreSettings);
  Run("type \\r\ntick");  // window size: fit to 1x
  Press("Down");
  Press("Right");  // smooth
  Press("Down");
  Run("type \\r\ntick");  // online play off
  const Preferences chosen = Game().Preferences;
  EXPECT_EQ(chosen.WindowScale, 1);
  EXPECT_TRUE(chosen.SmoothScaling);
  EXPECT_FALSE(chosen.OnlinePlay);
  EXPECT_TRUE(chosen.GhostCars);
  Run("type \\e\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::Options);
  EXPECT_EQ(Selected(), kMoreLine);
  Run("quit");
  EXPECT_NE(FileBytes(kPreferences).find("keys.accelerate = W, KEYPAD 8\n"), std::string::npos);
  Start();
  EXPECT_EQ(Game().Preferences, chosen);
  EXPECT_EQ(Game().Input.Keyboard().Assigns[InputUp][0], K::Letter('W'));
}

TEST_F(SettingsScreens, AnOldOptionsFileWithMusicOffReadsAsNoMusic) {
  std::filesystem::remove(kPreferences);
  WriteBytes(kOptions, "0\r\n0\r\n1\r\nPERU\r\n\r\n");
  Start();
  EXPECT_EQ(Game().Preferences.MusicVolume, 0);
  EXPECT_EQ(Game().Preferences.SoundVolume, 100);
  EXPECT_EQ(Game().Music.SongHandle, nullptr);
  Run("quit");
  // The options file keeps its five lines and their meaning.
  EXPECT_EQ(FileBytes(kOptions).substr(0, 15), "0\r\n0\r\n1\r\nPERU\r\n");
}

TEST_F(SettingsScreens, ADamagedPreferencesFileStartsWithTheDefaults) {
  WriteBytes(kPreferences, std::string("\0\xFF\x01 = =\nkeys.fire = \xC3\n", 22));
  Start();
  EXPECT_EQ(Game().Preferences, Preferences{});
}

}  // namespace
}  // namespace rivoltra
