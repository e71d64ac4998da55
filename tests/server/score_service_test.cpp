#include "score_service.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "formats/score_code.h"
#include "persist/online.h"
#include "server/test_support.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

const SteadyTime kStart{std::chrono::hours(1000)};
constexpr std::int64_t kUnixStart = 1700000000;
constexpr const char* kVersionTarget = "/cgi/version.pl?version&prg=Rivoltra";

std::string ReportTarget(const std::string& message) {
  return "/cgi/version.pl?hs&prg=Rivoltra&inf=" + EncodeGroups(EncodeBits(message));
}

class ScoreServiceTest : public ::testing::Test {
 protected:
  ServerResponse Get(const std::string& target, SteadyTime now = kStart,
                     const std::string& client = "127.0.0.1") {
    std::int64_t unix =
        kUnixStart + std::chrono::duration_cast<std::chrono::seconds>(now - kStart).count();
    return service_.Handle({"GET", target, client}, {now, unix});
  }
  // The token of a fresh version reply, read the way the game reads it.
  std::string IssueToken(SteadyTime now = kStart) {
    ServerResponse reply = Get(kVersionTarget, now);
    EXPECT_EQ(reply.Status, 200);
    return ServerFieldOf(reply.Body);
  }

  ScoreStore store_{":memory:"};
  TokenStore tokens_{{600s, 1000}};
  RateLimiter versionLimiter_{{100, 1s, 100}};
  RateLimiter reportLimiter_{{3, 60s, 100}};
  LocalBackend backend_{store_, tokens_};
  ScoreService service_{backend_, versionLimiter_, reportLimiter_};
};

TEST_F(ScoreServiceTest, VersionReplyStartsWithOkAndCarriesTokenInFieldFive) {
  ServerResponse reply = Get(kVersionTarget);
  EXPECT_EQ(reply.Status, 200);
  ASSERT_EQ(reply.Body.substr(0, 3), "OK|");
  std::string first = ServerFieldOf(reply.Body);
  EXPECT_EQ(first.size(), TokenStore::kTokenLength);
  std::string second = IssueToken();
  EXPECT_EQ(second.size(), TokenStore::kTokenLength);
  EXPECT_NE(first, second);
  EXPECT_EQ(tokens_.Outstanding(), 2u);
  EXPECT_EQ(tokens_.Redeem(first, kStart), TokenStore::Verdict::Accepted);
}

TEST_F(ScoreServiceTest, StoresAValidReportWithItsTimeAndFoldedSpaces) {
  std::string token = IssueToken();
  ServerResponse stored =
      Get(ReportTarget(ScoreMessage("  ANNA   MARIA ", 4321, token, "NEW  ZEALAND")), kStart + 5s);
  EXPECT_EQ(stored.Status, 200) << stored.Body;
  ASSERT_EQ(store_.Count(), 1u);
  ScoreEntry entry = store_.Best(1)[0];
  EXPECT_EQ(entry.Name, "ANNA MARIA");
  EXPECT_EQ(entry.Country, "NEW ZEALAND");
  EXPECT_EQ(entry.Score, 4321);
  EXPECT_EQ(entry.SubmittedAt, kUnixStart + 5);

  ServerResponse page = Get("/cgi/version.pl?prg=Rivoltra&show&type=0");
  EXPECT_EQ(page.Status, 200);
  EXPECT_EQ(page.ContentType, "text/html; charset=utf-8");
  EXPECT_NE(page.Body.find(">ANNA MARIA<"), std::string::npos);
}

TEST_F(ScoreServiceTest, RefusesUnknownReusedAndExpiredTokens) {
  std::string token = IssueToken();
  EXPECT_EQ(Get(ReportTarget(ScoreMessage("A", 10, "NOSUCHTOKEN", ""))).Status, 403);
  EXPECT_EQ(Get(ReportTarget(ScoreMessage("A", 10, token, ""))).Status, 200);
  EXPECT_EQ(Get(ReportTarget(ScoreMessage("A", 10, token, ""))).Status, 403);  // reused

  std::string old = IssueToken(kStart);
  ServerResponse late = Get(ReportTarget(ScoreMessage("B", 10, old, "")), kStart + 601s);
  EXPECT_EQ(late.Status, 403);
  EXPECT_NE(late.Body.find("expired"), std::string::npos);
  EXPECT_EQ(store_.Count(), 1u);
}

