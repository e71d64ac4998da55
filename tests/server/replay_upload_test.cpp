// Replay uploads: the token links the upload to its entry, the trailer and the verifier's run
// must both match the entry, and every refusal leaves the entry and its replay untouched. The
// verifier here is a test double: a small script printing the verdict line.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "formats/replay_file.h"
#include "formats/score_code.h"
#include "persist/online.h"
#include "platform/curl/curl_http_transport.h"
#include "redeemed_tokens.h"
#include "score_page.h"
#include "server/test_support.h"
#include "server/verifier_script.h"
#include "verifier_runner.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

// 100 ticks, three seconds of racing: within the ticket's slack of the time it was issued.
std::string MakeReplay(std::int32_t score, const std::string& name, const std::string& country,
                       const std::optional<RaceTicket>& ticket = std::nullopt) {
  ReplayRecorder recorder;
  recorder.Begin({"1.0", 0x1234, ticket ? ticket->Seed : 99, 0, ticket});
  for (int tick = 0; tick < 100; ++tick) recorder.AddTick(tick % 7 == 0 ? ReplayLeft : 0, 1);
  return recorder.Finish({score, 2, 100, name, country});
}

class ReplayUpload : public ::testing::Test {
 protected:
  void UseVerifier(const Script& script, std::chrono::seconds wall = 5s, std::size_t waiting = 2) {
    ProcessVerifier::Limits limits;
    limits.Program = script.Path();
    limits.WallTime = wall;
    limits.CpuTime = wall;
    limits.Waiting = waiting;
    verifier_ = std::make_unique<ProcessVerifier>(limits);
    service_.AcceptReplays(*verifier_, uploadLimiter_);
  }

  ServerResponse Get(const std::string& target) {
    return service_.Handle({"GET", target, "10.0.0.1", "", {}}, now_);
  }

  // A report stored through the service; returns its token.
  std::string Report(const std::string& name, std::int32_t score, const std::string& country) {
    std::string token = ServerFieldOf(Get("/cgi/version.pl?version&prg=Rivoltra").Body);
    std::string code = EncodeGroups(EncodeBits(ScoreMessage(name, score, token, country)));
    EXPECT_EQ(Get("/cgi/version.pl?hs&prg=Rivoltra&inf=" + code).Status, 200);
    return token;
  }

  // A replay of a race started with a ticket of this service.
  std::string Ticketed(std::int32_t score, const std::string& name, const std::string& country) {
    return MakeReplay(score, name, country, TicketOfReply(Get("/cgi/ticket.pl").Body));
  }

  ServerResponse Upload(const std::string& token, const std::string& body) {
    return service_.Handle({"POST", "/cgi/replay.pl?token=" + token, "10.0.0.1", body, {}}, now_);
  }

  ScoreEntry Stored(const std::string& name) {
    for (const ScoreEntry& entry : store_.Best(100)) {
      if (entry.Name == name) return entry;
    }
    ADD_FAILURE() << name << " not stored";
    return {};
  }

  ScoreStore store_{":memory:"};
  TokenStore tokens_{TokenStore::Limits{}};
  RateLimiter versionLimiter_{{1000, 1s, 64}};
  RateLimiter reportLimiter_{{1000, 1s, 64}};
  RateLimiter uploadLimiter_{{1000, 1s, 64}};
  LocalBackend backend_{store_, tokens_};
  ScoreService service_{backend_, versionLimiter_, reportLimiter_};
  std::unique_ptr<ProcessVerifier> verifier_;
  ServiceTime now_{SteadyTime{} + 1h, 1700000000};
};

