// Race tickets on the score server: only a replay that carries an unspent ticket of this table,
// with the ticket's seed and no faster than real time, earns the verified mark; a verified run's
// replay cannot verify anything else, whatever its name says. Then the daily run's tables. Every
// scenario runs on the embedded back end and, under tests/server/postgres_test.sh, on PostgreSQL.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "formats/daily_course.h"
#include "formats/replay_file.h"
#include "formats/score_code.h"
#include "moderation.h"
#include "persist/online.h"
#include "postgres_backend.h"
#include "race_tickets.h"
#include "score_service.h"
#include "server/verifier_script.h"
#include "support/relabelled_replay.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;
using testsupport::Relabelled;

constexpr std::int32_t kScore = 4200;
constexpr std::int64_t kNoon = 1700000000 / 86400 * 86400 + 12 * 3600;

struct Run {
  std::optional<RaceTicket> ticket;
  std::uint32_t seed = 0;
  std::uint8_t car = 1;
  std::uint32_t ticks = 100;
  std::uint16_t keys = kReplayLeft;  // the input that makes this run's tick stream its own
};

std::string ReplayOf(const Run& run, const std::string& name) {
  ReplayRecorder recorder;
  recorder.Begin({"1.0", 0x1234, run.seed, run.car, run.ticket});
  for (std::uint32_t tick = 0; tick < run.ticks; ++tick) {
    recorder.AddTick(tick % 7 == 0 ? run.keys : 0, 1);
  }
  return recorder.Finish({kScore, 2, run.ticks, name, "SWEDEN"});
}

// The score service over one back end with a verifier that reproduces kScore; the clock is the
// test's.
class TicketedTable {
 public:
  explicit TicketedTable(ScoreBackend& backend)
      : service_(backend, limiter_, limiter_), verifier_(VerifierLimits()) {
    service_.AcceptReplays(verifier_, limiter_);
  }

  ServerResponse Get(const std::string& target) {
    return service_.Handle({"GET", target, "10.0.0.1", "", {}}, now);
  }
  std::optional<RaceTicket> Ticket(std::int64_t issuedAt, const std::string& query = "") {
    const std::int64_t unixNow = now.UnixSeconds;
    now.UnixSeconds = issuedAt;
    auto ticket = TicketOfReply(Get("/cgi/ticket.pl" + query).Body);
    now.UnixSeconds = unixNow;
    return ticket;
  }
  std::optional<RaceTicket> Daily(std::int64_t issuedAt) {
    return Ticket(issuedAt, "?daily=" + DateTextOf(DayOfUnixSeconds(issuedAt)));
  }
  // Reports kScore under the replay's name and uploads the replay with the report's token.
  ServerResponse Send(const std::string& replay) {
    const std::string name = ReadReplay(replay, "upload").Trailer.PlayerName;
    const std::string token = ServerFieldOf(Get("/cgi/version.pl?version&prg=Rivoltra").Body);
    const std::string code = EncodeGroups(EncodeBits(ScoreMessage(name, kScore, token, "SWEDEN")));
    EXPECT_EQ(Get("/cgi/version.pl?hs&prg=Rivoltra&inf=" + code).Status, 200);
    return service_.Handle({"POST", "/cgi/replay.pl?token=" + token, "10.0.0.1", replay, {}}, now);
  }
  void SetRules(TicketRules rules) { service_.SetTicketRules(rules); }

  ServiceTime now{SteadyTime{} + 1h, kNoon};

 private:
  ProcessVerifier::Limits VerifierLimits() {
    ProcessVerifier::Limits limits;
    limits.program = script_.Path();
    return limits;
  }

  Script script_{Reproduces(kScore)};
  RateLimiter limiter_{{100000, 1s, 64}};
  ScoreService service_;
  ProcessVerifier verifier_;
};

void ExpectRefused(const ServerResponse& answer, const std::string& reason, const char* what) {
  EXPECT_EQ(answer.Status, 409) << what << ": " << answer.Body;
  EXPECT_EQ(answer.Body, "ERROR|" + reason + "\n") << what;
}

