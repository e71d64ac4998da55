// The daily run's screen: today's course (date and car), the day's top ten from the score
// server, fetched while the screen stands, the player's own best of the day, and the start.
#include "app/daily_screen.h"

#include <array>
#include <cstdio>

#include "app/game.h"
#include "app/leader_ghost.h"
#include "app/screens.h"
#include "app/ticket_request.h"
#include "formats/daily_course.h"
#include "system/save_file.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kStartButton = kFirstScreenSlot;
constexpr int kDailyMainButton = kDailyRunSlot;
constexpr std::size_t kShownRows = 10;
// The fonts draw capitals, digits, spaces and a few signs only: every text here is made of them,
// two short lines each to fit beside the car.
struct StatusLines {
  const char* First;
  const char* Second;
};
constexpr StatusLines kLoadingLines{"ASKING THE SERVER", "FOR THE TABLE"};
constexpr StatusLines kNoConnectionLines{"THE DAILY TABLE", "NEEDS A CONNECTION"};
constexpr StatusLines kOddReplyLines{"THE SERVER SENT", "NO TABLE TO READ"};
constexpr StatusLines kOnlineOffLines{"ONLINE PLAY IS OFF", "IN THE SETTINGS"};
constexpr StatusLines kNoRunsLines{"NO RUNS YET TODAY", "BE THE FIRST"};

std::uint32_t Today(Game& game) { return DayOfUnixSeconds(game.Platform.WallClockSeconds()); }

std::filesystem::path BestsFile(const Game& game) {
  return game.Paths.SaveFile(kDailyBestsFileName);
}

DailyBests& Bests(Game& game) {
  if (!game.Daily.Bests) game.Daily.Bests = LoadDailyBests(BestsFile(game));
  return *game.Daily.Bests;
}

// "THU 10 DEC 2026": the fonts have no dash for the plain date.
std::string ShownDate(std::uint32_t day) {
  static constexpr std::array<const char*, 7> kWeekdays = {"THU", "FRI", "SAT", "SUN",
                                                           "MON", "TUE", "WED"};
  static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const std::string date = DateTextOf(day);  // YYYY-MM-DD
  const int month = std::stoi(date.substr(5, 2));
  const int dayOfMonth = std::stoi(date.substr(8, 2));
  return std::string(kWeekdays[day % 7]) + " " + std::to_string(dayOfMonth) + " " +
         kMonths[static_cast<std::size_t>(month - 1)] + " " + date.substr(0, 4);
}

// Asks for the day's table (and the day's ticket, so that it is in when the run starts).
void FetchDay(Game& game, std::uint32_t day) {
  DailyRunState& daily = game.Daily;
  daily.Day = day;
  daily.Entries.clear();
  daily.Pending.reset();
  if (!OnlinePlayEnabled(game)) {
    daily.Status = DailyTableStatus::OnlinePlayOff;
    return;
  }
  daily.Status = DailyTableStatus::Loading;
  daily.Pending = game.Platform.StartHttpGet(DailyListAddress(game.Online, day), kTicketLimits);
  RequestRaceTicket(game, day);
  // The day's leader races along as the ghost if its replay is in when the run starts.
  RequestLeaderGhost(game, day);
}

void TakeTableIfIn(DailyRunState& daily) {
  if (!daily.Pending || !daily.Pending->Done()) return;
  const std::optional<std::string> reply = daily.Pending->Reply();
  daily.Pending.reset();
  if (!reply) {
    daily.Status = DailyTableStatus::NeedsConnection;
    return;
  }
  std::optional<std::vector<DailyListEntry>> entries = DailyListOfReply(*reply, daily.Day);
  if (!entries) {
    daily.Status = DailyTableStatus::OddReply;
    return;
  }
  if (entries->size() > kShownRows) entries->resize(kShownRows);
  daily.Entries = std::move(*entries);
  daily.Status = DailyTableStatus::Shown;
}

void ShowCar(Game& game) {
  const std::int32_t car = DailyCourseOf(game.Daily.Day).Car;
  CaptionSprite*& picture = game.Menu.DailyCar;
  FreeSprite(picture);
  picture = NewCaption(game, "Car" + std::to_string(car));
  picture->X = layout::kDailyCarX;
  picture->Y = layout::kDailyCarY;
  picture->SetZ(3);
}

void DrawStatusLines(Game& game, const StatusLines& lines) {
  game.Text.SelectMediumActiveFont();
  WriteText(game, lines.First, layout::kDailyRankX, layout::DailyRowY(3));
  WriteText(game, lines.Second, layout::kDailyRankX, layout::DailyRowY(4));
}

