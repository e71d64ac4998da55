// A result earned on the road travels through the name entry and the send-results screen to the
// real score server program, and shows on the page the game links to; without a server, or with
// one that never answers, the player is told once and the game goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/game.h"
#include "app/race_recording.h"
#include "app/screens.h"
#include "autopilot.h"
#include "formats/daily_course.h"
#include "formats/replay_file.h"
#include "online_flow/servers.h"
#include "persist/high_scores.h"
#include "persist/online.h"
#include "persist/settings.h"
#include "platform/curl/curl_http_transport.h"
#include "runner/script_runner.h"
#include "support/relabelled_replay.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ClosedPort;
using testing::FullQueueServer;
using testing::ScoreServerProcess;
using testing::SilentServer;
using testsupport::Relabelled;

constexpr int kDriveTickLimit = 20000;
constexpr int kSlideInTickLimit = 400;
constexpr const char* kCountry = "NEW ZEALAND";
// In the name cell of a verified entry, beside the replay's download link.
constexpr const char* kVerifiedMark = "<span class=\"verified\"";

// The table page's row whose name cell starts with nameStart, from that cell to the row's end.
std::string RowOf(const std::string& page, const std::string& nameStart) {
  const std::size_t start = page.find("<td class=\"name\">" + nameStart);
  if (start == std::string::npos) return {};
  return page.substr(start, page.find("</tr>", start) - start);
}
constexpr const char* kCannotConnectLine = "{\"message\":\"Can't connect to server!\"}";