TEST_F(ScoreServiceTest, RefusesImplausibleEntriesWithoutSpendingTheToken) {
  std::string token = IssueToken();
  std::string tooLongName(25, 'N');
  const std::string refused[] = {
      ScoreMessage("anna", 10, token, ""),
      ScoreMessage("ANNA", 10, token, "n0rway"),
      ScoreMessage("ANNA<B>", 10, token, ""),
      ScoreMessage(tooLongName, 10, token, ""),
      ScoreMessage("ANNA", 10, token, std::string(33, 'C')),
      ScoreMessage("ANNA", -1, token, ""),
      ScoreMessage("ANNA", 10'000'000, token, ""),
      ScoreMessage("ANNA", 10, "", ""),
      "type=1" + ScoreMessage("ANNA", 10, token, "").substr(6),
  };
  int client = 0;  // refused reports count against the rate limit too
  for (const auto& message : refused) {
    EXPECT_EQ(Get(ReportTarget(message), kStart, "10.0.0." + std::to_string(++client)).Status, 400)
        << message;
  }
  std::string message = ScoreMessage("ANNA", 10, token, "");
  std::string wrongKey = message;
  wrongKey[wrongKey.find("|key=") + 5] = kScoreKeyLetter == 'A' ? 'B' : 'A';
  EXPECT_EQ(Get(ReportTarget(wrongKey), kStart, "10.0.1.1").Status, 400);
  EXPECT_EQ(store_.Count(), 0u);
  // Twenty-four letters and runs of spaces fold to fit.
  EXPECT_EQ(Get(ReportTarget(ScoreMessage(std::string(24, 'N') + "      ", 10, token, ""))).Status,
            200);
}

TEST_F(ScoreServiceTest, LimitsReportsPerClientAddress) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Get(ReportTarget(ScoreMessage("A", i, IssueToken(), ""))).Status, 200) << i;
  }
  std::string token = IssueToken();
  EXPECT_EQ(Get(ReportTarget(ScoreMessage("A", 9, token, ""))).Status, 429);
  EXPECT_EQ(Get(ReportTarget(ScoreMessage("A", 9, token, "")), kStart, "10.1.1.1").Status, 200);
  EXPECT_EQ(
      Get(ReportTarget(ScoreMessage("A", 9, IssueToken(kStart + 60s), "")), kStart + 60s).Status,
      200);
  EXPECT_EQ(store_.Count(), 5u);
}

TEST_F(ScoreServiceTest, RoutesEveryRequestToOneAnswer) {
  const struct {
    const char* Method;
    std::string Target;
    int Status;
  } cases[] = {
      {"GET", "/", 200},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&type=0", 200},
      {"GET", "/cgi/version.pl?type=0&show=&prg=Rivoltra", 200},
      {"GET", "/cgi/version.pl?prg=%52ivoltra&show&type=0", 200},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&type=1", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show", 400},
      {"GET", "/cgi/version.pl?prg=Other&show&type=0", 404},
      {"GET", "/cgi/version.pl?show&type=0", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show=yes&type=0", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&version&type=0", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&prg=Rivoltra&show&type=0", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&type=%zz", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&type=%0", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&type=0%", 400},
      {"GET", "/cgi/version.pl?prg=Rivoltra&show&type=0&=1", 400},
      {"GET", "/cgi/version.pl?hs&prg=Rivoltra", 400},
      {"GET", "/cgi/version.pl?hs&prg=Rivoltra&inf=", 400},
      {"GET", "/cgi/version.pl?hs&prg=Rivoltra&inf=abc", 400},
      {"GET", "/cgi/version.pl?hs&prg=Rivoltra&inf=" + EncodeGroups(EncodeBits("hello")), 400},
      {"GET", "/cgi/version.pl?hs&prg=Rivoltra&inf=" + std::string(1500, 'F'), 400},
      {"GET", "/cgi/version.pl?a&b&c&d&e&f&g&h&i&j&k&l&m&n&o&p&q&prg=Rivoltra&show&type=0", 400},
      {"GET", "/cgi/version.pl?" + std::string(3000, 'x'), 414},
      {"GET", "/cgi/other.pl?prg=Rivoltra&show&type=0", 404},
      {"GET", "/favicon.ico", 404},
      {"GET", "", 404},
      {"POST", kVersionTarget, 405},
      {"HEAD", "/", 405},
      {"", "/", 405},
  };
  for (const auto& c : cases) {
    ServerResponse response = service_.Handle({c.Method, c.Target, "127.0.0.1"}, {kStart, 0});
    EXPECT_EQ(response.Status, c.Status) << c.Method << " " << c.Target;
    if (response.Status >= 400) {
      EXPECT_EQ(response.Body.substr(0, 6), "ERROR|") << c.Target;
    }
  }
  EXPECT_EQ(tokens_.Outstanding(), 0u);
}