void DrawTable(Game& game) {
  const DailyRunState& daily = game.Daily;
  switch (daily.Status) {
    case DailyTableStatus::Loading:
      return DrawStatusLines(game, kLoadingLines);
    case DailyTableStatus::NeedsConnection:
      return DrawStatusLines(game, kNoConnectionLines);
    case DailyTableStatus::OddReply:
      return DrawStatusLines(game, kOddReplyLines);
    case DailyTableStatus::OnlinePlayOff:
      return DrawStatusLines(game, kOnlineOffLines);
    case DailyTableStatus::Shown:
      break;
  }
  if (daily.Entries.empty()) return DrawStatusLines(game, kNoRunsLines);
  game.Text.SelectMediumFont();
  for (std::size_t row = 0; row < daily.Entries.size(); ++row) {
    const int rank = static_cast<int>(row) + 1;
    const int y = layout::DailyRowY(rank);
    WriteText(game, std::to_string(rank), layout::kDailyRankX, y);
    WriteText(game, daily.Entries[row].Name, layout::kDailyNameX, y);
    WriteText(game, std::to_string(daily.Entries[row].Score), layout::kDailyScoreX, y);
  }
}

void DrawDailyScreen(Game& game) {
  game.Text.SelectMediumActiveFont();
  WriteText(game, ShownDate(game.Daily.Day), layout::kDailyDateX, layout::kDailyDateY);
  DrawTable(game);
  const std::optional<std::int32_t> own = Bests(game).BestOf(game.Daily.Day);
  game.Text.SelectMediumActiveFont();
  WriteText(game, "YOUR BEST TODAY", layout::kDailyRankX, layout::kDailyOwnBestY);
  WriteText(game, own ? std::to_string(*own) : "NONE", layout::kDailyScoreX,
            layout::kDailyOwnBestY);
}

void LeaveDailyRun(Game& game) {
  HideDailyRun(game);
  ShowMainMenu(game, false, MenuEntryModes::SelectStart);
}

}  // namespace

void ShowDailyRun(Game& game) {
  BeginSubScreen(game, GameScreen::DailyRun,
                 {kStartButton, kStartButton, kStartButton, kStartButton});
  ShowScreenBackdrop(game, "DailyRunBackground");
  PlaceButton(game, kStartButton, "DailyStartButton", "DailyStartButton", 1, 0,
              layout::kDailyButtonX, layout::kDailyButtonY);
  game.Daily.RaceDay.reset();
  Bests(game);
  FetchDay(game, Today(game));
  ShowCar(game);
}

void HideDailyRun(Game& game) {
  MenuState& menu = game.Menu;
  FreeSprite(menu.ScreenBackdrop);
  FreeSprite(menu.DailyCar);
  FreeButtonSlot(menu.Buttons, kStartButton);
  // A list that comes in after the screen closed is of no use: it is fetched afresh next time.
  game.Daily.Pending.reset();
  DisableTimer(game);
}

void DailyRunTick(Game& game, std::int32_t lagCount) {
  UpdateButtonHighlight(game);
  NavigateVertical(game, false);
  ShowMainButtonActive(game, kDailyMainButton);
  // The screen shows today's course: past midnight (UTC) it turns to the new day.
  if (Today(game) != game.Daily.Day) {
    FetchDay(game, Today(game));
    ShowCar(game);
  }
  TakeTableIfIn(game.Daily);
  const int selected = game.Menu.Buttons.SelectedButton;
  const bool stays = selected == 0 || selected == kDailyMainButton || selected == kStartButton;
  if (!stays) LeaveDailyRun(game);
  DrawFrame(game, lagCount, true);
  if (stays) DrawDailyScreen(game);
  FlipFrame(game);
}

void DailyRunActivate(Game& game) {
  switch (game.Menu.Buttons.SelectedButton) {
    case 0:
      break;
    case kStartButton:
      StartDailyRun(game, game.Daily.Day);
      break;
    default:
      LeaveDailyRun(game);
      break;
  }
}

void RecordDailyScore(Game& game) {
  const std::optional<std::uint32_t> day = game.Daily.RaceDay;
  if (!day || !Bests(game).Record(*day, game.Race.State.Score)) return;
  try {
    SaveDailyBests(BestsFile(game), Bests(game));
  } catch (const SaveFileError& error) {
    std::fprintf(stderr, "Rivoltra: %s\n", error.what());
  }
}

}  // namespace rivoltra
