// The help screen: four pages turned with Previous and Next.
#include "app/game.h"
#include "app/input_events.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kPreviousButton = kFirstScreenSlot;
constexpr int kNextButton = kFirstScreenSlot + 1;
constexpr int kHelpMainButton = kHelpSlot;
constexpr std::int32_t kHelpPages = 4;

const char* PageImage(std::int32_t page) {
  switch (page) {
    case 2:
      return "Help2";
    case 3:
      return "Help3";
    case 4:
      return "Help4";
    default:
      return "Help1";
  }
}

void LeaveHelp(Game& game) {
  HideHelp(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowHelp(Game& game) {
  MenuState& menu = game.Menu;
  menu.HelpPage = 1;
  BeginSubScreen(game, GameScreen::Help, {kNextButton, kNextButton, kPreviousButton, kNextButton});
  ShowScreenBackdrop(game, PageImage(menu.HelpPage));
  FreeButtonSlot(menu.Buttons, kNextButton);
  PlaceButton(game, kPreviousButton, "Previous", "Previous", 1, 0, layout::kHelpButtonX[0],
              layout::kHelpButtonY);
  PlaceButton(game, kNextButton, "Next", "Next", 1, 0, layout::kHelpButtonX[1],
              layout::kHelpButtonY);
}

void HideHelp(Game& game) {
  MenuState& menu = game.Menu;
  FreeSprite(menu.ScreenBackdrop);
  FreeButtonSlot(menu.Buttons, kPreviousButton);
  FreeButtonSlot(menu.Buttons, kNextButton);
  DisableTimer(game);
}

void HelpTick(Game& game, std::int32_t lagCount) {
  MenuState& menu = game.Menu;
  UpdateButtonHighlight(game);
  NavigateHorizontal(game, false);
  // Pushing on against the first or last button turns the page.
  if (menu.EdgeReached) {
    OnPointerClick(game);
    menu.EdgeReached = false;
  }
  // The activation may have closed the screen (a main-menu button picked with the mouse); its
  // sprites are gone then and must not be closed a second time.
  if (game.ScreenState == GameScreen::Help) {
    ShowMainButtonActive(game, kHelpMainButton);
    const int selected = menu.Buttons.SelectedButton;
    if (selected != 0 && selected != kHelpMainButton && selected != kPreviousButton &&
        selected != kNextButton) {
      LeaveHelp(game);
    }
  }
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void HelpActivate(Game& game) {
  MenuState& menu = game.Menu;
  switch (menu.Buttons.SelectedButton) {
    case 0:
      return;
    case kPreviousButton:
      menu.HelpPage = menu.HelpPage <= 1 ? kHelpPages : menu.HelpPage - 1;
      break;
    case kNextButton:
      menu.HelpPage = menu.HelpPage >= kHelpPages ? 1 : menu.HelpPage + 1;
      break;
    default:
      LeaveHelp(game);
      return;
  }
  if (menu.ScreenBackdrop != nullptr) {
    menu.ScreenBackdrop->Image = &game.InterfaceImages.ItemByName(PageImage(menu.HelpPage));
  }
}

}  // namespace rivoltra
