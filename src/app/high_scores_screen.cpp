// The high-score screen: the local table, clearing it, and the online table.
#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kClearButton = kFirstScreenSlot;
constexpr int kViewOnlineButton = kFirstScreenSlot + 1;
constexpr int kHighScoresMainButton = kHighScoresSlot;

// Rank, name and score of the ten rows, in the font selected when the screen opened.
void DrawHighScoreRows(Game& game) {
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    const int y = layout::HighScoreRowY(rank);
    const HighScoreEntry& entry = game.HighScores.Entry(rank);
    WriteText(game, std::to_string(rank), layout::kHighScoreRankX, y);
    WriteText(game, entry.EntryName, layout::kHighScoreNameX, y);
    WriteText(game, std::to_string(entry.EntryScore), layout::kHighScoreScoreX, y);
  }
}

void LeaveHighScores(Game& game) {
  HideHighScores(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowHighScores(Game& game) {
  game.Text.SelectMediumActiveFont();
  BeginSubScreen(game, GameScreen::HighScores,
                 {kViewOnlineButton, kViewOnlineButton, kClearButton, kViewOnlineButton});
  ShowScreenBackdrop(game, "HighScoresBackground");
  FreeButtonSlot(game.Menu.Buttons, kViewOnlineButton);
  PlaceButton(game, kClearButton, "ClearHighScores", "ClearHighScores", 1, 0,
              layout::kHighScoreButtonX[0], layout::kHighScoreButtonY);
  PlaceButton(game, kViewOnlineButton, "ViewHighScores", "ViewHighScores", 1, 0,
              layout::kHighScoreButtonX[1], layout::kHighScoreButtonY);
}

void HideHighScores(Game& game) {
  MenuState& menu = game.Menu;
  FreeSprite(menu.ScreenBackdrop);
  FreeButtonSlot(menu.Buttons, kClearButton);
  FreeButtonSlot(menu.Buttons, kViewOnlineButton);
  DisableTimer(game);
}

void HighScoresTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateHorizontal(game, true);
  ShowMainButtonActive(game, kHighScoresMainButton);
  const int selected = game.Menu.Buttons.SelectedButton;
  const bool stays = selected == 0 || selected == kHighScoresMainButton ||
                     selected == kClearButton || selected == kViewOnlineButton;
  if (!stays) LeaveHighScores(game);
  DrawFrame(game, lagCount, true);
  if (stays) DrawHighScoreRows(game);
  FlipFrame(game);
}

void HighScoresActivate(Game& game) {
  switch (game.Menu.Buttons.SelectedButton) {
    case 0:
      break;
    case kClearButton:
      ResetHighScores(game.HighScores);
      break;
    case kViewOnlineButton:
      OpenInBrowser(game, OnlineTableAddress(game.Online));
      break;
    default:
      LeaveHighScores(game);
      break;
  }
}

}  // namespace rivoltra
