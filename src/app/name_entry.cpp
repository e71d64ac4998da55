// The name entry after a game whose score earns a place in the table.
#include "app/game.h"
#include "app/race_recording.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr std::int32_t kNameX = layout::kNameX;
constexpr std::int32_t kNameY = layout::kNameY;
constexpr std::int32_t kNameRightEdge = layout::kNameRightEdge;
constexpr std::int32_t kNameCursorMinimumX = 398;

}  // namespace

void ShowNameEntry(Game& game) {
  MenuState& menu = game.Menu;
  game.ScreenState = GameScreen::NameEntry;
  game.ScrollBackground->Image = &game.InterfaceImages.ItemByName("MainMenuBackground");
  FreeSprite(menu.MenuCaption);
  menu.MenuCaption = NewCaption(game, "EnterYourName");
  menu.MenuCaption->X = layout::kDialogX;
  menu.MenuCaption->Y = layout::kDialogY;
  FreeSprite(menu.TextCursor);
  menu.TextCursor = NewCaption(game, "Cursor");
  menu.TextCursor->X = kNameCursorMinimumX;
  menu.TextCursor->Y = layout::kNameCursorY;
  menu.TextCursor->SetZ(5);
  menu.TextCursor->Visible = true;
  menu.PlayerName = "NONAME";
  // The name has not been drawn yet, so the last TextEndX belongs to the race; the cursor goes
  // where the drawing of the name will end.
  const std::int32_t nameEnd = BigTextEndX(game, menu.PlayerName, kNameX);
  if (nameEnd <= kNameRightEdge - menu.TextCursor->Width) {
    menu.TextCursor->X = nameEnd < kNameCursorMinimumX ? kNameCursorMinimumX : nameEnd;
  }
  menu.CursorBlinkMs = 500;
  EnableTimer(game);
}

void FinishNameEntry(Game& game) {
  MenuState& menu = game.Menu;
  // A daily run comes here whatever its score; only a score that earns a place enters the table.
  if (ScoreQualifies(game.HighScores, game.Race.State.Score)) {
    InsertHighScore(game.HighScores, menu.PlayerName, game.Race.State.Score);
  }
  NameLastRecording(game, menu.PlayerName, game.Settings.Country);
  FreeSprite(menu.MenuCaption);
  FreeSprite(menu.TextCursor);
}

void NameEntryTick(Game& game, std::int32_t lagCount) {
  MenuState& menu = game.Menu;
  BlinkTextCursor(game);
  DrawFrame(game, lagCount, true);
  game.Text.SelectBigFont();
  WriteText(game, menu.PlayerName, kNameX, kNameY);
  // An empty name draws nothing and leaves TextEndX where an earlier text ended.
  const std::int32_t textEnd = game.Text.TextEndX;
  PlaceTextCursor(game, kNameRightEdge, kNameCursorMinimumX);
  if (menu.PlayerName.empty() && menu.TextCursor != nullptr &&
      textEnd <= kNameRightEdge - menu.TextCursor->Width) {
    menu.TextCursor->X = kNameCursorMinimumX;
  }
  FlipFrame(game);
}

void TypeIntoName(Game& game, char key) {
  TypeIntoField(game, game.Menu.PlayerName, key, kNameX, kNameRightEdge);
}

}  // namespace rivoltra
