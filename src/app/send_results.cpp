// The question whether to send the result to the score server.
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/game.h"
#include "app/race_recording.h"
#include "app/screens.h"
#include "persist/unsent_results.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;

constexpr char kKeptMessage[] =
    "No connection to the score server. Your score is kept with its replay and will be sent "
    "the next time you are online.";

std::filesystem::path UnsentFolder(const Game& game) {
  return game.Paths.SaveFile(kUnsentResultsFolder);
}

// The result and its replay kept for later; false when it could not be written.
bool KeepForLater(Game& game) {
  UnsentResult result{game.Menu.PlayerName, game.Race.State.Score, game.Settings.Country,
                      CurrentReplayBytes(game)};
  return !KeepUnsentResult(UnsentFolder(game), result).empty();
}

// The file's text; nullopt when it cannot be read now (it stays for a later try).
std::optional<std::string> ReadUnsent(const std::filesystem::path& file) {
  std::ifstream input(file, std::ios::binary);
  if (!input) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
  if (input.bad()) return std::nullopt;
  return text;
}

// Whatever became of the sending, the main menu slides in and then shows the table: the daily
// screen after a daily run, the high scores after any other game.
void LeaveSendResults(Game& game) {
  HideSendResults(game);
  ShowMainMenu(game, true,
               game.Daily.RaceDay ? MenuEntryModes::ShowDailyRun : MenuEntryModes::ShowHighScores);
}

}  // namespace

void ShowSendResults(Game& game) {
  MenuState& menu = game.Menu;
  SetScreenButtons(game, GameScreen::SendResults,
                   {kCancelButton, kOkButton, kOkButton, kCancelButton});
  FreeSprite(menu.MenuCaption);
  menu.MenuCaption = NewCaption(game, "SendResults");
  menu.MenuCaption->X = layout::kDialogX;
  menu.MenuCaption->Y = layout::kDialogY;
  FreeButtonSlot(menu.Buttons, kCancelButton);
  PlaceButton(game, kOkButton, "OkButton2", "OkButton2", 1, 0, layout::kSendButtonX[0],
              layout::kSendButtonY);
  PlaceButton(game, kCancelButton, "CancelButton2", "CancelButton2", 1, 0, layout::kSendButtonX[1],
              layout::kSendButtonY);
  game.ScrollBackground->Image = &game.InterfaceImages.ItemByName("MainMenuBackground");
  EnableTimer(game);
}

void HideSendResults(Game& game) {
  FreeMenuButtons(game.Menu.Buttons);
  FreeSprite(game.Menu.MenuCaption);
  DisableTimer(game);
}

void SendResultsTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateHorizontal(game, true);
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void SendResultsActivate(Game& game) {
  switch (game.Menu.Buttons.SelectedButton) {
    case kOkButton: {
      const std::unique_ptr<HttpTransport> transport =
          game.Platform.OpenHttp(LimitsOf(game.Online));
      std::string failure;
      const SubmitResult sent = SendScore(
          *transport, game.Online, [&failure](std::string_view text) { failure = text; },
          game.Menu.PlayerName, game.Race.State.Score, game.Settings.Country);
      // The game's replay lets the server verify the entry; a server without replays simply
      // leaves it unverified.
      if (sent.Outcome == SubmitOutcome::Sent) {
        UploadReplay(*transport, game.Online, sent.Token, CurrentReplayBytes(game));
      } else if (sent.Outcome == SubmitOutcome::CannotConnect && game.KeepUnsentResults &&
                 KeepForLater(game)) {
        // Only a server out of reach is worth trying again; a refused name stays refused.
        game.Platform.ShowMessage(kKeptMessage);
      } else if (!failure.empty()) {
        game.Platform.ShowMessage(failure);
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

UnsentSending SendUnsentResults(Game& game) {
  UnsentSending count;
  const std::vector<std::filesystem::path> files = UnsentResultFiles(UnsentFolder(game));
  std::unique_ptr<HttpTransport> transport;
  for (const std::filesystem::path& file : files) {
    std::error_code error;
    const std::optional<std::string> text = ReadUnsent(file);
    if (!text) continue;
    const std::optional<UnsentResult> result = ParseUnsentResult(*text);
    if (!result) {
      // Not one of ours (an edited or cut file): it could never be sent.
      std::filesystem::remove(file, error);
      continue;
    }
    if (!transport) transport = game.Platform.OpenHttp(LimitsOf(game.Online));
    const SubmitResult sent =
        SendScore(*transport, game.Online, {}, result->PlayerName, result->Score, result->Country);
    if (sent.Outcome != SubmitOutcome::Sent) {
      count.Left = static_cast<int>(UnsentResultFiles(UnsentFolder(game)).size());
      return count;
    }
    UploadReplay(*transport, game.Online, sent.Token, result->Replay);
    std::filesystem::remove(file, error);
    ++count.Sent;
  }
  count.Left = static_cast<int>(UnsentResultFiles(UnsentFolder(game)).size());
  return count;
}

}  // namespace rivoltra