// Every test runs the game in a folder of its own: the build's pictures, sounds and music linked
// in and its save files copied, so that no other test's saved table or settings are ever read or
// written.
class OnlineFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    buildFolder_ = fs::current_path();
    folder_ = fs::temp_directory_path() /
              ("rivoltra-online-flow-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Data");
    for (const char* shared : {"Res", "Music"})
      fs::create_directory_symlink(buildFolder_ / "Data" / shared, folder_ / "Data" / shared);
    fs::copy(buildFolder_ / "Data" / "Save", folder_ / "Data" / "Save",
             fs::copy_options::recursive);
    fs::current_path(folder_);
  }

  void TearDown() override {
    runner_.reset();
    fs::current_path(buildFolder_);
    fs::remove_all(folder_);
  }

  // Starts the game as the program does, on the save files as the test has left them.
  void Start() {
    runner_ = std::make_unique<ScriptRunner>(out_);
    runner_->Start();
    Run("seed 20240611");
  }

  // Rewrites the copied save files as a player's earlier runs could have left them: the copied
  // table with its last entry's score changed (so that few points qualify), and the settings
  // with a country, both with the check string that makes the game accept the table.
  void WriteSaveFiles(const std::string& country, std::optional<std::int32_t> lastEntryScore) {
    const fs::path options = "Data/Save/options";
    Settings settings;
    std::string checkString;
    ASSERT_TRUE(ParseSettingsFile(FileText(options), settings, checkString));
    HighScoreTable table;
    ASSERT_TRUE(ParseHighScoreFile(FileText("Data/Save/hs"), table));
    ASSERT_EQ(ComputeCheckString(table), checkString) << "the copied save files do not match";
    if (lastEntryScore) table.Entry(10).EntryScore = *lastEntryScore;
    settings.Country = country;
    std::ofstream("Data/Save/hs", std::ios::binary | std::ios::trunc) << HighScoreFileText(table);
    std::ofstream(options, std::ios::binary | std::ios::trunc)
        << SettingsFileText(settings, ComputeCheckString(table));
  }

  static std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  Game& game() { return runner_->game(); }

  void Run(const std::string& lines) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) runner_->Execute(line);
  }

  // The output printed since the last call, line by line.
  std::vector<std::string> Printed() {
    std::vector<std::string> lines;
    std::istringstream in(out_.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    out_.str("");
    return lines;
  }

  // A game with car 1, driven by the autopilot until its score beats the lowest entry of the
  // table; then the player gives up at the finish prompt (Escape, then Y), which ends the game
  // the way game over does. Returns the score.
  std::int32_t PlayUntilTheScoreQualifies(const std::string& start = "race 1") {
    const std::int32_t lowest = game().highScores.Entry(10).EntryScore;
    raceStarted_ = std::chrono::steady_clock::now();
    Run(start);
    Autopilot pilot(game(), runner_->platform().Keys());
    bool escapeHeld = false;
    for (int tick = 0; tick < kDriveTickLimit && InRace(); ++tick) {
      if (game().race.State.Score <= lowest) {
        pilot.Drive();
      } else {
        pilot.ReleaseAll();
        if (game().race.State.FinishPrompt) {
          Run("down Y");
        } else if (escapeHeld) {
          Run("up Escape");
          escapeHeld = false;
        } else if (game().race.State.RaceRunning) {
          Run("down Escape");
          escapeHeld = true;
        }
      }
      Run("tick");
    }
    Run("up Y");
    if (escapeHeld) Run("up Escape");
    std::printf("game over: level %d, score %d\n", game().race.State.Level,
                game().race.State.Score);
    EXPECT_FALSE(InRace()) << "the game did not end within " << kDriveTickLimit << " ticks";
    EXPECT_GT(game().race.State.Score, lowest);
    return game().race.State.Score;
  }

  bool InRace() {
    return game().ScreenState == GameScreen::Race || game().ScreenState == GameScreen::RaceLoading;
  }

  // The runner's clock is fake and races ahead of real time; the server verifies a race only
  // when it could have been played since its ticket (30 ms a tick, five seconds of slack, the
  // issue time in whole seconds), so the test waits as long as a player would have raced.
  void WaitOutTheRace() {
    const auto raced = std::chrono::milliseconds(30) * game().replay.Recorder.TickCount();
    const auto due = raceStarted_ + raced - 3s;
    std::printf("the race took %lld ticks; waiting for real time to catch up\n",
                static_cast<long long>(game().replay.Recorder.TickCount()));
    std::this_thread::sleep_until(due);
  }

  // From the name entry: a new name, Enter, then OK on the send-results screen (selected when it
  // opens). Returns how long OK took: the requests block the game.
  std::chrono::milliseconds EnterNameAndSend(const std::string& typedName) {
    EXPECT_EQ(game().ScreenState, GameScreen::NameEntry);
    // The race took its song with it; both screens after it are silent.
    EXPECT_EQ(game().music.SongHandle, nullptr);
    Run("tick\ntype \\b\\b\\b\\b\\b\\b" + typedName + "\ntick\ntype \\r\ntick");
    EXPECT_EQ(game().ScreenState, GameScreen::SendResults);
    EXPECT_EQ(game().menu.buttons.SelectedButton, 1);
    EXPECT_EQ(game().music.SongHandle, nullptr);
    const auto pressed = std::chrono::steady_clock::now();
    Run("type \\r");
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 pressed);
  }

  // After the send-results screen, sent or not: the main menu slides in and then the high-score
  // screen opens by itself, with the new entry in the local table; the menu song plays again.
  void ExpectMainMenuThenHighScoresWith(const std::string& name, std::int32_t score) {
    ASSERT_EQ(game().ScreenState, GameScreen::MainMenu);
    EXPECT_EQ(game().SongFile, kMenuSongFile) << "the main menu, made anew, starts its song";
    for (int tick = 0; tick < kSlideInTickLimit && game().ScreenState == GameScreen::MainMenu;
         ++tick)
      Run("tick");
    ASSERT_EQ(game().ScreenState, GameScreen::HighScores);
    bool listed = false;
    for (int rank = 1; rank <= 10; ++rank)
      listed = listed || (game().highScores.Entry(rank).EntryName == name &&
                          game().highScores.Entry(rank).EntryScore == score);
    EXPECT_TRUE(listed) << name << " " << score;
  }

  std::unique_ptr<ScriptRunner> runner_;
  std::chrono::steady_clock::time_point raceStarted_;
  std::ostringstream out_;
  fs::path buildFolder_;
  fs::path folder_;
};

