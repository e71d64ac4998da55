// The options' further settings: the window's size and scaling, online play and ghost cars.
#include "app/game.h"
#include "app/option_rows.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kSizeLine = kFirstScreenSlot;
constexpr int kScalingLine = kFirstScreenSlot + 1;
constexpr int kOnlineLine = kFirstScreenSlot + 2;
constexpr int kGhostLine = kFirstScreenSlot + 3;
constexpr int kOptionsMainButton = kOptionsSlot;
// The options' line that leads here, selected again on the way back.
constexpr int kOptionsMoreLine = kFirstScreenSlot + 5;

// The sizes in the order Left/Right walk through them.
constexpr std::array<int, 4> kScales = {1, 2, 3, kWindowScaleFit};

std::size_t ScaleIndex(int scale) {
  for (std::size_t i = 0; i < kScales.size(); ++i) {
    if (kScales[i] == scale) return i;
  }
  // A size from the file or the command line beyond 3 shows as the largest one listed.
  return 2;
}

void ChangeScale(Game& game, int step) {
  Preferences& preferences = game.Preferences;
  const int count = static_cast<int>(kScales.size());
  const int index = (static_cast<int>(ScaleIndex(preferences.WindowScale)) + step + count) % count;
  preferences.WindowScale = kScales[static_cast<std::size_t>(index)];
  game.Platform.Presenter().SetScaling(preferences.WindowScale, preferences.SmoothScaling);
}

void ToggleSmoothing(Game& game) {
  Preferences& preferences = game.Preferences;
  preferences.SmoothScaling = !preferences.SmoothScaling;
  game.Platform.Presenter().SetScaling(preferences.WindowScale, preferences.SmoothScaling);
}

// One step on a line: Left/Right (-1, +1) or an activation (+1, whose click has sounded).
void ChangeLine(Game& game, int line, int step) {
  switch (line) {
    case kSizeLine:
      ChangeScale(game, step);
      break;
    case kScalingLine:
      ToggleSmoothing(game);
      break;
    case kOnlineLine:
      game.Preferences.OnlinePlay = !game.Preferences.OnlinePlay;
      break;
    case kGhostLine:
      game.Preferences.GhostCars = !game.Preferences.GhostCars;
      break;
    default:
      break;
  }
}

void DrawLines(Game& game) {
  using namespace layout;
  const Preferences& preferences = game.Preferences;
  const auto& y = kOptionTextY;
  game.Text.SelectBigFont();
  WriteText(game, "WINDOW SIZE:", kOptionLabelX, y[0]);
  WriteText(game, "SCALING:", kOptionLabelX, y[1]);
  WriteText(game, "ONLINE PLAY:", kOptionLabelX, y[2]);
  WriteText(game, "GHOST CARS:", kOptionLabelX, y[3]);
  DrawChoices(game, kMoreChoiceX, y[0], {"1X", "2X", "3X", "FIT"},
              ScaleIndex(preferences.WindowScale));
  DrawChoices(game, kMoreChoiceX, y[1], {"SHARP", "SMOOTH"}, preferences.SmoothScaling ? 1 : 0);
  DrawChoices(game, kMoreChoiceX, y[2], {"ON", "OFF"}, preferences.OnlinePlay ? 0 : 1);
  DrawChoices(game, kMoreChoiceX, y[3], {"ON", "OFF"}, preferences.GhostCars ? 0 : 1);
}

bool StaysOnMoreSettings(int selected) {
  return selected == 0 || selected == kOptionsMainButton ||
         (selected >= kSizeLine && selected <= kGhostLine);
}

}  // namespace

void ShowMoreSettings(Game& game) {
  BeginSubScreen(game, GameScreen::MoreSettings, {kGhostLine, kSizeLine, kSizeLine, kGhostLine});
  for (int slot = kSizeLine; slot <= kGhostLine; ++slot) {
    PlaceButton(game, slot, "OptionButton_Active", "OptionButton_Inactive", 0, 0,
                layout::kOptionButtonX,
                layout::kOptionButtonY[static_cast<std::size_t>(slot - kSizeLine)]);
  }
  ShowScreenBackdrop(game, "MoreSettingsBackground");
}

void HideMoreSettings(Game& game) {
  for (int slot = kSizeLine; slot <= kGhostLine; ++slot) FreeButtonSlot(game.Menu.Buttons, slot);
  FreeSprite(game.Menu.ScreenBackdrop);
  DisableTimer(game);
}

void MoreSettingsTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateVertical(game, true);
  ShowMainButtonActive(game, kOptionsMainButton);
  const int selected = game.Menu.Buttons.SelectedButton;
  if (!StaysOnMoreSettings(selected)) {
    // Another main-menu button picked with the mouse: straight to the main menu.
    HideMoreSettings(game);
    ShowMainMenu(game, false, MenuEntryModes::SelectStart);
    DrawFrame(game, lagCount, true);
    FlipFrame(game);
    return;
  }
  if (const int step = HorizontalStep(game); step != 0 && selected >= kSizeLine) {
    ChangeLine(game, selected, step);
    PlayButtonPress(game);
  }
  DrawFrame(game, lagCount, true);
  DrawLines(game);
  FlipFrame(game);
}

void MoreSettingsActivate(Game& game) {
  const int selected = game.Menu.Buttons.SelectedButton;
  if (selected == kOptionsMainButton) {
    HideMoreSettings(game);
    ShowOptions(game, kOptionsMoreLine);
    return;
  }
  ChangeLine(game, selected, 1);
}

}  // namespace rivoltra
