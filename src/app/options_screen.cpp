// The options screen: display mode, the volumes, the player's country, and the ways to the
// controls and the further settings.
#include "app/game.h"
#include "app/option_rows.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kTextCursorAboveButtonsZ = 5;

constexpr int kDisplayLine = kFirstScreenSlot;
constexpr int kMusicLine = kFirstScreenSlot + 1;
constexpr int kSoundLine = kFirstScreenSlot + 2;
constexpr int kCountryLine = kFirstScreenSlot + 3;
constexpr int kControlsLine = kFirstScreenSlot + 4;
constexpr int kMoreLine = kFirstScreenSlot + 5;
constexpr int kOptionsMainButton = kOptionsSlot;
constexpr std::int32_t kCountryX = layout::kOptionChoiceX;
constexpr std::int32_t kCountryRightEdge = 500;
constexpr std::int32_t kCountryCursorMinimumX = 264;
constexpr double kCountryCursorY = 312;

void StopEditing(Game& game) {
  game.Menu.EditingCountry = false;
  if (game.Menu.TextCursor != nullptr) game.Menu.TextCursor->Visible = false;
}

void DrawOptionLines(Game& game) {
  const Settings& settings = game.Settings;
  using namespace layout;
  const auto& y = kOptionTextY;
  game.Text.SelectBigFont();
  WriteText(game, "DISPLAY:", kOptionLabelX, y[0]);
  WriteText(game, "MUSIC:", kOptionLabelX, y[1]);
  WriteText(game, "SOUND:", kOptionLabelX, y[2]);
  DrawChoice(game, y[0], "WINDOW", kOptionChoiceX, kDisplaySlashX, "FULL SCREEN", kFullScreenX,
             settings.FullScreen == 0);
  DrawVolume(game, y[1], game.Preferences.MusicVolume);
  DrawVolume(game, y[2], game.Preferences.SoundVolume);
  game.Text.SelectMediumFont();
  WriteText(game, "KEYS AND CONTROLLER", kOptionChoiceX, y[4]);
  WriteText(game, "WINDOW / ONLINE", kOptionChoiceX, y[5]);
  game.Text.SelectBigFont();
  WriteText(game, "CONTROLS", kOptionLabelX, y[4]);
  WriteText(game, "MORE SETTINGS", kOptionLabelX, y[5]);
  // The country's line last: the text cursor and the typing limit follow where the drawing
  // ended (TextEndX), the label's end while the country is empty.
  WriteText(game, "YOUR COUNTRY:", kOptionLabelX, y[3]);
  WriteText(game, settings.Country, kCountryX, y[3]);
}

// The volume under the mouse when it rests on the bar of the selected line, else -1.
int ClickedVolume(const Game& game, int selected) {
  const int line = selected - kDisplayLine;
  const int top = layout::kOptionTextY[static_cast<std::size_t>(line)] + layout::kVolumeBarY;
  if (game.MouseY < top || game.MouseY >= top + layout::kVolumeBarHeight) return -1;
  return VolumeAtX(game.MouseX);
}

// A volume line's step, or its activation: a click on the bar sets the volume there, anything
// else switches between off and the volume it had.
void ChangeVolume(Game& game, int selected, int step) {
  const bool music = selected == kMusicLine;
  const int current = music ? game.Preferences.MusicVolume : game.Preferences.SoundVolume;
  int& beforeOff = music ? game.Menu.MusicVolumeBeforeOff : game.Menu.SoundVolumeBeforeOff;
  int wanted = current;
  if (step != 0) {
    wanted = SteppedVolume(current, step);
  } else if (const int clicked = ClickedVolume(game, selected); clicked >= 0) {
    wanted = clicked;
  } else {
    wanted = current > 0 ? 0 : beforeOff;
  }
  if (current > 0) beforeOff = current;
  music ? SetMusicVolume(game, wanted) : SetSoundVolume(game, wanted);
}

bool StaysOnOptions(int selected) {
  return selected == 0 || selected == kOptionsMainButton ||
         (selected >= kDisplayLine && selected <= kMoreLine);
}