TEST_F(OnlineFlow, ScoreSentFromTheNameEntryIsStoredAndShownOnTheLinkedTablePage) {
  // The lowest entry lowered so that a short game qualifies: the test waits out its length.
  WriteSaveFiles(kCountry, 0);
  Start();
  ScoreServerProcess server(RIVOLTRA_SCORES_BINARY, folder_ / "scores.db");
  Run("server " + server.Base());

  const std::int32_t score = PlayUntilTheScoreQualifies();
  ASSERT_EQ(game().ScreenState, GameScreen::NameEntry);
  WaitOutTheRace();
  EnterNameAndSend("zoe\\skay");
  EXPECT_EQ(game().menu.PlayerName, "ZOE KAY");
  EXPECT_EQ(Printed(), std::vector<std::string>{}) << "no message box when the server answers";
  ExpectMainMenuThenHighScoresWith("ZOE KAY", score);

  // The high-score screen's second button opens the online table; the runner prints the address
  // instead of opening it, and the page at that address has the new row.
  const MenuButton* viewOnline = game().menu.buttons.Slot(kFirstScreenSlot + 1);
  ASSERT_NE(viewOnline, nullptr);
  Run("mouse " + std::to_string(static_cast<int>(viewOnline->X) + viewOnline->Width / 2) + " " +
      std::to_string(static_cast<int>(viewOnline->Y) + viewOnline->Height / 2) +
      "\ntick\nclick\nbrowser");
  const std::string tableAddress = server.Base() + "/cgi/version.pl?prg=Rivoltra&show&type=0";
  ASSERT_EQ(Printed(), std::vector<std::string>{"[\"" + tableAddress + "\"]"});

  // The game sent its replay after the report; the server played it again and marked the row.
  CurlHttpTransport browser(2000ms, 5000ms);
  std::optional<std::string> page = browser.Get(tableAddress);
  ASSERT_TRUE(page.has_value());
  const std::string cells = "</td><td class=\"country\">" + std::string(kCountry) +
                            "</td><td class=\"score\">" + std::to_string(score) + "</td>";
  const std::string row = RowOf(*page, "ZOE KAY<span");
  EXPECT_NE(row.find(kVerifiedMark), std::string::npos) << *page;
  EXPECT_NE(row.find(cells), std::string::npos) << row;
  EXPECT_NE(page->find("<td class=\"rank\"><b>1</b>"), std::string::npos);
  EXPECT_EQ(page->find("<td class=\"rank\"><b>2</b>"), std::string::npos) << "one result, one row";

  // The same report from a client that does not upload the replay stays unverified.
  const std::unique_ptr<HttpTransport> client = game().platform.OpenHttp(LimitsOf(game().online));
  ASSERT_EQ(SendScore(*client, game().online, {}, "ZOE KAY", score - 1, kCountry).Outcome,
            SubmitOutcome::Sent);
  page = browser.Get(tableAddress);
  ASSERT_TRUE(page.has_value());
  const std::string unverifiedCells = "</td><td class=\"country\">" + std::string(kCountry) +
                                      "</td><td class=\"score\">" + std::to_string(score - 1) +
                                      "</td>";
  EXPECT_NE(page->find("<td class=\"name\">ZOE KAY" + unverifiedCells), std::string::npos) << *page;
}

// Two server processes of one table (a SQLite file, or the PostgreSQL database that
// tests/server/postgres_test.sh names): the race takes its ticket from the first, the score and
// the replay go to the second, and the run is verified. Its replay, downloaded from the table
// and relabelled, verifies no other entry: its ticket is spent.
TEST_F(OnlineFlow, TicketedGameIsVerifiedAcrossServersAndItsReplayVerifiesNothingElse) {
  WriteSaveFiles(kCountry, 0);
  Start();
  const char* postgres = std::getenv("RIVOLTRA_TEST_POSTGRES");
  const fs::path database =
      postgres != nullptr && *postgres != '\0' ? fs::path(postgres) : folder_ / "shared.db";
  ScoreServerProcess first(RIVOLTRA_SCORES_BINARY, database);
  ScoreServerProcess second(RIVOLTRA_SCORES_BINARY, database);
  Run("server " + first.Base());
  const std::int32_t score = PlayUntilTheScoreQualifies();
  const Replay played = ReadReplay(CurrentReplayBytes(game()), "game");
  ASSERT_TRUE(played.Header.Ticket.has_value()) << "the race took a ticket from the server";
  EXPECT_EQ(played.Header.RandomState, played.Header.Ticket->Seed);
  WaitOutTheRace();
  Run("server " + second.Base());
  EnterNameAndSend("ada");
  EXPECT_EQ(Printed(), std::vector<std::string>{});

  OnlineConfig config = game().online;
  config.ServerBase = first.Base();
  CurlHttpTransport client(2000ms, 5000ms);
  std::optional<std::string> page = client.Get(OnlineTableAddress(config));
  ASSERT_TRUE(page.has_value());
  const std::string row = RowOf(*page, "ADA<span");
  ASSERT_NE(row.find(kVerifiedMark), std::string::npos) << *page;
  const std::size_t link = row.find("/cgi/replay.pl?get=");
  ASSERT_NE(link, std::string::npos) << row;
  const std::string download =
      client.Get(first.Base() + row.substr(link, row.find('"', link) - link))
          .value_or(std::string());
  ASSERT_EQ(download, CurrentReplayBytes(game()));

  for (const char* name : {"MALLORY", "TRUDY"}) {
    const SubmitResult sent = SendScore(client, config, {}, name, score, kCountry);
    ASSERT_EQ(sent.Outcome, SubmitOutcome::Sent);
    EXPECT_EQ(UploadReplay(client, config, sent.Token, Relabelled(download, name)),
              UploadOutcome::NotVerified)
        << name;
  }
  page = client.Get(OnlineTableAddress(config));
  ASSERT_TRUE(page.has_value());
  EXPECT_NE(page->find("<td class=\"name\">MALLORY</td>"), std::string::npos) << *page;
  EXPECT_NE(page->find("<td class=\"name\">TRUDY</td>"), std::string::npos) << *page;
}

