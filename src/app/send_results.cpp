// The question whether to send the result to the score server.
#include "app/game.h"
#include "app/race_recording.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;

// Whatever became of the sending, the main menu slides in and then shows the table.
void LeaveSendResults(Game& game) {
  HideSendResults(game);
  ShowMainMenu(game, true, MenuEntryModes::ShowHighScores);
}

}  // namespace

void ShowSendResults(Game& game) {
  MenuState& menu = game.menu;
  SetScreenButtons(game, GameScreen::SendResults,
                   {kCancelButton, kOkButton, kOkButton, kCancelButton});
  FreeSprite(menu.MenuCaption);
  menu.MenuCaption = NewCaption(game, "SendResults");
  menu.MenuCaption->X = layout::kDialogX;
  menu.MenuCaption->Y = layout::kDialogY;
  FreeButtonSlot(menu.buttons, kCancelButton);
  PlaceButton(game, kOkButton, "OkButton2", "OkButton2", 1, 0, layout::kSendButtonX[0],
              layout::kSendButtonY);
  PlaceButton(game, kCancelButton, "CancelButton2", "CancelButton2", 1, 0, layout::kSendButtonX[1],
              layout::kSendButtonY);
  game.ScrollBackground->Image = &game.InterfaceImages.ItemByName("MainMenuBackground");
  EnableTimer(game);
}

void HideSendResults(Game& game) {
  FreeMenuButtons(game.menu.buttons);
  FreeSprite(game.menu.MenuCaption);
  DisableTimer(game);
}

void SendResultsTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateHorizontal(game, true);
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void SendResultsActivate(Game& game) {
  switch (game.menu.buttons.SelectedButton) {
    case kOkButton: {
      const std::unique_ptr<HttpTransport> transport =
          game.platform.OpenHttp(LimitsOf(game.online));
      const SubmitResult sent = SendScore(
          *transport, game.online,
          [&game](std::string_view text) { game.platform.ShowMessage(std::string(text)); },
          game.menu.PlayerName, game.race.Score, game.settings.Country);
      // The game's replay lets the server verify the entry; a server without replays simply
      // leaves it unverified.
      if (sent.Outcome == SubmitOutcome::Sent) {
        UploadReplay(*transport, game.online, sent.Token, CurrentReplayBytes(game));
      }
      LeaveSendResults(game);
      break;
    }
    case kCancelButton:
      LeaveSendResults(game);
      break;
    default:
      break;
  }
}

}  // namespace rivoltra