TEST_F(ReplayUpload, ReproducedReplayMarksItsEntryAndIsOfferedForDownload) {
  Script script("echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n" + Reproduces(4200));
  ProcessVerifier::Limits limits;
  limits.Program = script.Path();
  limits.DataFolder = "/opt/game data";
  verifier_ = std::make_unique<ProcessVerifier>(limits);
  service_.AcceptReplays(*verifier_, uploadLimiter_);

  std::string token = Report("ANNA", 4200, "SWEDEN");
  Report("BO", 3000, "");  // sent without an upload
  std::string replay = Ticketed(4200, "ANNA", "SWEDEN");
  ServerResponse answer = Upload(token, replay);
  EXPECT_EQ(answer.Status, 200) << answer.Body;
  EXPECT_EQ(answer.Body, "OK|verified|");

  // The verifier got the bytes in a file of its own, removed afterwards, and the data folder.
  std::string arguments;
  std::getline(std::ifstream(script.Folder() / "arguments"), arguments);
  const std::string options = "verify --data /opt/game data ";
  ASSERT_EQ(arguments.substr(0, options.size()), options) << arguments;
  std::string file = arguments.substr(options.size());
  EXPECT_EQ(file.substr(file.size() - 4), ".rvr");
  EXPECT_FALSE(std::filesystem::exists(file)) << file;

  ScoreEntry anna = Stored("ANNA");
  EXPECT_TRUE(anna.Verified);
  EXPECT_FALSE(Stored("BO").Verified);

  std::string page = Get("/cgi/version.pl?prg=Rivoltra&show&type=0").Body;
  std::size_t annaRow = page.find(">ANNA<");
  std::size_t boRow = page.find(">BO</td>");
  ASSERT_NE(annaRow, std::string::npos);
  ASSERT_NE(boRow, std::string::npos);
  std::string annaLine = page.substr(annaRow, page.find('\n', annaRow) - annaRow);
  std::string boLine = page.substr(boRow, page.find('\n', boRow) - boRow);
  EXPECT_NE(annaLine.find("verified</span>"), std::string::npos) << annaLine;
  EXPECT_NE(annaLine.find("href=\"/cgi/replay.pl?get=" + std::to_string(anna.Id) + "\""),
            std::string::npos)
      << annaLine;
  EXPECT_EQ(boLine.find("verified"), std::string::npos) << boLine;

  std::string verifiedOnly = Get("/cgi/version.pl?prg=Rivoltra&show&type=0&verified=1").Body;
  EXPECT_NE(verifiedOnly.find(">ANNA<"), std::string::npos);
  EXPECT_EQ(verifiedOnly.find(">BO<"), std::string::npos);
  EXPECT_NE(page.find("href=\"/cgi/version.pl?prg=Rivoltra&amp;show&amp;type=0&amp;verified=1\""),
            std::string::npos);
  EXPECT_EQ(annaLine.find("watch"), std::string::npos) << "no browser game, nothing to watch in";
  EXPECT_EQ(page.find("class=\"play\""), std::string::npos) << "no browser game to link";

  // With the browser game served, a verified replay can be watched there.
  service_.SetPlayAddress("/play/");
  page = Get("/cgi/version.pl?prg=Rivoltra&show&type=0").Body;
  annaRow = page.find(">ANNA<");
  annaLine = page.substr(annaRow, page.find('\n', annaRow) - annaRow);
  EXPECT_NE(annaLine.find("href=\"/play/?replay=" + std::to_string(anna.Id) + "\">watch</a>"),
            std::string::npos)
      << annaLine;
  // The footer links the game itself, for phones as for computers.
  EXPECT_NE(page.find("<a class=\"play\" href=\"/play/\">"), std::string::npos);
  boRow = page.find(">BO</td>");
  EXPECT_EQ(page.substr(boRow, page.find('\n', boRow) - boRow).find("watch"), std::string::npos);

  ServerResponse download = Get("/cgi/replay.pl?get=" + std::to_string(anna.Id));
  EXPECT_EQ(download.Status, 200);
  EXPECT_EQ(download.ContentType, "application/octet-stream");
  ASSERT_TRUE(download.SharedBody);
  EXPECT_EQ(*download.SharedBody, replay);
  bool attachment = false;
  for (const auto& [name, value] : download.Headers) {
    if (name == "Content-Disposition") {
      attachment = value == "attachment; filename=\"rivoltra-" + std::to_string(anna.Id) + ".rvr\"";
    }
  }
  EXPECT_TRUE(attachment);
  EXPECT_EQ(Get("/cgi/replay.pl?get=" + std::to_string(Stored("BO").Id)).Status, 404);
  for (const char* bad : {"/cgi/replay.pl?get=", "/cgi/replay.pl?get=-1", "/cgi/replay.pl?get=1x",
                          "/cgi/replay.pl?get=99999999999999999999", "/cgi/replay.pl"}) {
    EXPECT_EQ(Get(bad).Status, 400) << bad;
  }
}