// Today's daily run against the server: the day's ticket, the day's car and course, verified
// and listed on the day's table, where the game's own list reader reads it back.
TEST_F(OnlineFlow, TicketedDailyRunEntersTheDaysTable) {
  WriteSaveFiles(kCountry, 0);
  Start();
  ScoreServerProcess server(RIVOLTRA_SCORES_BINARY, folder_ / "scores.db");
  Run("server " + server.Base());
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const std::uint32_t today =
      DayOfUnixSeconds(std::chrono::duration_cast<std::chrono::seconds>(now).count());
  const std::int32_t score = PlayUntilTheScoreQualifies("daily " + DateTextOf(today));
  const Replay played = ReadReplay(CurrentReplayBytes(game()), "game");
  ASSERT_TRUE(played.Header.Ticket.has_value());
  EXPECT_EQ(played.Header.Ticket->Kind, TicketKind::Daily);
  EXPECT_EQ(played.Header.Ticket->Day, today);
  EXPECT_EQ(played.Header.RandomState, DailyCourseOf(today).Seed);
  EXPECT_EQ(played.Header.Car, DailyCourseOf(today).Car);
  WaitOutTheRace();
  EnterNameAndSend("dana");

  CurlHttpTransport client(2000ms, 5000ms);
  const auto list = client.Get(DailyListAddress(game().online, today));
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(DailyListOfReply(*list, today),
            (std::vector<DailyListEntry>{{"DANA", kCountry, score, 1}}))
      << *list;
  const auto page = client.Get(server.Base() + "/daily?date=" + DateTextOf(today));
  ASSERT_TRUE(page.has_value());
  EXPECT_NE(RowOf(*page, "DANA<span").find(kVerifiedMark), std::string::npos) << *page;
}

// Nothing listens on the port: the player sees the message once, at once, and the game goes on
// to the main menu and the table (here with a name erased to nothing, which the table keeps).
TEST_F(OnlineFlow, WithoutAnAnsweringServerThePlayerIsToldOnceAndTheGameGoesOn) {
  WriteSaveFiles("", 0);
  Start();
  const std::int32_t score = PlayUntilTheScoreQualifies();
  Run("server http://127.0.0.1:" + std::to_string(ClosedPort()));
  const std::chrono::milliseconds refusedTook = EnterNameAndSend("");
  EXPECT_EQ(Printed(), std::vector<std::string>{kCannotConnectLine});
  EXPECT_LT(refusedTook, 1000ms) << "a refused connection fails at once";
  ExpectMainMenuThenHighScoresWith("", score);
}