// Each refusal names its check; the honest run after them is verified, and its replay,
// downloaded and relabelled, verifies no other entry.
void EveryCheckRefusesItsForgery(ScoreBackend& backend) {
  TicketedTable table(backend);
  const std::int64_t now = table.now.UnixSeconds;
  const auto fresh = table.Ticket(now - 10);
  ASSERT_TRUE(fresh.has_value());
  RaceTicket otherSecret = TicketSigner(std::string(32, 'x')).Issue(TicketKind::Race, now - 10, 0);
  RaceTicket edited = *fresh;
  edited.IssuedAt -= 3600;
  const auto expired = table.Ticket(now - TicketRules{}.lifetime.count() - 10);
  const auto future = table.Ticket(now + 60);
  const auto justIssued = table.Ticket(now);
  const struct {
    const char* what;
    Run run;
    std::string reason;
  } cases[] = {
      {"no ticket",
       {std::nullopt, 99},
       "not verified: no ticket: the race was started without "
       "the server"},
      {"seed not the ticket's",
       {fresh, fresh->Seed + 1},
       "not verified: replay seed is not the "
       "ticket's"},
      {"signed with another secret",
       {otherSecret, otherSecret.Seed},
       "not verified: ticket signature does not hold"},
      {"ticket edited", {edited, edited.Seed}, "not verified: ticket signature does not hold"},
      {"expired", {expired, expired->Seed}, "not verified: ticket expired"},
      {"issued in the future", {future, future->Seed}, "not verified: ticket issued in the future"},
      // 1000 ticks are 30 seconds of racing; the ticket is 0 seconds old (5 of slack).
      {"faster than real time",
       {justIssued, justIssued->Seed, 1, 1000},
       "not verified: race longer than the time since its ticket"},
  };
  for (const auto& c : cases) ExpectRefused(table.Send(ReplayOf(c.run, "EVE")), c.reason, c.what);
  EXPECT_TRUE(backend.Best(100, EntryFilter::VerifiedOnly).empty());

  // Ten seconds old: 100 ticks (three seconds) fit.
  const std::string honest = ReplayOf({fresh, fresh->Seed}, "ANNA");
  ServerResponse verified = table.Send(honest);
  ASSERT_EQ(verified.Body, "OK|verified|") << verified.Body;
  const auto best = backend.Best(100, EntryFilter::VerifiedOnly);
  ASSERT_EQ(best.size(), 1u);
  const ServerResponse got = table.Get("/cgi/replay.pl?get=" + std::to_string(best[0].Id));
  ASSERT_TRUE(got.SharedBody) << got.Body;
  const std::string download = *got.SharedBody;
  ASSERT_EQ(download, honest);
  for (const char* name : {"MALLORY", "TRUDY", "ANNA"}) {
    ExpectRefused(table.Send(Relabelled(download, name)), "not verified: ticket already used",
                  name);
  }
  EXPECT_EQ(backend.Best(100, EntryFilter::VerifiedOnly).size(), 1u);
}

