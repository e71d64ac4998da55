// Small pieces every menu screen is built from.
#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

TCaptionSprite* NewCaption(Game& game, std::string_view imageName) {
  return new TCaptionSprite(&game.MSpriteEngine.Engine(), ScreenImageList(game).ItemByName(imageName),
                            game.MTimer.Interval());
}

void PlayButtonPress(Game& game) {
  if (game.ScreenState != ssRace) PlaySound(game, "Button_Pressed");
}

void UpdateButtonHighlight(Game& game) {
  UpdateButtonHighlight(game.menu.buttons, [&game] { PlaySound(game, "Button_Activated"); });
}

void ShowMainButtonActive(Game& game, int slot) {
  if (TMenuButton* button = game.menu.buttons.Slot(slot)) button->Highlight();
}

void OpenInBrowser(Game& game, const std::string& address) {
  (void)game.platform.OpenWithShell(address);
}

}  // namespace rivoltra