// The browser game keeps a result the server could not be reached for: the player is told it is
// kept, the result and its replay wait in the save folder, and once a server answers they are
// sent and the entry is on the table. A race begun offline had no ticket, so its replay goes too
// but earns no verified mark. A kept file that is not one is dropped rather than sent or left to
// fail again.
TEST_F(OnlineFlow, ResultKeptWhileOfflineIsSentWithItsReplayOnceTheServerAnswers) {
  WriteSaveFiles(kCountry, std::nullopt);
  Start();
  game().KeepUnsentResults = true;
  const std::int32_t score = PlayUntilTheScoreQualifies();
  Run("server http://127.0.0.1:" + std::to_string(ClosedPort()));
  EnterNameAndSend("offline");
  const std::vector<std::string> told = Printed();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("Your score is kept"), std::string::npos) << told[0];
  ExpectMainMenuThenHighScoresWith("OFFLINE", score);
  const fs::path kept = game().paths.SaveFile("unsent");
  ASSERT_EQ(std::distance(fs::directory_iterator(kept), fs::directory_iterator()), 1);
  std::ofstream(kept / "00000000.unsent") << "rivoltra unsent result 1\nnot a score\n";

  // Still offline: nothing goes, nothing is lost but the file that is not a result.
  UnsentSending sending = SendUnsentResults(game());
  EXPECT_EQ(sending.sent, 0);
  EXPECT_EQ(sending.left, 1);

  ScoreServerProcess server(RIVOLTRA_SCORES_BINARY, folder_ / "scores.db");
  Run("server " + server.Base());
  sending = SendUnsentResults(game());
  EXPECT_EQ(sending.sent, 1);
  EXPECT_EQ(sending.left, 0);
  EXPECT_TRUE(fs::is_empty(kept));
  EXPECT_EQ(Printed(), std::vector<std::string>{}) << "sending later shows no message box";

  CurlHttpTransport browser(2000ms, 5000ms);
  const std::optional<std::string> page =
      browser.Get(server.Base() + "/cgi/version.pl?prg=Rivoltra&show&type=0");
  ASSERT_TRUE(page.has_value());
  const std::string row = RowOf(*page, "OFFLINE");
  ASSERT_FALSE(row.empty()) << *page;
  EXPECT_EQ(row.find(kVerifiedMark), std::string::npos) << row;
  EXPECT_NE(row.find("<td class=\"score\">" + std::to_string(score) + "</td>"), std::string::npos)
      << row;
}

// A server that stalls holds the game only as long as the time limit of the stage it stalls in
// (both limits lowered from their defaults so the test is short); then it is the same message.
TEST_F(OnlineFlow, ServerThatNeverAnswersIsGivenUpWithinTheRequestTimeLimit) {
  WriteSaveFiles("", 0);
  Start();
  SilentServer silent;
  game().online.ConnectTimeout = 1000ms;
  game().online.RequestTimeout = 1500ms;
  const std::int32_t score = PlayUntilTheScoreQualifies();
  Run("server " + silent.Base());
  const std::chrono::milliseconds took = EnterNameAndSend("hung");
  std::printf("OK on a silent server took %lld ms\n", static_cast<long long>(took.count()));
  EXPECT_EQ(Printed(), std::vector<std::string>{kCannotConnectLine});
  EXPECT_GE(took, 1400ms) << "the game gave up before its limit: the server was not waited for";
  EXPECT_LT(took, 1500ms + 2000ms);
  const std::vector<std::string> received = silent.Received();
  ASSERT_EQ(received.size(), 1u) << "only the version request; no report after it failed";
  EXPECT_EQ(received[0].rfind("GET /cgi/version.pl?version&prg=Rivoltra HTTP/1.1\r\n", 0), 0u)
      << received[0];
  ExpectMainMenuThenHighScoresWith("HUNG", score);
}

TEST_F(OnlineFlow, ConnectionThatNeverCompletesIsGivenUpWithinTheConnectTimeLimit) {
  WriteSaveFiles("", 0);
  Start();
  FullQueueServer stalled;
  game().online.ConnectTimeout = 1000ms;
  game().online.RequestTimeout = 4000ms;
  Run("server " + stalled.Base());
  const std::int32_t score = PlayUntilTheScoreQualifies();
  const std::chrono::milliseconds took = EnterNameAndSend("stuck");
  std::printf("OK on a full connection queue took %lld ms\n", static_cast<long long>(took.count()));
  EXPECT_EQ(Printed(), std::vector<std::string>{kCannotConnectLine});
  EXPECT_GE(took, 900ms) << "the game gave up before its limit: the connection was not waited for";
  EXPECT_LT(took, 1000ms + 2000ms) << "the connect limit was not applied";
  ExpectMainMenuThenHighScoresWith("STUCK", score);
}

}  // namespace
}  // namespace rivoltra
