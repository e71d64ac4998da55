// The high-score screen: the local table, clearing it, and the online table.
#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kClearButton = 7;
constexpr int kViewOnlineButton = 8;
constexpr int kHighScoresMainButton = 3;

void LeaveHighScores(Game& game) {
  HideHighScores(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowHighScores(Game& game) {
  game.text.SelectMediumActiveFont();
  BeginSubScreen(game, ssHighScores,
                 {kViewOnlineButton, kViewOnlineButton, kClearButton, kViewOnlineButton});
  ShowScreenBackdrop(game, "HighScoresBackground");
  FreeButtonSlot(game.menu.buttons, kViewOnlineButton);
  PlaceButton(game, kClearButton, "ClearHighScores", "ClearHighScores", 1, 0,
              layout::kHighScoreButtonX[0], layout::kHighScoreButtonY);
  PlaceButton(game, kViewOnlineButton, "ViewHighScores", "ViewHighScores", 1, 0,
              layout::kHighScoreButtonX[1], layout::kHighScoreButtonY);
}

void HideHighScores(Game& game) {
  MenuState& menu = game.menu;
  FreeSprite(menu.ScreenBackdrop);
  FreeButtonSlot(menu.buttons, kClearButton);
  FreeButtonSlot(menu.buttons, kViewOnlineButton);
  DisableTimer(game);
}

void HighScoresTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateHorizontal(game, true);
  ShowMainButtonActive(game, kHighScoresMainButton);
  const int selected = game.menu.buttons.SelectedButton;
  const bool stays = selected == 0 || selected == kHighScoresMainButton ||
                     selected == kClearButton || selected == kViewOnlineButton;
  if (!stays) LeaveHighScores(game);
  DrawFrame(game, lagCount, true);
  // The table is drawn in the font selected when the screen opened.
  if (stays)
    DrawHighScores(game.highScores,
                   [&game](std::string_view text, int x, int y) { WriteText(game, text, x, y); });
  FlipFrame(game);
}

void HighScoresActivate(Game& game) {
  switch (game.menu.buttons.SelectedButton) {
    case 0:
      break;
    case kClearButton:
      ResetHighScores(game.highScores);
      break;
    case kViewOnlineButton:
      OpenInBrowser(game, OnlineTableAddress(game.online));
      break;
    default:
      LeaveHighScores(game);
      break;
  }
}

}  // namespace rivoltra