// Every daily ticket of a day carries the same seed, so only the run's own fingerprint tells a
// second upload of a stored game; the day's course and car are checked, and the day's table
// keeps each name's best run.
void DailyRunsAndTheirTable(ScoreBackend& backend) {
  TicketedTable table(backend);
  const std::int64_t now = table.now.UnixSeconds;
  const std::uint32_t today = DayOfUnixSeconds(now);
  const DailyCourse course = DailyCourseOf(today);
  const auto car = static_cast<std::uint8_t>(course.Car);
  const auto first = table.Daily(now - 60);
  const auto second = table.Daily(now - 60);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Kind, TicketKind::Daily);
  EXPECT_EQ(first->Day, today);
  EXPECT_EQ(first->Seed, course.Seed);
  EXPECT_NE(first->Nonce, second->Nonce);
  EXPECT_EQ(table.Get("/cgi/ticket.pl?daily=" + DateTextOf(today + 1)).Status, 409);
  EXPECT_EQ(table.Get("/cgi/ticket.pl?daily=2026-02-30").Status, 400);

  const std::uint8_t otherCar = static_cast<std::uint8_t>(course.Car % 4 + 1);
  ExpectRefused(table.Send(ReplayOf({first, DailyCourseOf(today - 1).Seed, car}, "EVE")),
                "not verified: replay seed is not the ticket's",
                "yesterday's course on today's ticket");
  ExpectRefused(table.Send(ReplayOf({first, course.Seed, otherCar}, "EVE")),
                "not verified: daily run with another car than the day's", "another car");

  const Run annasRun{first, course.Seed, car};
  ASSERT_EQ(table.Send(ReplayOf(annasRun, "ANNA")).Body, "OK|verified|");
  ExpectRefused(table.Send(ReplayOf({second, course.Seed, car}, "BO")),
                "not verified: the same run was stored before", "the same inputs, a new ticket");
  ASSERT_EQ(table.Send(ReplayOf({second, course.Seed, car, 100, kReplayRight}, "BO")).Body,
            "OK|verified|");

  const auto list =
      DailyListOfReply(table.Get("/cgi/daily.pl?date=" + DateTextOf(today)).Body, today);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].Name, "ANNA");
  EXPECT_EQ((*list)[1].Name, "BO");
  EXPECT_EQ(table.Get("/cgi/daily.pl").Body,
            table.Get("/cgi/daily.pl?date=" + DateTextOf(today)).Body);
  EXPECT_EQ(table.Get("/cgi/daily.pl?date=" + DateTextOf(today - 1)).Body,
            "OK|daily|" + DateTextOf(today - 1) + "|0|\n");
  EXPECT_EQ(table.Get("/cgi/daily.pl?date=" + DateTextOf(today + 1)).Status, 404);
  const std::string page = table.Get("/daily?date=" + DateTextOf(today)).Body;
  EXPECT_NE(page.find("Daily run, " + DateTextOf(today)), std::string::npos);
  EXPECT_NE(page.find(">ANNA<"), std::string::npos);
  EXPECT_NE(page.find("href=\"/daily?date=" + DateTextOf(today - 1) + "\""), std::string::npos);
  EXPECT_EQ(page.find("Day after"), std::string::npos) << "no table for tomorrow yet";
}

// A name keeps its best run of the day; a run started before midnight counts for its own day
// until the grace period after midnight ends.
void BestRunOfANameAndTheDayBoundary(ScoreBackend& backend) {
  TicketedTable table(backend);
  TicketRules rules;
  rules.lifetime = 6h;
  rules.dailyGrace = 1h;
  table.SetRules(rules);
  const std::int64_t midnight = (table.now.UnixSeconds / 86400 + 1) * 86400;
  const std::uint32_t day = DayOfUnixSeconds(midnight - 1);
  const auto car = static_cast<std::uint8_t>(DailyCourseOf(day).Car);
  const std::uint32_t seed = DailyCourseOf(day).Seed;
  const auto beforeMidnight = [&] { return table.Daily(midnight - 60); };

  table.now.UnixSeconds = midnight + 3599;
  ASSERT_EQ(table.Send(ReplayOf({beforeMidnight(), seed, car, 100, kReplayLeft}, "ANNA")).Body,
            "OK|verified|");
  table.now.UnixSeconds = midnight + 3601;
  ExpectRefused(table.Send(ReplayOf({beforeMidnight(), seed, car, 100, kReplayRight}, "ANNA")),
                "not verified: daily run sent after its day's grace", "after the grace period");
  EXPECT_EQ(backend.DailyBest(day, 10).size(), 1u);
  EXPECT_TRUE(backend.DailyBest(day + 1, 10).empty());
}