TEST(ScoreServiceStorage, ReportWhoseStoreFailsKeepsItsTokenForARetry) {
  auto folder = testing::FreshTempPath("locked");
  std::filesystem::create_directories(folder);
  std::string path = (folder / "scores.db").string();
  ScoreStore store(path);
  TokenStore tokens{{600s, 100, 4}};
  RateLimiter versionLimiter{{100, 1s, 100}};
  RateLimiter reportLimiter{{100, 1s, 100}};
  LocalBackend backend(store, tokens);
  ScoreService service(backend, versionLimiter, reportLimiter);
  ServerResponse version = service.Handle({"GET", kVersionTarget, "10.0.0.1"}, {kStart, 0});
  std::string report = ReportTarget(ScoreMessage("RETRY", 55, ServerFieldOf(version.Body), ""));

  // Another connection holds the write lock past the store's patience.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  ServerResponse failed = service.Handle({"GET", report, "10.0.0.1"}, {kStart + 1s, 1});
  EXPECT_EQ(failed.Status, 500);
  EXPECT_EQ(failed.Body, "ERROR|score not stored\n");
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  ServerResponse retried = service.Handle({"GET", report, "10.0.0.1"}, {kStart + 2s, 2});
  EXPECT_EQ(retried.Status, 200) << retried.Body;
  EXPECT_EQ(store.Count(), 1u);
  std::filesystem::remove_all(folder);
}

TEST(ScoreServiceStorage, VersionRequestWhenNoTokenCanBeIssuedIsBusy) {
  ScoreStore store(":memory:");
  TokenStore tokens{{600s, 2, 4}};
  RateLimiter versionLimiter{{100, 1s, 100}};
  RateLimiter reportLimiter{{100, 1s, 100}};
  LocalBackend backend(store, tokens);
  ScoreService service(backend, versionLimiter, reportLimiter);
  EXPECT_EQ(service.Handle({"GET", kVersionTarget, "10.0.0.1"}, {kStart, 0}).Status, 200);
  EXPECT_EQ(service.Handle({"GET", kVersionTarget, "10.0.0.2"}, {kStart, 0}).Status, 200);
  ServerResponse busy = service.Handle({"GET", kVersionTarget, "10.0.0.3"}, {kStart, 0});
  EXPECT_EQ(busy.Status, 503);
  EXPECT_EQ(busy.Body.substr(0, 6), "ERROR|");
  EXPECT_EQ(service.Handle({"GET", "/healthz", "10.0.0.3"}, {kStart, 0}).Status, 200);
}

TEST(QueryParsing, DecodesEscapesAndFlagsWithoutValues) {
  auto parameters = ParseQuery("version&prg=Riv%6Fltra&name=A+B&&x=%41%3d");
  ASSERT_TRUE(parameters.has_value());
  EXPECT_EQ(parameters->at("version"), "");
  EXPECT_EQ(parameters->at("prg"), "Rivoltra");
  EXPECT_EQ(parameters->at("name"), "A B");
  EXPECT_EQ(parameters->at("x"), "A=");
  EXPECT_EQ(parameters->size(), 4u);
  EXPECT_TRUE(ParseQuery("")->empty());
}

TEST(FoldSpacesTest, TrimsAndFoldsRuns) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"   ", ""}, {"A", "A"}, {" A  B ", "A B"}, {"NEW   ZEALAND", "NEW ZEALAND"}};
  for (const auto& [text, folded] : cases) EXPECT_EQ(FoldSpaces(text), folded) << text;
}

}  // namespace
}  // namespace rivoltra::scores
