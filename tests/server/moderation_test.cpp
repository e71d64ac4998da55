// Running a public table: the operator's moderation, the name filter and bans, the open read API
// and the metrics page, through the service as requests see it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "admin_command.h"
#include "ban_list.h"
#include "formats/score_code.h"
#include "name_filter.h"
#include "persist/online.h"
#include "platform/curl/curl_http_transport.h"
#include "score_service.h"
#include "server/test_support.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

const SteadyTime kStart{std::chrono::hours(1000)};
constexpr std::int64_t kUnixStart = 1700000000;

TEST(NameFilter, FoldsLookAlikesAndSparesAllowedWords) {
  NameFilter filter({"bad", "cheat"}, {"badminton"});
  struct Case {
    const char* Name;
    bool Refused;
  };
  const Case cases[] = {
      {"BAD", true},        {"B4D", true},           {"B A D", true},   {"8@D", true},
      {"BADMINTON", false}, {"BADMINTON BAD", true}, {"CH3AT3R", true}, {"GOOD PLAYER", false},
      {"", false},          {"BADMINTONBAD", true},  {"ANNA", false},
  };
  for (const Case& c : cases) EXPECT_EQ(filter.Refuses(c.Name), c.Refused) << c.Name;
  EXPECT_FALSE(NameFilter().Refuses("BAD")) << "no list, no refusal";
}

TEST(NameFilter, LoadsPatternsAndAllowLinesAndNamesItsFaults) {
  auto folder = testing::FreshTempPath("name-filter");
  std::filesystem::create_directories(folder);
  {
    std::ofstream(folder / "good.txt") << "# the operator's list\n\nbad\n  allow badminton  \n";
    std::ofstream(folder / "bad.txt") << "bad\n***\n";
  }
  NameFilter filter = NameFilter::Load((folder / "good.txt").string());
  EXPECT_TRUE(filter.Refuses("BAD"));
  EXPECT_FALSE(filter.Refuses("BADMINTON"));
  try {
    NameFilter::Load((folder / "bad.txt").string());
    ADD_FAILURE() << "a pattern without a letter matches everything";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("bad.txt:2"), std::string::npos) << error.what();
  }
  EXPECT_THROW(NameFilter::Load((folder / "missing.txt").string()), std::runtime_error);
  std::filesystem::remove_all(folder);
}

TEST(BanList, MatchesNamePatternsAndAddressRanges) {
  struct Case {
    const char* Pattern;
    const char* Name;
    bool Matches;
  };
  const Case names[] = {
      {"*cheat*", "BIG CHEATER", true},
      {"ann?", "ANNA", true},
      {"ann?", "ANN", false},
      {"bo", "BO", true},
      {"bo", "BOB", false},
      {"*", "ANYONE", true},
      {"*b*o*", "XBXXOX", true},
      {"*b*o*", "OB", false},
  };
  for (const Case& c : names) {
    EXPECT_EQ(NamePatternMatches(c.Pattern, c.Name), c.Matches) << c.Pattern << " " << c.Name;
  }
  const Case addresses[] = {
      {"203.0.113.0/24", "203.0.113.7", true},        {"203.0.113.0/24", "203.0.114.1", false},
      {"198.51.100.4", "198.51.100.4", true},         {"198.51.100.4", "198.51.100.5", false},
      {"2001:db8::/32", "2001:db8:1::9", true},       {"2001:db8::/32", "2001:db9::1", false},
      {"203.0.113.0/24", "::ffff:203.0.113.9", true}, {"203.0.113.0/24", "not an address", false},
  };
  for (const Case& c : addresses) {
    EXPECT_EQ(AddressInPattern(c.Name, c.Pattern), c.Matches) << c.Pattern << " " << c.Name;
  }
  EXPECT_TRUE(ValidAddressPattern("10.0.0.0/8"));
  EXPECT_FALSE(ValidAddressPattern("10.0.0.0/33"));
  EXPECT_FALSE(ValidAddressPattern("example.org"));
}