// The day's table leaves out what the main table leaves out, in the game's list, the page and
// the open API alike: a hidden run at once (its name's lesser runs are not kept, so the name
// goes), and a banned name.
void TheDaysTableShowsWhatTheMainTableShows(ScoreBackend& backend) {
  TicketedTable table(backend);
  const std::int64_t now = table.now.UnixSeconds;
  const std::uint32_t today = DayOfUnixSeconds(now);
  const std::string date = DateTextOf(today);
  const DailyCourse course = DailyCourseOf(today);
  const auto car = static_cast<std::uint8_t>(course.Car);
  const std::uint16_t keys[] = {kReplayLeft, kReplayRight, kReplayLeft | kReplayRight};
  const char* const names[] = {"ANNA", "BO", "CY"};
  for (int run = 0; run < 3; ++run) {
    const Run daily{table.Daily(now - 60), course.Seed, car, 100, keys[run]};
    ASSERT_EQ(table.Send(ReplayOf(daily, names[run])).Body, "OK|verified|") << names[run];
  }
  const auto api = [&](const std::string& query) {
    const ServerResponse answer = table.Get("/api/scores?table=daily" + query);
    EXPECT_EQ(answer.Status, 200) << query << ": " << answer.Body;
    return nlohmann::json::parse(answer.Body, nullptr, false);
  };
  const auto shownNames = [&] {
    std::vector<std::string> shown;
    const nlohmann::json body = api("&date=" + date);
    for (const auto& entry : body["entries"]) shown.push_back(entry["name"]);
    const auto list = DailyListOfReply(table.Get("/cgi/daily.pl").Body, today);
    EXPECT_TRUE(list.has_value());
    std::vector<std::string> listed;
    for (const DailyListEntry& entry : list.value_or(std::vector<DailyListEntry>{}))
      listed.push_back(entry.Name);
    EXPECT_EQ(listed, shown) << "the game's list and the API agree";
    const std::string page = table.Get("/daily").Body;
    for (const char* name : names) {
      const bool onPage = page.find(">" + std::string(name) + "<") != std::string::npos;
      EXPECT_EQ(onPage, std::find(shown.begin(), shown.end(), name) != shown.end()) << name;
    }
    return shown;
  };
  // Equal scores: the order they arrived in.
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"ANNA", "BO", "CY"}));

  const nlohmann::json body = api("&date=" + date + "&limit=2&offset=1");
  EXPECT_EQ(body["table"], "daily");
  EXPECT_EQ(body["date"], date);
  EXPECT_EQ(body["offset"], 1);
  EXPECT_EQ(body["limit"], 2);
  ASSERT_EQ(body["entries"].size(), 2u);
  const nlohmann::json& bo = body["entries"][0];
  EXPECT_EQ(bo["rank"], 2);
  EXPECT_EQ(bo["name"], "BO");
  EXPECT_EQ(bo["country"], "SWEDEN");
  EXPECT_EQ(bo["score"], kScore);
  EXPECT_EQ(bo["verified"], true);
  EXPECT_EQ(bo["replay"], "/cgi/replay.pl?get=" + std::to_string(bo["id"].get<std::int64_t>()));
  EXPECT_EQ(api("")["date"], date) << "today without a date";
  EXPECT_TRUE(api("&date=" + DateTextOf(today - 1))["entries"].empty());
  EXPECT_EQ(table.Get("/api/scores?table=daily&date=" + DateTextOf(today + 1)).Status, 404);
  for (const char* bad : {"&date=2026-02-30", "&date=today", "&limit=0", "&offset=x"}) {
    EXPECT_EQ(table.Get(std::string("/api/scores?table=daily") + bad).Status, 400) << bad;
  }

  const std::int64_t annasEntry = api("")["entries"][0]["id"];
  ASSERT_TRUE(backend.Hide(annasEntry, "cheated", now));
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"BO", "CY"}));
  ASSERT_GT(backend.AddBan({0, BanKind::Name, "c?", "rude", now, std::nullopt, std::nullopt}, now),
            0);
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"BO"}));
  EXPECT_EQ(api("")["entries"][0]["rank"], 1);
  ASSERT_TRUE(backend.Unhide(annasEntry, "appeal upheld", now));
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"ANNA", "BO"}));
}