void LeaveOptions(Game& game) {
  HideOptions(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowOptions(Game& game, int selectedLine) {
  MenuState& menu = game.Menu;
  const int selected =
      selectedLine >= kDisplayLine && selectedLine <= kMoreLine ? selectedLine : kDisplayLine;
  BeginSubScreen(game, GameScreen::Options, {kMoreLine, selected, kDisplayLine, kMoreLine});
  for (int slot = kDisplayLine; slot <= kMoreLine; ++slot) {
    PlaceButton(game, slot, "OptionButton_Active", "OptionButton_Inactive", 0, 0,
                layout::kOptionButtonX,
                layout::kOptionButtonY[static_cast<std::size_t>(slot - kDisplayLine)]);
  }
  ShowScreenBackdrop(game, "OptionsBackground");
  FreeSprite(menu.TextCursor);
  menu.TextCursor = NewCaption(game, "Cursor");
  menu.TextCursor->X = kCountryCursorMinimumX;
  // Above the option buttons: the country line's button covers the cursor's row, and a cursor
  // drawn underneath it could never be seen.
  menu.TextCursor->SetZ(kTextCursorAboveButtonsZ);
  menu.TextCursor->Visible = false;
  menu.CursorBlinkMs = 0;
  menu.EditingCountry = false;
}

void HideOptions(Game& game) {
  MenuState& menu = game.Menu;
  for (int slot = kDisplayLine; slot <= kMoreLine; ++slot) FreeButtonSlot(menu.Buttons, slot);
  FreeSprite(menu.ScreenBackdrop);
  FreeSprite(menu.TextCursor);
  menu.EditingCountry = false;
  DisableTimer(game);
}

void OptionsTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateVertical(game, true);
  ShowMainButtonActive(game, kOptionsMainButton);
  if (!StaysOnOptions(game.Menu.Buttons.SelectedButton)) {
    LeaveOptions(game);
    DrawFrame(game, lagCount, true);
    FlipFrame(game);
    return;
  }
  const int selected = game.Menu.Buttons.SelectedButton;
  const int step = HorizontalStep(game);
  if (step != 0 && (selected == kMusicLine || selected == kSoundLine)) {
    ChangeVolume(game, selected, step);
    PlayButtonPress(game);
  }
  DrawFrame(game, lagCount, true);
  if (game.Menu.EditingCountry) {
    // Before the lines are drawn: the cursor follows the country of the previous frame.
    PlaceTextCursor(game, kCountryRightEdge, kCountryCursorMinimumX);
    BlinkTextCursor(game);
  }
  DrawOptionLines(game);
  FlipFrame(game);
}

void OptionsActivate(Game& game) {
  MenuState& menu = game.Menu;
  Settings& settings = game.Settings;
  const int selected = menu.Buttons.SelectedButton;
  switch (selected) {
    case kDisplayLine:
      settings.FullScreen = settings.FullScreen != 0 ? 0 : 1;
      ApplyDisplayMode(game);
      PlayButtonPress(game);
      break;
    case kMusicLine:
    case kSoundLine:
      ChangeVolume(game, selected, 0);
      // After the sound line, heard only when the sound is on now, at its new volume.
      PlayButtonPress(game);
      break;
    case kCountryLine:
      if (menu.EditingCountry) {
        StopEditing(game);
      } else if (menu.TextCursor != nullptr) {
        PlaceTextCursor(game, kCountryRightEdge, kCountryCursorMinimumX);
        menu.TextCursor->Y = kCountryCursorY;
        menu.CursorBlinkMs = 500;
        menu.EditingCountry = true;
      }
      PlayButtonPress(game);
      break;
    case kControlsLine:
      HideOptions(game);
      ShowControls(game);
      return;
    case kMoreLine:
      HideOptions(game);
      ShowMoreSettings(game);
      return;
    case kOptionsMainButton:
      LeaveOptions(game);
      break;
    default:
      break;
  }
  if (selected != kCountryLine) StopEditing(game);
}

void TypeIntoCountry(Game& game, char key) {
  TypeIntoField(game, game.Settings.Country, key, kCountryX, kCountryRightEdge);
}

}  // namespace rivoltra