// A table with a few entries and the service in front of it, as the server runs it.
class ModerationTest : public ::testing::Test {
 protected:
  ServerResponse Get(const std::string& target, const std::string& client = "127.0.0.1",
                     std::vector<std::pair<std::string, std::string>> headers = {}) {
    ServerRequest request{"GET", target, client};
    request.Headers = std::move(headers);
    return service_.Handle(request, {now_, kUnixStart});
  }
  ServerResponse Report(const std::string& name, int score,
                        const std::string& client = "10.0.0.1") {
    std::string token = ServerFieldOf(Get("/cgi/version.pl?version&prg=Rivoltra", client).Body);
    return Get("/cgi/version.pl?hs&prg=Rivoltra&inf=" +
                   EncodeGroups(EncodeBits(ScoreMessage(name, score, token, ""))),
               client);
  }
  std::string Page() { return Get("/cgi/version.pl?prg=Rivoltra&show&type=0").Body; }
  Json Api(const std::string& target) { return Json::parse(Get(target).Body); }

  void SetUp() override {
    for (auto [name, score] : {std::pair{"ANNA", 900}, {"BO", 800}, {"CHEATER", 9000000}}) {
      ids_[name] = store_.Add({name, "", score, kUnixStart, 0, false, {}});
    }
  }

  ScoreStore store_{":memory:"};
  TokenStore tokens_{{600s, 1000}};
  RateLimiter versionLimiter_{{100, 1s, 100}};
  RateLimiter reportLimiter_{{100, 1s, 100}};
  LocalBackend backend_{store_, tokens_};
  ScoreService service_{backend_, versionLimiter_, reportLimiter_};
  std::map<std::string, std::int64_t> ids_;
  // Version and report requests read the bans at most once a second.
  SteadyTime now_ = kStart;
  void Later() { now_ += 2s; }
};

TEST_F(ModerationTest, AHiddenEntryLeavesEveryAnswerAtOnceAndComesBackWhenUnhidden) {
  std::int64_t cheater = ids_["CHEATER"];
  ASSERT_TRUE(store_.MarkVerified(cheater, "replay bytes"));
  ASSERT_NE(Page().find(">CHEATER<"), std::string::npos);

  ASSERT_TRUE(store_.Hide(cheater, "impossible score", kUnixStart + 5));
  EXPECT_FALSE(store_.Hide(cheater, "again", kUnixStart + 6)) << "hidden already";
  EXPECT_EQ(Page().find("CHEATER"), std::string::npos);
  EXPECT_EQ(Api("/api/scores")["entries"].size(), 2u);
  EXPECT_EQ(Api("/api/scores")["entries"][0]["name"], "ANNA");
  EXPECT_EQ(Get("/api/entry?id=" + std::to_string(cheater)).Status, 404);
  EXPECT_EQ(Get("/cgi/replay.pl?get=" + std::to_string(cheater)).Status, 404);
  // Kept as evidence: the row, its replay and the reason.
  auto kept = store_.Entry(cheater);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->HiddenReason, "impossible score");
  EXPECT_TRUE(kept->Verified);
  auto hidden = store_.Search({"", true, 10, 0});
  ASSERT_EQ(hidden.size(), 1u);
  EXPECT_EQ(hidden[0].Id, cheater);

  ASSERT_TRUE(store_.Unhide(cheater, "appeal upheld", kUnixStart + 7));
  EXPECT_NE(Page().find(">CHEATER<"), std::string::npos);
  EXPECT_EQ(Get("/cgi/replay.pl?get=" + std::to_string(cheater)).Status, 200);

  auto log = store_.AuditLog(10);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].Action, "unhide");
  EXPECT_EQ(log[0].Reason, "appeal upheld");
  EXPECT_EQ(log[1].Action, "hide");
  EXPECT_EQ(log[1].Target, "entry " + std::to_string(cheater));
  EXPECT_EQ(log[1].At, kUnixStart + 5);
}

