// The main menu: its full creation with the slide-in, its tick and its activation.
#include "app/game.h"
#include "app/race_scene/race.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kMainButtons = kMainMenuSlots;
constexpr double kButtonStep = 7;
// The buttons move while the first is right of this: from the screen's edge, 35 steps of 7 bring
// it to the column.
constexpr double kButtonRestX = layout::kMenuButtonX + 3;
static_assert((layout::kScreenWidth - layout::kMenuButtonX) % 7 == 0);
constexpr double kUpPanelStep = 3;
constexpr double kDownPanelStep = 2;
constexpr double kScreenWidth = layout::kScreenWidth;
constexpr double kScreenHeight = layout::kScreenHeight;

void CreateMainMenuSprites(Game& game) {
  MenuState& menu = game.Menu;
  Sprite* root = &game.Sprites.Engine();
  // Nothing is standing in the flows of the game; a second full creation must not leave the
  // first one's sprites on the screen without anyone to free them.
  FreeSprite(menu.MenuCaption);
  FreeSprite(menu.UpPanelSprite);
  FreeSprite(menu.DownPanelSprite);
  for (int slot = 1; slot <= kMainButtons; ++slot) FreeButtonSlot(menu.Buttons, slot);
  game.ScrollBackground->Image = &game.InterfaceImages.ItemByName("MainMenuBackground");

  menu.MenuCaption = NewCaption(game, "NullCaption");
  menu.MenuCaption->X = layout::kCaptionX;
  menu.MenuCaption->Y = layout::kCaptionY;
  // The panels wait just outside the screen, the top one above it, the bottom one below it.
  menu.UpPanelSprite = NewCaption(game, "UpPanel");
  menu.UpPanelSprite->X = 0;
  menu.UpPanelSprite->Y = -menu.UpPanelSprite->Height;
  menu.DownPanelSprite = NewCaption(game, "DownPanel");
  menu.DownPanelSprite->X = kScreenWidth - menu.DownPanelSprite->Width;
  menu.DownPanelSprite->Y = kScreenHeight;

  const auto& kButtonY = layout::kMenuButtonY;
  static_assert(layout::kMenuButtonY.size() == kMainButtons);
  for (int slot = 1; slot < kExitSlot; ++slot) {
    menu.Buttons.MenuButtons[static_cast<std::size_t>(slot)] = new MenuButton(
        root, game.InterfaceImages.Items(), "MainMenuButtons_Active", "MainMenuButtons_Inactive",
        slot - 1, slot - 1, kScreenWidth, kButtonY[static_cast<std::size_t>(slot - 1)]);
  }
  menu.Buttons.MenuButtons[kExitSlot] =
      new MenuButton(root, game.InterfaceImages.Items(), "MainMenu_ExitActive",
                     "MainMenu_ExitInactive", 0, 0, kScreenWidth, kButtonY[kMainButtons - 1]);
}

const char* CaptionImageOf(int selectedButton) {
  switch (selectedButton) {
    case kStartSlot:
      return "StartCaption";
    case kDailyRunSlot:
      return "DailyRunCaption";
    case kOptionsSlot:
      return "OptionsCaption";
    case kHighScoresSlot:
      return "HighScoresCaption";
    case kHelpSlot:
      return "HelpCaption";
    case kWebSiteSlot:
      return "VisitWWWCaption";
    case kExitSlot:
      return "ExitCaption";
    default:
      return nullptr;
  }
}

void ShowSelectedCaption(Game& game) {
  CaptionSprite* caption = game.Menu.MenuCaption;
  if (caption == nullptr) return;
  const int selected = game.Menu.Buttons.SelectedButton;
  caption->Visible = true;
  if (selected == 0) {
    caption->Visible = false;
  } else if (const char* image = CaptionImageOf(selected)) {
    caption->Image = &game.InterfaceImages.ItemByName(image);
  }
}