TEST(RaceTickets, EveryCheckRefusesItsForgery) {
  ScoreStore store(":memory:");
  TokenStore tokens(TokenStore::Limits{});
  LocalBackend backend(store, tokens);
  EveryCheckRefusesItsForgery(backend);
}

TEST(RaceTickets, DailyRunsAndTheirTable) {
  ScoreStore store(":memory:");
  TokenStore tokens(TokenStore::Limits{});
  LocalBackend backend(store, tokens);
  DailyRunsAndTheirTable(backend);
}

TEST(RaceTickets, TheDaysTableShowsWhatTheMainTableShows) {
  ScoreStore store(":memory:");
  TokenStore tokens(TokenStore::Limits{});
  LocalBackend backend(store, tokens);
  TheDaysTableShowsWhatTheMainTableShows(backend);
}

TEST(RaceTickets, BestRunOfANameAndTheDayBoundary) {
  ScoreStore store(":memory:");
  TokenStore tokens(TokenStore::Limits{});
  LocalBackend backend(store, tokens);
  BestRunOfANameAndTheDayBoundary(backend);
}

// The operator's secret file: read without its line end, refused when short or missing.
TEST(RaceTickets, TheSecretFileIsReadAndCheckedOnce) {
  const auto folder = testing::FreshTempPath("secrets");
  std::filesystem::create_directories(folder);
  const auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return (folder / name).string();
  };
  EXPECT_EQ(ReadTicketSecretFile(write("line", "0123456789abcdefXYZ\n")), "0123456789abcdefXYZ");
  EXPECT_EQ(ReadTicketSecretFile(write("crlf", "0123456789abcdef\r\n")), "0123456789abcdef");
  for (const std::string& refused :
       {write("short", "0123456789abcde\n"), write("empty", ""),
        write("large", std::string(5000, 'x')), (folder / "missing").string()}) {
    EXPECT_THROW(ReadTicketSecretFile(refused), std::runtime_error) << refused;
  }
  std::filesystem::remove_all(folder);
}

TEST(RaceTickets, TheStoredSecretIsTheFirstOneAndOutlivesTheProcess) {
  const auto path = testing::FreshTempPath("secret.db");
  std::string first;
  {
    ScoreStore store(path.string());
    first = store.TicketSecret(std::string(32, 'a'));
    EXPECT_EQ(first, std::string(32, 'a'));
    EXPECT_EQ(store.TicketSecret(std::string(32, 'b')), first);
  }
  ScoreStore again(path.string());
  EXPECT_EQ(again.TicketSecret(std::string(32, 'c')), first);
}

// A table holds its best run per name: only a higher score replaces it.
TEST(RaceTickets, TheBestRunOfANameReplacesItsEarlierOne) {
  ScoreStore store(":memory:");
  const std::uint32_t day = 20000;
  const auto enter = [&](const std::string& name, std::int32_t score, const std::string& id) {
    const std::int64_t entry = store.Add({name, "PERU", score, 1700000000});
    return store.MarkVerifiedRun(entry, "RVR", {id, 1800000000, "run-" + id, day}, 1700000000);
  };
  EXPECT_EQ(enter("ANNA", 500, "1"), RunStanding::Fresh);
  EXPECT_EQ(enter("BO", 700, "2"), RunStanding::Fresh);
  EXPECT_EQ(enter("ANNA", 400, "3"), RunStanding::Fresh);
  EXPECT_EQ(enter("ANNA", 900, "4"), RunStanding::Fresh);
  EXPECT_EQ(enter("CY", 900, "5"), RunStanding::Fresh);
  EXPECT_EQ(enter("EVE", 100, "4"), RunStanding::TicketSpent);
  const auto best = store.DailyBest(day, 10);
  ASSERT_EQ(best.size(), 3u);
  EXPECT_EQ(best[0].Name, "ANNA");
  EXPECT_EQ(best[0].Score, 900);
  EXPECT_EQ(best[1].Name, "CY");  // equal scores: the earlier run first
  EXPECT_EQ(best[2].Name, "BO");
  EXPECT_TRUE(store.DailyBest(day + 1, 10).empty());
}

