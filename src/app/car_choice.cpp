// The car choice before a race, and the way from any menu screen into a new game.
#include "app/game.h"
#include "app/race_recording.h"
#include "app/race_scene/race.h"
#include "app/screens.h"
#include "app/ticket_request.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kFirstCar = kFirstScreenSlot;
constexpr int kLastCar = kFirstCar + 3;
constexpr int kStartMainButton = kStartSlot;

bool IsCarButton(int slot) { return slot >= kFirstCar && slot <= kLastCar; }

void LeaveCarChoice(Game& game) {
  HideCarChoice(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowCarChoice(Game& game) {
  BeginSubScreen(game, GameScreen::CarChoice, {kLastCar, kFirstCar, kFirstCar, kLastCar});
  ShowScreenBackdrop(game, "StartGameBackground");
  for (int slot = kFirstCar; slot <= kLastCar; ++slot) {
    const std::string car = "Car" + std::to_string(slot - kFirstCar + 1);
    PlaceButton(game, slot, car + "_Active", car, 0, 0,
                layout::kCarButtonX[static_cast<std::size_t>(slot - kFirstCar)],
                layout::kCarButtonY);
  }
  // Asked for while the player chooses, so the race need not wait for it.
  RequestRaceTicket(game);
}

void HideCarChoice(Game& game) {
  MenuState& menu = game.Menu;
  FreeSprite(menu.ScreenBackdrop);
  for (int slot = kFirstCar; slot <= kLastCar; ++slot) FreeButtonSlot(menu.Buttons, slot);
  DisableTimer(game);
}

void CarChoiceTick(Game& game, std::int32_t lagCount) {
  NavigateHorizontal(game, true);
  UpdateButtonHighlight(game);
  ShowMainButtonActive(game, kStartMainButton);
  const int selected = game.Menu.Buttons.SelectedButton;
  if (selected != 0 && selected != kStartMainButton && !IsCarButton(selected)) {
    LeaveCarChoice(game);
  }
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void CarChoiceActivate(Game& game) {
  const int selected = game.Menu.Buttons.SelectedButton;
  if (IsCarButton(selected)) {
    StartGameWithCar(game, selected - kFirstCar + 1);
  } else if (selected != 0) {
    LeaveCarChoice(game);
  }
}

void StartGameWithCar(Game& game, std::int32_t car) {
  StartRaceFromMenus(game, car, TakeRaceTicket(game));
}

void StartRaceFromMenus(Game& game, std::int32_t car, const std::optional<RaceTicket>& ticket,
                        std::optional<std::uint32_t> dailyDay) {
  MenuState& menu = game.Menu;
  // A daily run marks itself once started; any other race is none.
  game.Daily.RaceDay.reset();
  switch (game.ScreenState) {
    case GameScreen::CarChoice:
      HideCarChoice(game);
      break;
    case GameScreen::Options:
      HideOptions(game);
      break;
    case GameScreen::Controls:
      HideControls(game);
      break;
    case GameScreen::MoreSettings:
      HideMoreSettings(game);
      break;
    case GameScreen::HighScores:
      HideHighScores(game);
      break;
    case GameScreen::Help:
      HideHelp(game);
      break;
    case GameScreen::DailyRun:
      HideDailyRun(game);
      break;
    case GameScreen::NameEntry:
      // Left without confirming: the name does not enter the table.
      FreeSprite(menu.MenuCaption);
      FreeSprite(menu.TextCursor);
      break;
    case GameScreen::SendResults:
      HideSendResults(game);
      break;
    default:
      break;
  }
  // Back on the main menu (its sprites, when standing, are closed just after), as the car
  // choice's own activation does.
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
  CloseMainMenu(game);
  game.Race.State.CarChoice = car;
  BeginRaceRecording(game, car, ticket);
  OpenRaceScreen(game);
  StartGhost(game, BestRunCourse{car, dailyDay});
}

}  // namespace rivoltra