TEST_F(ReplayUpload, RefusalsLeaveTheEntryAsItWas) {
  std::string token = Report("ANNA", 4200, "SWEDEN");
  std::string good = Ticketed(4200, "ANNA", "SWEDEN");
  std::string damaged = good;
  damaged[damaged.size() / 2] ^= 0x40;
  std::string foreign = good;
  foreign.replace(0, 4, "PK\x03\x04");
  std::string oversized = good + std::string((1 << 20) + 1 - good.size(), '\0');

  Script reproduces(Reproduces(4200));
  Script otherScore(Reproduces(999));
  Script notReproduced(
      "echo '{\"valid\": false, \"score\": 4100, \"reason\": \"crashed at tick 90\"}'; exit 1");
  Script contradicts(Reproduces(4200) + "; exit 1");
  Script unreadable("echo '{\"valid\": false, \"score\": 0, \"reason\": \"bad data\"}'; exit 2");
  Script gibberish("echo 'Segmentation fault'");
  Script hangs("sleep 20");

  const struct {
    const char* What;
    std::string Token;
    std::string Body;
    const Script* Verifier;
    int Status;
    const char* Reason;
  } cases[] = {
      {"damaged", token, damaged, &reproduces, 400, "ERROR|damaged replay"},
      {"truncated", token, good.substr(0, good.size() - 7), &reproduces, 400,
       "ERROR|truncated replay"},
      {"oversized", token, oversized, &reproduces, 413, "ERROR|replay too large"},
      {"foreign magic", token, foreign, &reproduces, 400, "ERROR|not a replay"},
      {"empty", token, "", &reproduces, 400, "ERROR|not a replay"},
      {"wrong token", "FTSNFTSNFTSNFTSN", good, &reproduces, 404, "ERROR|token unknown"},
      {"no token", "", good, &reproduces, 400, "ERROR|no token"},
      {"other name", token, MakeReplay(4200, "EVE", "SWEDEN"), &reproduces, 409,
       "ERROR|replay name or country differs"},
      {"other country", token, MakeReplay(4200, "ANNA", "NORWAY"), &reproduces, 409,
       "ERROR|replay name or country differs"},
      {"other recorded score", token, MakeReplay(9999, "ANNA", "SWEDEN"), &reproduces, 409,
       "ERROR|replay score differs"},
      {"run reaches another score", token, good, &otherScore, 409,
       "ERROR|run reaches another score"},
      {"run not reproduced", token, good, &notReproduced, 409,
       "ERROR|replay does not reproduce its result: crashed at tick 90"},
      {"verdict contradicts exit status", token, good, &contradicts, 409,
       "ERROR|replay does not reproduce"},
      {"verifier cannot read", token, good, &unreadable, 503,
       "ERROR|not verified: verifier cannot"},
      {"verifier answers gibberish", token, good, &gibberish, 503, "ERROR|not verified"},
      {"verifier overruns", token, good, &hangs, 503, "ERROR|not verified: verifier overran"},
  };
  for (const auto& c : cases) {
    UseVerifier(*c.Verifier, 1s);
    auto start = std::chrono::steady_clock::now();
    ServerResponse answer = Upload(c.Token, c.Body);
    EXPECT_EQ(answer.Status, c.Status) << c.What << ": " << answer.Body;
    EXPECT_EQ(answer.Body.rfind(c.Reason, 0), 0u) << c.What << ": " << answer.Body;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << c.What;
    ScoreEntry entry = Stored("ANNA");
    EXPECT_FALSE(entry.Verified) << c.What;
    EXPECT_EQ(store_.ReplayOf(entry.Id), std::nullopt) << c.What;
  }

  // The same token still names its entry after all that; once verified, never again.
  UseVerifier(reproduces);
  EXPECT_EQ(Upload(token, good).Status, 200);
  ServerResponse twice = Upload(token, good);
  EXPECT_EQ(twice.Status, 409);
  EXPECT_EQ(twice.Body, "ERROR|already verified\n");
  EXPECT_EQ(store_.ReplayOf(Stored("ANNA").Id), good);
}

TEST_F(ReplayUpload, MethodsRateAndDisabledUploads) {
  std::string token = Report("ANNA", 4200, "SWEDEN");
  std::string good = MakeReplay(4200, "ANNA", "SWEDEN");
  // Without a verifier the server takes no uploads.
  EXPECT_EQ(Upload(token, good).Status, 404);
  Script reproduces(Reproduces(4200));
  UseVerifier(reproduces);
  ServerResponse put =
      service_.Handle({"PUT", "/cgi/replay.pl?token=" + token, "10.0.0.1", good, {}}, now_);
  EXPECT_EQ(put.Status, 405);
  // The old script path still takes GET only.
  EXPECT_EQ(
      service_.Handle({"POST", "/cgi/version.pl?version&prg=Rivoltra", "10.0.0.1", "", {}}, now_)
          .Status,
      405);

  RateLimiter tight({2, 60s, 64});
  service_.AcceptReplays(*verifier_, tight);
  EXPECT_EQ(Upload("FTSNFTSNFTSNFTSN", good).Status, 404);
  EXPECT_EQ(Upload("FTSNFTSNFTSNFTSN", good).Status, 404);
  EXPECT_EQ(Upload(token, good).Status, 429);
  EXPECT_FALSE(Stored("ANNA").Verified);
}

