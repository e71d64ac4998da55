#include "persist/preferences.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/keyboard_codes.h"
#include "persist/settings.h"
#include "system/save_file.h"

namespace rivoltra {
namespace {

TEST(PreferencesFile, EveryFieldSurvivesWritingAndReadingBack) {
  Preferences changed;
  changed.MusicVolume = 30;
  changed.SoundVolume = 0;
  changed.WindowScale = 3;
  changed.SmoothScaling = true;
  changed.OnlinePlay = false;
  changed.GhostCars = false;
  AssignKey(changed.Controls, ControlAction::Accelerate, 0, virtual_key::Letter('W'));
  AssignKey(changed.Controls, ControlAction::Fire, 1, virtual_key::Numpad(0));
  AssignPad(changed.Controls, ControlAction::Fire, 1, PadControl::RightTrigger);
  AssignPad(changed.Controls, ControlAction::Brake, 0, PadControl::None);
  for (const Preferences& preferences : {Preferences{}, changed}) {
    Preferences read;
    read.MusicVolume = 70;  // whatever was there before is replaced
    EXPECT_TRUE(ParsePreferencesFile(PreferencesFileText(preferences), read).empty());
    EXPECT_EQ(read, preferences) << PreferencesFileText(preferences);
  }
}

// Every punctuation key by the name the controls screen shows, in either case, and by the number
// form any file may hold.
TEST(PreferencesFile, PunctuationKeysAreWrittenByNameAndReadBack) {
  namespace K = virtual_key;
  Preferences chosen;
  const std::pair<ControlAction, std::array<std::uint8_t, 2>> bindings[] = {
      {ControlAction::Accelerate, {K::kSemicolon, K::kApostrophe}},
      {ControlAction::Brake, {K::kPeriod, K::kSlash}},
      {ControlAction::SteerLeft, {K::kComma, K::kLeftBracket}},
      {ControlAction::SteerRight, {K::kRightBracket, K::kBackslash}},
      {ControlAction::Fire, {K::kMinus, K::kEquals}},
      {ControlAction::Pause, {K::kGrave, K::kKey102}},
  };
  for (const auto& [action, keys] : bindings) {
    for (int slot = 0; slot < kBindingSlots; ++slot)
      AssignKey(chosen.Controls, action, slot, keys[static_cast<std::size_t>(slot)]);
  }
  const std::string text = PreferencesFileText(chosen);
  for (const char* line :
       {"\nkeys.accelerate = SEMICOLON, APOSTROPHE\n", "\nkeys.brake = PERIOD, SLASH\n",
        "\nkeys.steer-left = COMMA, LEFT BRACKET\n",
        "\nkeys.steer-right = RIGHT BRACKET, BACKSLASH\n", "\nkeys.fire = MINUS, EQUALS\n",
        "\nkeys.pause = GRAVE, 102ND KEY\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  }
  Preferences read;
  EXPECT_TRUE(ParsePreferencesFile(text, read).empty());
  EXPECT_EQ(read, chosen) << text;

  Preferences typed;
  EXPECT_TRUE(ParsePreferencesFile("keys.fire = comma, Key 190\n", typed).empty());
  EXPECT_EQ(typed.Controls.Of(ControlAction::Fire).Keys,
            (std::array<std::uint8_t, 2>{K::kComma, K::kPeriod}));
}

TEST(PreferencesFile, TheWrittenTextIsPlainKeyValueLines) {
  const std::string text = PreferencesFileText(Preferences{});
  for (const char* line :
       {"\nmusic-volume = 100\n", "\nsound-volume = 100\n", "\nwindow-scale = fit\n",
        "\nscaling = sharp\n", "\nonline-play = on\n", "\nghost-cars = on\n",
        "\nkeys.accelerate = UP, KEYPAD 8\n", "\npad.accelerate = LS UP, DPAD UP\n",
        "\nkeys.fire = SPACE, CTRL\n", "\nkeys.brake = DOWN\n", "\npad.pause = START\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  }
}

TEST(PreferencesFile, BadLinesAreReportedAndSkippedWhileTheRestCounts) {
  Preferences read;
  const auto problems = ParsePreferencesFile(
      "# a comment\n"
      "\n"
      "music-volume = 55\n"     // not a step of 10
      "sound-volume = 40\n"     // fine
      "window-scale = 9\n"      // beyond the largest
      "scaling = blurry\n"      // neither
      "ghost-cars = off\r\n"    // fine, CR LF too
      "no equals sign\n"        // not key = value
      "colour = red\n"          // unknown key
      "keys.jump = J\n"         // unknown action
      "keys.brake = S, X, Z\n"  // three keys
      "keys.pause = HYPER\n"    // unknown key name
      "keys.accelerate = W\n"   // fine
      "keys.steer-left = W\n"   // W is taken: keeps its first place
      "pad.fire = RT\n",        // fine
      read);
  EXPECT_EQ(problems.size(), 9u);
  for (const std::string& problem : problems) EXPECT_EQ(problem.rfind("line ", 0), 0u) << problem;
  EXPECT_EQ(read.MusicVolume, 100);
  EXPECT_EQ(read.SoundVolume, 40);
  EXPECT_EQ(read.WindowScale, kWindowScaleFit);
  EXPECT_FALSE(read.SmoothScaling);
  EXPECT_FALSE(read.GhostCars);
  const ControlBindings& controls = read.Controls;
  EXPECT_EQ(controls.Of(ControlAction::Accelerate).Keys,
            (std::array<std::uint8_t, 2>{virtual_key::Letter('W'), 0}));
  EXPECT_EQ(FindKey(controls, virtual_key::Letter('W'))->Action, ControlAction::Accelerate);
  // Lines that failed leave the factory inputs that are still free.
  EXPECT_EQ(controls.Of(ControlAction::SteerLeft).Keys[0], virtual_key::kLeft);
  EXPECT_EQ(controls.Of(ControlAction::Brake).Keys[0], virtual_key::kDown);
  EXPECT_EQ(controls.Of(ControlAction::Fire).Pad[0], PadControl::RightTrigger);
  // Accelerate's line names W alone, so keypad 8 is bound nowhere.
  EXPECT_FALSE(FindKey(controls, virtual_key::kNumpad8).has_value());
}

TEST(PreferencesFile, AKeyMovedInTheFileIsNotAlsoLeftAtItsFactoryPlace) {
  Preferences read;
  EXPECT_TRUE(ParsePreferencesFile("keys.fire = UP\n", read).empty());
  EXPECT_EQ(FindKey(read.Controls, virtual_key::kUp)->Action, ControlAction::Fire);
  // Accelerate keeps its other factory key.
  EXPECT_EQ(read.Controls.Of(ControlAction::Accelerate).Keys,
            (std::array<std::uint8_t, 2>{0, virtual_key::kNumpad8}));
}

TEST(PreferencesFile, AMissingOrOversizedFileGivesTheDefaultsAndSaysSo) {
  const auto folder = std::filesystem::temp_directory_path() / "rivoltra-preferences-test";
  std::filesystem::create_directories(folder);
  Preferences read;
  read.GhostCars = false;
  PreferencesLoad load = LoadPreferences(read, folder / "missing");
  EXPECT_FALSE(load.Found);
  EXPECT_EQ(load.Problems.size(), 1u);
  EXPECT_EQ(read, Preferences{});

  const auto huge = folder / "huge";
  std::ofstream(huge) << std::string(kMaxSaveFileBytes + 1, '#');
  load = LoadPreferences(read, huge);
  EXPECT_FALSE(load.Found);
  EXPECT_EQ(read, Preferences{});

  const auto saved = folder / "preferences";
  Preferences mine;
  mine.MusicVolume = 20;
  SavePreferences(mine, saved);
  load = LoadPreferences(read, saved);
  EXPECT_TRUE(load.Found);
  EXPECT_TRUE(load.Problems.empty());
  EXPECT_EQ(read, mine);
  std::filesystem::remove_all(folder);
}

TEST(PreferencesFile, TheOptionsFileSwitchesDecideWhetherTheVolumesPlay) {
  const struct {
    std::uint8_t Enabled;
    int Stored;
    int Expected;
  } cases[] = {
      {0, 100, 0},  // an old file with music off, or the switch turned off by another program
      {0, 40, 0},  {1, 100, 100},
      {1, 40, 40}, {1, 0, 100},  // switched on again elsewhere: full volume
  };
  for (const auto& c : cases) {
    Preferences preferences;
    preferences.MusicVolume = c.Stored;
    preferences.SoundVolume = c.Stored;
    ReconcileVolumes(preferences, Settings{0, c.Enabled, c.Enabled, ""});
    EXPECT_EQ(preferences.MusicVolume, c.Expected) << int(c.Enabled) << " " << c.Stored;
    EXPECT_EQ(preferences.SoundVolume, c.Expected);
    Settings settings{0, 9, 9, ""};
    SwitchesFromVolumes(preferences, settings);
    EXPECT_EQ(settings.MusicEnabled, c.Expected > 0 ? 1 : 0);
  }
  EXPECT_EQ(SteppedVolume(100, +1), 100);
  EXPECT_EQ(SteppedVolume(100, -1), 90);
  EXPECT_EQ(SteppedVolume(0, -1), 0);
}

}  // namespace
}  // namespace rivoltra