TEST(RaceTickets, TicketBytesAndText) {
  const RaceTicket ticket = TicketSigner(std::string(16, 's')).Issue(TicketKind::Daily, 1, 20000);
  EXPECT_EQ(TicketBytes(ticket).size(), kTicketBytes);
  EXPECT_EQ(TicketOfBytes(TicketBytes(ticket)), ticket);
  EXPECT_EQ(TicketOfText(TicketText(ticket)), ticket);
  std::string unknownKind = TicketBytes(ticket);
  unknownKind[0] = 3;
  std::string upperCase = TicketText(ticket);
  for (char& c : upperCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const std::string& bad :
       {unknownKind, TicketBytes(ticket).substr(1), TicketBytes(ticket) + "x"}) {
    EXPECT_EQ(TicketOfBytes(bad), std::nullopt);
  }
  EXPECT_EQ(TicketOfText(upperCase), std::nullopt) << "one spelling of each ticket";
  EXPECT_EQ(TicketOfText(TicketText(ticket).substr(2)), std::nullopt);
  EXPECT_EQ(TicketOfText(std::string(kTicketBytes * 2, 'g')), std::nullopt);
  EXPECT_EQ(TicketOfReply("OK|ticket|" + TicketText(ticket) + "|"), ticket);
  EXPECT_EQ(TicketOfReply("OK|ticket|" + TicketText(ticket)), std::nullopt);
  EXPECT_EQ(TicketOfReply("ERROR|no ticket available\n"), std::nullopt);
  EXPECT_THROW(TicketSigner(std::string(15, 's')), std::invalid_argument);
}

// The PostgreSQL back end, against the server tests/server/postgres_test.sh starts.
class PostgresRaceTickets : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* address = std::getenv("RIVOLTRA_TEST_POSTGRES");
    if (address == nullptr || *address == '\0') {
      GTEST_SKIP() << "no PostgreSQL server: run tests/server/postgres_test.sh, which starts one";
    }
    // Each scenario starts from an empty database.
    PGconn* connection = PQconnectdb(address);
    ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
    PQclear(PQexec(connection,
                   "SET client_min_messages = warning; "
                   "DROP TABLE IF EXISTS scores, tokens, rivoltra_schema, replays, "
                   "redeemed_tokens, ticket_secret, spent_tickets, verified_runs, daily_runs, "
                   "hidden_entries, bans, audit_log "
                   "CASCADE"));
    PQfinish(connection);
    backend_ = std::make_unique<PostgresBackend>(address, TokenStore::Limits{}, 2);
  }
  std::unique_ptr<PostgresBackend> backend_;
};

TEST_F(PostgresRaceTickets, EveryCheckRefusesItsForgery) { EveryCheckRefusesItsForgery(*backend_); }
TEST_F(PostgresRaceTickets, DailyRunsAndTheirTable) { DailyRunsAndTheirTable(*backend_); }
TEST_F(PostgresRaceTickets, TheDaysTableShowsWhatTheMainTableShows) {
  TheDaysTableShowsWhatTheMainTableShows(*backend_);
}
TEST_F(PostgresRaceTickets, BestRunOfANameAndTheDayBoundary) {
  BestRunOfANameAndTheDayBoundary(*backend_);
}
TEST_F(PostgresRaceTickets, EveryServerOfATableSignsWithTheFirstSecret) {
  const std::string address = std::getenv("RIVOLTRA_TEST_POSTGRES");
  PostgresBackend other(address, TokenStore::Limits{}, 1);
  const std::string first = backend_->TicketSecret(FreshTicketSecret());
  EXPECT_EQ(first.size(), kTicketSecretBytes);
  EXPECT_EQ(other.TicketSecret(FreshTicketSecret()), first);
}

}  // namespace
}  // namespace rivoltra::scores