TEST_F(ReplayUpload, TheLinkLastsTheTokenLifetime) {
  Script reproduces(Reproduces(4200));
  UseVerifier(reproduces);
  std::string token = Report("ANNA", 4200, "SWEDEN");
  now_.Now += tokens_.Lifetime() + 1s;
  ServerResponse late = Upload(token, MakeReplay(4200, "ANNA", "SWEDEN"));
  EXPECT_EQ(late.Status, 404) << late.Body;

  // Held links make way oldest first; each keeps its own entry.
  RedeemedTokens links(600s, 2);
  SteadyTime start{};
  links.Link("A", 1, start);
  links.Link("B", 2, start + 1s);
  links.Link("C", 3, start + 2s);
  EXPECT_EQ(links.EntryOf("A", start + 3s), std::nullopt);
  EXPECT_EQ(links.EntryOf("B", start + 3s), 2);
  EXPECT_EQ(links.EntryOf("C", start + 3s), 3);
  EXPECT_EQ(links.EntryOf("C", start + 603s), std::nullopt);
  EXPECT_EQ(links.Size(), 0u);
}

TEST_F(ReplayUpload, AFullQueueAnswersBusyAtOnce) {
  Script slow("sleep 1\n" + Reproduces(4200));
  UseVerifier(slow, 5s, 0);  // one verification at a time, nobody waits
  std::string first = Report("ANNA", 4200, "SWEDEN");
  std::string second = Report("ANNA", 4200, "SWEDEN");
  std::string replay = Ticketed(4200, "ANNA", "SWEDEN");
  std::string secondReplay = Ticketed(4200, "ANNA", "SWEDEN");
  auto running = std::async(std::launch::async, [&] { return Upload(first, replay); });
  std::this_thread::sleep_for(300ms);
  auto start = std::chrono::steady_clock::now();
  ServerResponse busy = Upload(second, secondReplay);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_EQ(busy.Status, 503);
  EXPECT_EQ(busy.Body, "ERROR|busy\n");
  EXPECT_EQ(running.get().Status, 200);
  // Refused for now only: the same upload goes through once the slot is free.
  EXPECT_EQ(Upload(second, secondReplay).Status, 200);
}

TEST(VerifierVerdict, ExitStatusAndLineMustAgree) {
  using Kind = VerdictKind;
  const struct {
    int Status;
    const char* Line;
    VerdictKind Kind;
    std::int64_t Score;
  } cases[] = {
      {0, R"({"valid": true, "score": 4200, "level": 3, "ticks": 10, "reason": ""})",
       Kind::Reproduced, 4200},
      {0, R"({"reason":"said \"valid\": false","score":7,"valid":true})", Kind::Reproduced, 7},
      {0, R"({"valid": false, "score": 4200})", Kind::Different, 4200},
      {1, R"({"valid": true, "score": 4200})", Kind::Different, 4200},
      {1, R"({"valid": false, "score": 10, "reason": "x"})", Kind::Different, 10},
      {2, R"({"valid": false, "score": 0, "reason": "truncated"})", Kind::Unreadable, 0},
      {0, R"({"valid": "true", "score": 4200})", Kind::Failed, 0},
      {0, R"({"valid": true, "score": 42x})", Kind::Failed, 0},
      {0, R"({"valid": true})", Kind::Failed, 0},
      {0, R"({"valid": true, "score": 1)", Kind::Failed, 0},
      {0, "", Kind::Failed, 0},
      {0, R"(["valid", true])", Kind::Failed, 0},
      {3, R"({"valid": true, "score": 4200})", Kind::Failed, 0},
  };
  for (const auto& c : cases) {
    VerifierVerdict verdict = VerdictOf(c.Status, std::string(c.Line) + "\n");
    EXPECT_EQ(verdict.Kind, c.Kind) << c.Status << " " << c.Line;
    EXPECT_EQ(verdict.Score, c.Score) << c.Line;
  }
  EXPECT_EQ(JsonMember(R"({"a": {"valid": false}, "valid": true})", "valid"), "true");
  EXPECT_EQ(JsonMember(R"({"a": [1, {"b": 2}], "score": 5})", "score"), "5");
}

