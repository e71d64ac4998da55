// The options screen: display mode, music, sound and the player's country.
#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kTextCursorAboveButtonsZ = 5;

constexpr int kDisplayLine = 7;
constexpr int kMusicLine = 8;
constexpr int kSoundLine = 9;
constexpr int kCountryLine = 10;
constexpr int kOptionsMainButton = 2;
constexpr std::int32_t kCountryX = layout::kOptionChoiceX;
constexpr std::int32_t kCountryRightEdge = 500;
constexpr std::int32_t kCountryCursorMinimumX = 264;
constexpr double kCountryCursorY = 312;

void StopEditing(Game& game) {
  game.menu.EditingCountry = false;
  if (game.menu.TextCursor != nullptr) game.menu.TextCursor->Visible = false;
}

// One line of choices: the word of the current state in the highlighted font, the rest in the
// normal one.
void DrawChoice(Game& game, int y, std::string_view first, int firstX, int slashX,
                std::string_view second, int secondX, bool firstChosen) {
  BitmapText& text = game.text;
  firstChosen ? text.SelectMediumActiveFont() : text.SelectMediumFont();
  WriteText(game, first, firstX, y);
  text.SelectMediumFont();
  WriteText(game, "/", slashX, y);
  firstChosen ? text.SelectMediumFont() : text.SelectMediumActiveFont();
  WriteText(game, second, secondX, y);
}

void DrawOptionLines(Game& game) {
  const Settings& settings = game.settings;
  using namespace layout;
  const auto& y = kOptionTextY;
  game.text.SelectBigFont();
  WriteText(game, "DISPLAY:", kOptionLabelX, y[0]);
  WriteText(game, "MUSIC:", kOptionLabelX, y[1]);
  WriteText(game, "SOUND:", kOptionLabelX, y[2]);
  DrawChoice(game, y[0], "WINDOW", kOptionChoiceX, kDisplaySlashX, "FULL SCREEN", kFullScreenX,
             settings.FullScreen == 0);
  DrawChoice(game, y[1], "ON", kOptionChoiceX, kOnOffSlashX, "OFF", kOffX,
             settings.MusicEnabled != 0);
  DrawChoice(game, y[2], "ON", kOptionChoiceX, kOnOffSlashX, "OFF", kOffX,
             settings.SoundEnabled != 0);
  game.text.SelectBigFont();
  WriteText(game, "YOUR COUNTRY:", kOptionLabelX, y[3]);
  WriteText(game, settings.Country, kCountryX, y[3]);
}

bool StaysOnOptions(int selected) {
  return selected == 0 || selected == kOptionsMainButton ||
         (selected >= kDisplayLine && selected <= kCountryLine);
}

void LeaveOptions(Game& game) {
  HideOptions(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowOptions(Game& game) {
  MenuState& menu = game.menu;
  BeginSubScreen(game, GameScreen::Options,
                 {kCountryLine, kDisplayLine, kDisplayLine, kCountryLine});
  for (int slot = kDisplayLine; slot <= kCountryLine; ++slot) {
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
  MenuState& menu = game.menu;
  for (int slot = kDisplayLine; slot <= kCountryLine; ++slot) FreeButtonSlot(menu.buttons, slot);
  FreeSprite(menu.ScreenBackdrop);
  FreeSprite(menu.TextCursor);
  menu.EditingCountry = false;
  DisableTimer(game);
}

void OptionsTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateVertical(game, true);
  ShowMainButtonActive(game, kOptionsMainButton);
  if (!StaysOnOptions(game.menu.buttons.SelectedButton)) {
    LeaveOptions(game);
    DrawFrame(game, lagCount, true);
    FlipFrame(game);
    return;
  }
  DrawFrame(game, lagCount, true);
  if (game.menu.EditingCountry) {
    // Before the lines are drawn: the cursor follows the country of the previous frame.
    PlaceTextCursor(game, kCountryRightEdge, kCountryCursorMinimumX);
    BlinkTextCursor(game);
  }
  DrawOptionLines(game);
  FlipFrame(game);
}

void OptionsActivate(Game& game) {
  MenuState& menu = game.menu;
  Settings& settings = game.settings;
  const int selected = menu.buttons.SelectedButton;
  switch (selected) {
    case kDisplayLine:
      settings.FullScreen = settings.FullScreen != 0 ? 0 : 1;
      ApplyDisplayMode(game);
      PlayButtonPress(game);
      break;
    case kMusicLine: {
      const bool wasOn = settings.MusicEnabled != 0;
      settings.MusicEnabled = wasOn ? 0 : 1;
      if (wasOn) StopMusic(game);
      if (settings.MusicEnabled != 0) PlayScreenMusic(game);
      PlayButtonPress(game);
      break;
    }
    case kSoundLine:
      settings.SoundEnabled = settings.SoundEnabled != 0 ? 0 : 1;
      // Heard only when the sound has just been switched on.
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
    case kOptionsMainButton:
      LeaveOptions(game);
      break;
    default:
      break;
  }
  if (selected != kCountryLine) StopEditing(game);
}

void TypeIntoCountry(Game& game, char key) {
  TypeIntoField(game, game.settings.Country, key, kCountryX, kCountryRightEdge);
}

}  // namespace rivoltra