TEST_F(ModerationTest, BansTakeNamesOffThePagesAndRefuseReportsAndAddresses) {
  std::int64_t ban =
      store_.AddBan({0, BanKind::Name, "*ch?at*", "cheating", 0, {}, {}}, kUnixStart);
  // Pages read them at once.
  EXPECT_EQ(Page().find("CHEATER"), std::string::npos);
  EXPECT_NE(Page().find(">ANNA<"), std::string::npos);
  EXPECT_EQ(Api("/api/scores?limit=1")["entries"][0]["name"], "ANNA");
  // The game shows field 3 and the token stays good for another name.
  ServerResponse refused = Report("CHEATY", 5);
  EXPECT_EQ(refused.Status, 200);
  EXPECT_EQ(refused.Body, kNameRefusal);

  store_.AddBan({0, BanKind::Address, "10.9.0.0/16", "flooding", 0, kUnixStart + 60, {}},
                kUnixStart);
  Later();
  EXPECT_EQ(Get("/cgi/version.pl?version&prg=Rivoltra", "10.9.3.4").Status, 403);
  EXPECT_EQ(Get("/cgi/version.pl?version&prg=Rivoltra", "10.8.3.4").Status, 200);
  // A ban for a time ends by itself.
  EXPECT_EQ(service_
                .Handle({"GET", "/cgi/version.pl?version&prg=Rivoltra", "10.9.3.4"},
                        {kStart, kUnixStart + 61})
                .Status,
            200);

  ASSERT_TRUE(store_.LiftBan(ban, "pattern too wide", kUnixStart + 1));
  EXPECT_FALSE(store_.LiftBan(ban, "twice", kUnixStart + 2));
  EXPECT_NE(Page().find(">CHEATER<"), std::string::npos);
  now_ += 5s;
  EXPECT_EQ(Report("CHEATY", 5).Body, "OK|stored|");
  EXPECT_EQ(store_.Bans().size(), 2u);
  EXPECT_EQ(store_.ActiveBans(kUnixStart + 100).size(), 0u);
}

TEST_F(ModerationTest, TheNameFilterRefusesReportsAndLeavesStoredNamesOffThePages) {
  service_.FilterNames(NameFilter({"cheat"}, {}));
  EXPECT_EQ(Report("CHEATS", 5).Body, kNameRefusal);
  EXPECT_EQ(Report("C H E A T", 5).Body, kNameRefusal);
  EXPECT_EQ(Report("DORA", 5).Body, "OK|stored|");
  EXPECT_EQ(Page().find("CHEATER"), std::string::npos);
  EXPECT_NE(Page().find(">DORA<"), std::string::npos);
  EXPECT_EQ(Get("/api/entry?id=" + std::to_string(ids_["CHEATER"])).Status, 404);
}

TEST_F(ModerationTest, TheApiAnswersAStableCacheableShapeToAnyOrigin) {
  ASSERT_TRUE(store_.MarkVerified(ids_["ANNA"], "replay"));
  ServerResponse reply = Get("/api/scores?table=all&limit=2&offset=1");
  EXPECT_EQ(reply.Status, 200);
  EXPECT_EQ(reply.ContentType, "application/json");
  std::map<std::string, std::string> headers(reply.Headers.begin(), reply.Headers.end());
  EXPECT_EQ(headers["Access-Control-Allow-Origin"], "*");
  EXPECT_EQ(headers["Cache-Control"], "public, max-age=10");
  Json page = Json::parse(reply.Body);
  EXPECT_EQ(page["table"], "all");
  EXPECT_EQ(page["offset"], 1);
  EXPECT_EQ(page["limit"], 2);
  EXPECT_EQ(page["verified"], false);
  ASSERT_EQ(page["entries"].size(), 2u);
  const Json& anna = page["entries"][0];
  EXPECT_EQ(anna["rank"], 2);
  EXPECT_EQ(anna["id"], ids_["ANNA"]);
  EXPECT_EQ(anna["name"], "ANNA");
  EXPECT_EQ(anna["score"], 900);
  EXPECT_EQ(anna["submitted_at"], kUnixStart);
  EXPECT_EQ(anna["date"], "2023-11-14");
  EXPECT_EQ(anna["verified"], true);
  EXPECT_EQ(anna["replay"], "/cgi/replay.pl?get=" + std::to_string(ids_["ANNA"]));
  EXPECT_TRUE(page["entries"][1]["replay"].is_null());
  EXPECT_EQ(Api("/api/scores?verified=1")["entries"].size(), 1u);

  ServerResponse again = Get("/api/scores?table=all&limit=2&offset=1", "127.0.0.1",
                             {{"if-none-match", headers["ETag"]}});
  EXPECT_EQ(again.Status, 304);
  EXPECT_TRUE(again.Body.empty());

  Json entry = Api("/api/entry?id=" + std::to_string(ids_["BO"]));
  EXPECT_EQ(entry["name"], "BO");
  EXPECT_FALSE(entry.contains("rank"));

  for (const char* bad :
       {"/api/scores?limit=0", "/api/scores?limit=101", "/api/scores?offset=x",
        "/api/scores?table=weekly", "/api/scores?date=2026-01-01", "/api/scores?colour=red",
        "/api/entry?id=-1", "/api/entry", "/api/scores?limit=%zz"}) {
    ServerResponse refused = Get(bad);
    EXPECT_EQ(refused.Status, 400) << bad;
    EXPECT_TRUE(Json::parse(refused.Body).contains("error")) << bad;
  }
  EXPECT_NE(
      Json::parse(Get("/api/scores?table=weekly").Body)["error"].get<std::string>().find("daily"),
      std::string::npos)
      << "the error names the tables there are";
  EXPECT_EQ(Get("/api/entry?id=999").Status, 404);
}