TEST(ReplayStore, AFileOfTheFirstSchemaIsMigratedAndKeepsItsScores) {
  auto path = testing::FreshTempPath("schema1.db");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "CREATE TABLE scores (id INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                         "country TEXT NOT NULL, score INTEGER NOT NULL, submitted_at INTEGER "
                         "NOT NULL); CREATE INDEX scores_rank ON scores (score DESC, "
                         "submitted_at, id); INSERT INTO scores (name, country, score, "
                         "submitted_at) VALUES ('OLD', 'PERU', 700, 1600000000); "
                         "PRAGMA user_version = 1",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  for (int opening = 0; opening < 2; ++opening) {
    ScoreStore store(path.string());
    auto best = store.Best(10);
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(best[0].Name, "OLD");
    EXPECT_EQ(best[0].Score, 700);
    EXPECT_EQ(best[0].Verified, opening == 1);
    if (opening == 0) {
      EXPECT_TRUE(store.Best(10, EntryFilter::VerifiedOnly).empty());
      EXPECT_TRUE(store.MarkVerified(best[0].Id, std::string("RVR\x1A\0\x01", 6)));
      EXPECT_FALSE(store.MarkVerified(best[0].Id, "again"));
      EXPECT_FALSE(store.MarkVerified(best[0].Id + 1, "no such entry"));
    } else {
      EXPECT_EQ(store.ReplayOf(best[0].Id), std::string("RVR\x1A\0\x01", 6));
      EXPECT_EQ(store.Best(10, EntryFilter::VerifiedOnly).size(), 1u);
    }
  }
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  EXPECT_THROW(ScoreStore store(path.string()), StorageError);
  std::filesystem::remove(path);
  std::filesystem::remove(path.string() + "-wal");
  std::filesystem::remove(path.string() + "-shm");
}

TEST(ReplayPage, APageWithoutVerifiedEntriesOnlyGainsTheFilterLink) {
  std::vector<ScoreEntry> best = {{"ANNA", "SWEDEN", 9100, 1700000000}, {"BO", "", 8000, 1}};
  std::string page = RenderScorePage(best);
  std::string link =
      " <a href=\"/cgi/version.pl?prg=Rivoltra&amp;show&amp;type=0&amp;verified=1\">Verified "
      "scores only</a>";
  std::size_t at = page.find(link);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(page.find("verified", at + link.size()), std::string::npos);
  EXPECT_EQ(page.find("verified"), page.find("verified=1"));
  std::string filtered = RenderScorePage({}, TableLinks{}, true);
  EXPECT_NE(filtered.find("No verified scores yet."), std::string::npos);
  EXPECT_NE(
      filtered.find("<a href=\"/cgi/version.pl?prg=Rivoltra&amp;show&amp;type=0\">All scores</a>"),
      std::string::npos);
}

