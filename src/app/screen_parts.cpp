// Small pieces every menu screen is built from.
#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

CaptionSprite* NewCaption(Game& game, std::string_view imageName) {
  return new CaptionSprite(&game.Sprites.Engine(), ScreenImageList(game).ItemByName(imageName),
                           game.Timer.Interval());
}

void SetScreenButtons(Game& game, GameScreen screen, const ScreenButtons& buttons) {
  MenuState& menu = game.Menu;
  game.ScreenState = screen;
  menu.Buttons.ButtonCount = buttons.Count;
  menu.Buttons.SelectedButton = buttons.Selected;
  menu.FirstSelectable = buttons.First;
  menu.LastSelectable = buttons.Last;
}

void BeginSubScreen(Game& game, GameScreen screen, const ScreenButtons& buttons) {
  SetScreenButtons(game, screen, buttons);
  if (game.Menu.MenuCaption != nullptr) game.Menu.MenuCaption->Visible = false;
  EnableTimer(game);
}

void ShowScreenBackdrop(Game& game, std::string_view imageName) {
  CaptionSprite*& backdrop = game.Menu.ScreenBackdrop;
  FreeSprite(backdrop);
  backdrop = NewCaption(game, imageName);
  backdrop->X = layout::kSubPanelX;
  backdrop->Y = layout::kSubPanelY;
  backdrop->SetZ(2);
}

void PlaceButton(Game& game, int slot, const std::string& activeImage,
                 const std::string& inactiveImage, int activePattern, int inactivePattern, double x,
                 double y) {
  MenuButtonGroup& buttons = game.Menu.Buttons;
  FreeButtonSlot(buttons, slot);
  buttons.MenuButtons[static_cast<std::size_t>(slot)] =
      new MenuButton(&game.Sprites.Engine(), game.InterfaceImages.Items(), activeImage,
                     inactiveImage, activePattern, inactivePattern, x, y);
}

void PlayButtonPress(Game& game) {
  if (game.ScreenState != GameScreen::Race) PlaySound(game, "Button_Pressed");
}

void UpdateButtonHighlight(Game& game) {
  UpdateButtonHighlight(game.Menu.Buttons, [&game] { PlaySound(game, "Button_Activated"); });
}

void ShowMainButtonActive(Game& game, int slot) {
  if (MenuButton* button = game.Menu.Buttons.Slot(slot)) button->Highlight();
}

void OpenInBrowser(Game& game, const std::string& address) {
  (void)game.Platform.OpenWithShell(address);
}

}  // namespace rivoltra