TEST_F(ModerationTest, MetricsAnswerOnlyTheAllowedAddresses) {
  Metrics metrics;
  service_.ServeMetrics(metrics, {"127.0.0.0/8"}, [] {
    Metrics::Gauges gauges;
    gauges.OpenConnections = 3;
    return gauges;
  });
  metrics.CountRequest("table", 200, 2ms);
  metrics.CountRequest("table", 200, 40ms);
  metrics.CountVerification("reproduced", 1500ms);
  metrics.CountRefusal("report_rate");
  EXPECT_EQ(Get("/metrics", "203.0.113.5").Status, 404);
  ServerResponse page = Get("/metrics");
  ASSERT_EQ(page.Status, 200);
  for (const char* line : {
           "rivoltra_requests_total{route=\"table\",status=\"200\"} 2\n",
           "rivoltra_request_duration_seconds_bucket{le=\"0.0025\"} 1\n",
           "rivoltra_request_duration_seconds_bucket{le=\"0.05\"} 2\n",
           "rivoltra_request_duration_seconds_count 2\n",
           "rivoltra_open_connections 3\n",
           "rivoltra_scores_stored 3\n",
           "rivoltra_verification_duration_seconds_bucket{le=\"1\"} 0\n",
           "rivoltra_verification_duration_seconds_bucket{le=\"2\"} 1\n",
           "rivoltra_refusals_total{limit=\"report_rate\"} 1\n",
       }) {
    EXPECT_NE(page.Body.find(line), std::string::npos) << line << page.Body;
  }
  // Debian's prometheus package carries the format's own checker.
  if (std::system("command -v promtool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no promtool";
  auto file = testing::FreshTempPath("metrics");
  std::ofstream(file) << page.Body;
  std::string command = "promtool check metrics < " + file.string() + " 2>&1";
  FILE* checker = popen(command.c_str(), "r");
  ASSERT_NE(checker, nullptr);
  std::string said;
  char chunk[256];
  while (std::fgets(chunk, sizeof chunk, checker) != nullptr) said += chunk;
  EXPECT_EQ(pclose(checker), 0) << said;
  std::filesystem::remove(file);
}

TEST(NameRefusal, TheGameShowsTheServersReasonAndCanSendUnderAnotherName) {
  testing::RunningServer server;
  server.Service.FilterNames(NameFilter({"cheat"}, {}));
  OnlineConfig config = DefaultOnlineConfig();
  config.ServerBase = server.Base();
  CurlHttpTransport transport(2000ms, 5000ms);
  std::vector<std::string> shown;
  auto show = [&](std::string_view text) { shown.emplace_back(text); };
  EXPECT_EQ(SendScore(transport, config, show, "CHEATER", 100, "").Outcome,
            SubmitOutcome::NameRefused);
  EXPECT_EQ(shown,
            std::vector<std::string>{
                "This name is not allowed on the online table. Please choose another name."});
  EXPECT_EQ(SendScore(transport, config, show, "ANNA", 100, "").Outcome, SubmitOutcome::Sent);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(server.Store.Count(), 1u);
}

TEST(AdminCommand, ASessionAgainstTheFileTheServerServes) {
  auto path = testing::FreshTempPath("admin") += ".db";
  ScoreStore served(path.string());
  std::int64_t id = served.Add({"BADNAME", "", 500, kUnixStart, 0, false, {}});
  auto run = [&](std::vector<std::string> words, std::string* output = nullptr) {
    words.insert(words.begin() + 1, {"--db", path.string()});
    std::ostringstream out;
    std::ostringstream err;
    int status = RunAdminCommand(words, "unused.db", out, err);
    if (output != nullptr) *output = out.str() + err.str();
    return status;
  };
  std::string said;
  EXPECT_EQ(
      run({"admin", "rename", std::to_string(id), "GOOD NAME", "--reason", "offensive"}, &said), 0)
      << said;
  EXPECT_EQ(served.Entry(id)->Name, "GOOD NAME") << "the server's own connection sees it";
  EXPECT_EQ(run({"admin", "hide", std::to_string(id), "--reason", "cheated"}), 0);
  EXPECT_TRUE(served.Best(10).empty());
  EXPECT_EQ(run({"admin", "list", "--hidden"}, &said), 0);
  EXPECT_NE(said.find("hidden: cheated"), std::string::npos) << said;
  EXPECT_EQ(
      run({"admin", "ban", "address", "203.0.113.0/24", "--for", "12h", "--reason", "spam"}, &said),
      0);
  EXPECT_NE(said.find("ban 1: address 203.0.113.0/24 until"), std::string::npos) << said;
  EXPECT_EQ(run({"admin", "log"}, &said), 0);
  EXPECT_NE(said.find("rename entry " + std::to_string(id) +
                      " \"BADNAME\" -> \"GOOD NAME\": "
                      "offensive"),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("hide entry " + std::to_string(id) + ": cheated"), std::string::npos);

  // Refused before anything changes: no reason, a bad name, an unknown entry, a bad range.
  EXPECT_EQ(run({"admin", "hide", std::to_string(id)}), 2);
  EXPECT_EQ(run({"admin", "rename", std::to_string(id), "bad1", "--reason", "x"}), 2);
  EXPECT_EQ(run({"admin", "unhide", "999", "--reason", "x"}), 1);
  EXPECT_EQ(run({"admin", "ban", "address", "10.0.0.0/99", "--reason", "x"}), 2);
  EXPECT_EQ(run({"admin", "ban", "name", "x", "--for", "soon", "--reason", "x"}), 2);
  EXPECT_EQ(served.AuditLog(100).size(), 3u);
  std::filesystem::remove(path);
  std::filesystem::remove(path.string() + "-wal");
  std::filesystem::remove(path.string() + "-shm");
}

TEST(AdminCommand, BackupAndRestoreGiveBackTheTable) {
  auto folder = testing::FreshTempPath("backup");
  std::filesystem::create_directories(folder);
  std::string live = (folder / "live.db").string();
  std::string copy = (folder / "copy.db").string();
  auto run = [](std::vector<std::string> words) {
    std::ostringstream out;
    std::ostringstream err;
    return RunAdminCommand(words, "unused.db", out, err);
  };
  {
    ScoreStore table(live);
    for (int i = 0; i < 50; ++i) table.Add({"P", "", i, kUnixStart, 0, false, {}});
    // Taken while the server's own connection holds the file open.
    EXPECT_EQ(run({"backup", "--db", live, copy}), 0);
    table.Add({"AFTER", "", 99, kUnixStart, 0, false, {}});
  }
  EXPECT_EQ(ScoreStore(copy).Count(), 50u);
  EXPECT_EQ(run({"restore", "--db", live, copy}), 0);
  EXPECT_EQ(ScoreStore(live).Count(), 50u);
  // A damaged copy never overwrites the table.
  { std::ofstream(folder / "junk.db") << "not a database at all, just words"; }
  EXPECT_EQ(run({"restore", "--db", live, (folder / "junk.db").string()}), 1);
  EXPECT_EQ(ScoreStore(live).Count(), 50u);
  EXPECT_EQ(run({"backup", "--db", "postgresql://nobody@127.0.0.1/none", copy}), 2);
  std::filesystem::remove_all(folder);
}

TEST(AdminCommand, DurationsTakeAUnit) {
  EXPECT_EQ(ParseDuration("90s"), 90);
  EXPECT_EQ(ParseDuration("30m"), 1800);
  EXPECT_EQ(ParseDuration("12h"), 43200);
  EXPECT_EQ(ParseDuration("7d"), 604800);
  for (const char* bad : {"", "7", "d", "0d", "-1d", "1w", "1.5h"}) {
    EXPECT_FALSE(ParseDuration(bad)) << bad;
  }
}

}  // namespace
}  // namespace rivoltra::scores