// The score server program with a verifier of the test's choosing; stopped with the object.
class ServerProgram {
 public:
  explicit ServerProgram(std::vector<std::string> extra) {
    std::vector<std::string> arguments = {
        RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:0", "--db", ":memory:", "--quiet"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    child_ = testing::Spawn(arguments);
    std::string line = testing::ReadLine(child_.Output, 10000ms);
    std::size_t portAt = line.find("127.0.0.1:");
    if (portAt != std::string::npos) port_ = std::stoi(line.substr(portAt + 10));
  }
  ~ServerProgram() {
    ::kill(child_.Pid, SIGTERM);
    testing::WaitForExit(child_.Pid, 5000ms);
    ::close(child_.Output);
  }
  int Port() const { return port_; }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  testing::Child child_;
  int port_ = 0;
};

std::string Post(const std::string& target, const std::string& body) {
  return "POST " + target +
         " HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

TEST(ReplayProgram, TheGamesClientUploadsAndOnlyThatEntryShowsVerified) {
  Script reproduces(Reproduces(5600));
  ServerProgram server({"--verifier", reproduces.Path()});
  ASSERT_GT(server.Port(), 0);
  OnlineConfig config = DefaultOnlineConfig();
  config.ServerBase = server.Base();
  CurlHttpTransport transport(2000ms, 5000ms);

  SubmitResult sent = SendScore(transport, config, nullptr, "ANNA", 5600, "SWEDEN");
  ASSERT_EQ(sent.Outcome, SubmitOutcome::Sent);
  EXPECT_EQ(sent.Token.size(), TokenStore::kTokenLength);
  auto ticket = transport.Get(TicketRequestAddress(config));
  ASSERT_TRUE(ticket.has_value());
  std::string replay = MakeReplay(5600, "ANNA", "SWEDEN", TicketOfReply(*ticket));
  EXPECT_EQ(UploadReplay(transport, config, sent.Token, replay), UploadOutcome::Verified);
  EXPECT_EQ(UploadReplay(transport, config, sent.Token, replay), UploadOutcome::NotVerified);
  EXPECT_EQ(UploadReplay(transport, config, "", replay), UploadOutcome::NotSent);
  // The same report without the upload: stored, not verified.
  ASSERT_EQ(SendScore(transport, config, nullptr, "BO", 5600, "").Outcome, SubmitOutcome::Sent);

  auto page = transport.Get(OnlineTableAddress(config));
  ASSERT_TRUE(page.has_value());
  std::size_t anna = page->find(">ANNA<");
  std::size_t bo = page->find(">BO</td>");
  ASSERT_NE(anna, std::string::npos);
  ASSERT_NE(bo, std::string::npos);
  EXPECT_NE(page->substr(anna, page->find('\n', anna) - anna).find("verified"), std::string::npos);
  EXPECT_EQ(page->substr(bo, page->find('\n', bo) - bo).find("verified"), std::string::npos);
  std::size_t link = page->find("href=\"/cgi/replay.pl?get=", anna);
  ASSERT_NE(link, std::string::npos);
  std::string target = page->substr(link + 6, page->find('"', link + 6) - link - 6);
  EXPECT_EQ(transport.Get(server.Base() + target), replay);
}

TEST(ReplayProgram, UploadsHaveTheirOwnBodyCap) {
  Script reproduces(Reproduces(1));
  ServerProgram server({"--verifier", reproduces.Path(), "--max-upload-bytes", "65536"});
  ASSERT_GT(server.Port(), 0);
  std::string fits(65536, 'x');
  std::string over(65537, 'x');
  auto status = [&](const std::string& request) {
    auto reply = testing::RawExchange(server.Port(), request);
    return reply ? reply->substr(0, 12) : std::string("no reply");
  };
  // A body within the cap is judged by its head first: this token names no entry.
  EXPECT_EQ(status(Post("/cgi/replay.pl?token=FTSNFTSNFTSNFTSN", fits)), "HTTP/1.1 404");
  EXPECT_EQ(status(Post("/cgi/replay.pl?token=FTSNFTSNFTSNFTSN", over)), "HTTP/1.1 413");
  // Every other request keeps the small cap.
  EXPECT_EQ(status(Post("/cgi/version.pl?version&prg=Rivoltra", std::string(2048, 'x'))),
            "HTTP/1.1 413");
  EXPECT_EQ(status("GET /cgi/version.pl?prg=Rivoltra&show&type=0 HTTP/1.1\r\nHost: x\r\n"
                   "Connection: close\r\n\r\n"),
            "HTTP/1.1 200");
  // A kept-alive connection goes on after an upload with the small cap again.
  CurlHttpTransport transport(2000ms, 5000ms);
  EXPECT_EQ(transport.Post(server.Base() + "/cgi/replay.pl?token=FTSNFTSNFTSNFTSN", fits,
                           "application/octet-stream"),
            std::nullopt);
  EXPECT_TRUE(transport.Get(server.Base() + "/cgi/version.pl?prg=Rivoltra&show&type=0"));
  EXPECT_EQ(status(Post("/cgi/version.pl?version&prg=Rivoltra", std::string(2048, 'x'))),
            "HTTP/1.1 413");
}

TEST(ReplayProgram, RefusesMoreWaitingVerificationsThanRequestThreads) {
  testing::Child child =
      testing::Spawn({RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:0", "--db",
                      ":memory:", "--threads", "3", "--verify-jobs", "1", "--verify-queue", "2"});
  auto status = testing::WaitForExit(child.Pid, 5000ms);
  ::close(child.Output);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(WEXITSTATUS(*status), 2);
}

}  // namespace
}  // namespace rivoltra::scores