void SlidePanels(MenuState& menu) {
  CaptionSprite* up = menu.UpPanelSprite;
  CaptionSprite* down = menu.DownPanelSprite;
  if (up == nullptr || down == nullptr) return;
  if (up->Y < 0) up->Y += kUpPanelStep;
  if (down->Y > kScreenHeight - down->Height) down->Y -= kDownPanelStep;
  if (up->Y >= 0 && down->Y <= kScreenHeight - down->Height)
    menu.MenuPhase = MenuPhases::ButtonsMoving;
}

void SlideButtons(MenuState& menu) {
  const MenuButton* first = menu.Buttons.Slot(1);
  if (first != nullptr && first->X > kButtonRestX) {
    for (int slot = 1; slot <= menu.Buttons.ButtonCount; ++slot) {
      if (MenuButton* button = menu.Buttons.Slot(slot)) button->X -= kButtonStep;
    }
  } else {
    menu.MenuPhase = MenuPhases::Ready;
  }
}

}  // namespace

void ShowMainMenu(Game& game, bool createAll, MenuEntryModes entryMode) {
  MenuState& menu = game.Menu;
  game.ScreenState = GameScreen::MainMenu;
  menu.Buttons.ButtonCount = kMainButtons;
  menu.FirstSelectable = 1;
  menu.LastSelectable = kMainButtons;
  menu.MenuEntryMode = entryMode;
  if (createAll) {
    PlayScreenMusic(game);
    if (entryMode == MenuEntryModes::SelectStart) menu.Buttons.SelectedButton = kStartSlot;
    if (entryMode == MenuEntryModes::ShowDailyRun) menu.Buttons.SelectedButton = kDailyRunSlot;
    if (entryMode == MenuEntryModes::ShowHighScores) menu.Buttons.SelectedButton = kHighScoresSlot;
    menu.MenuPhase = MenuPhases::PanelsMoving;
    CreateMainMenuSprites(game);
  }
  if (menu.MenuCaption != nullptr) menu.MenuCaption->Visible = true;
  EnableTimer(game);
}

void CloseMainMenu(Game& game) {
  MenuState& menu = game.Menu;
  FreeMenuButtons(menu.Buttons);
  EndRunningBonus(game);
  FreeSprite(menu.MenuCaption);
  FreeSprite(menu.UpPanelSprite);
  FreeSprite(menu.DownPanelSprite);
  DisableTimer(game);
}

void MainMenuTick(Game& game, std::int32_t lagCount) {
  MenuState& menu = game.Menu;
  if (menu.MenuPhase == MenuPhases::Ready) {
    NavigateVertical(game, true);
    UpdateButtonHighlight(game);
    ShowSelectedCaption(game);
    if (menu.MenuEntryMode == MenuEntryModes::ShowHighScores) {
      ShowHighScores(game);
      menu.MenuEntryMode = MenuEntryModes::SelectStart;
    } else if (menu.MenuEntryMode == MenuEntryModes::ShowDailyRun) {
      ShowDailyRun(game);
      menu.MenuEntryMode = MenuEntryModes::SelectStart;
    }
  }
  // The phases follow each other within one tick: the tick in which the panels arrive already
  // moves the buttons.
  if (menu.MenuPhase == MenuPhases::PanelsMoving) SlidePanels(menu);
  if (menu.MenuPhase == MenuPhases::ButtonsMoving) SlideButtons(menu);
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void MainMenuActivate(Game& game) {
  if (game.Menu.MenuPhase != MenuPhases::Ready) return;
  switch (game.Menu.Buttons.SelectedButton) {
    case kStartSlot:
      ShowCarChoice(game);
      break;
    case kDailyRunSlot:
      ShowDailyRun(game);
      break;
    case kOptionsSlot:
      ShowOptions(game);
      break;
    case kHighScoresSlot:
      ShowHighScores(game);
      break;
    case kHelpSlot:
      ShowHelp(game);
      break;
    case kWebSiteSlot:
      OpenInBrowser(game, WebSiteAddress(game.Online));
      break;
    case kExitSlot:
      CloseMainMenu(game);
      SaveAndQuit(game);
      break;
    default:
      break;
  }
}

}  // namespace rivoltra
