// The high-score screen: the local table, clearing it, and the online table.
#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {

constexpr int kClearButton = 7;
constexpr int kViewOnlineButton = 8;
constexpr int kHighScoresMainButton = 3;

void LeaveHighScores(Game& game) {
  HideHighScores(game);
  ShowMainMenu(game, false, 0);
}

}  // namespace

void ShowHighScores(Game& game) {
  MenuState& menu = game.menu;
  game.ScreenState = ssHighScores;
  menu.buttons.ButtonCount = kViewOnlineButton;
  menu.buttons.SelectedButton = kViewOnlineButton;
  menu.FirstSelectable = kClearButton;
  menu.LastSelectable = kViewOnlineButton;
  game.text.SelectMediumActiveFont();
  if (menu.MenuCaption != nullptr) menu.MenuCaption->Visible = false;
  EnableTimer(game);
  FreeSprite(menu.ScreenBackdrop);
  menu.ScreenBackdrop = NewCaption(game, "HighScoresBackground");
  menu.ScreenBackdrop->SetZ(2);
  menu.ScreenBackdrop->X = 14;
  menu.ScreenBackdrop->Y = 115;
  TSprite* root = &game.MSpriteEngine.Engine();
  FreeButtonSlot(menu.buttons, kClearButton);
  FreeButtonSlot(menu.buttons, kViewOnlineButton);
  menu.buttons.MenuButtons[kClearButton] = new TMenuButton(
      root, game.MImageList.Items(), "ClearHighScores", "ClearHighScores", 1, 0, 27, 412);
  menu.buttons.MenuButtons[kViewOnlineButton] = new TMenuButton(
      root, game.MImageList.Items(), "ViewHighScores", "ViewHighScores", 1, 0, 283, 412);
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
  if (stays) DrawHighScores(game.highScores, [&game](std::string_view text, int x, int y) {
    WriteText(game, text, x, y);
  });
  FlipFrame(game);
}

void HighScoresActivate(Game& game) {
  switch (game.menu.buttons.SelectedButton) {
    case 0: break;
    case kClearButton: ResetHighScores(game.highScores); break;
    case kViewOnlineButton: OpenInBrowser(game, OnlineTableAddress(game.online)); break;
    default: LeaveHighScores(game); break;
  }
}

}  // namespace rivoltra
