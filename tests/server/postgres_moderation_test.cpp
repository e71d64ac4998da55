// Moderation on the PostgreSQL back end, against the throwaway server tests/server/postgres_test.sh
// starts (RIVOLTRA_TEST_POSTGRES); without it these tests skip.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "postgres_backend.h"
#include "score_service.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kNow = 1700000000;

class PostgresModeration : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* address = std::getenv("RIVOLTRA_TEST_POSTGRES");
    if (address == nullptr || *address == '\0') {
      GTEST_SKIP() << "no PostgreSQL server: run tests/server/postgres_test.sh, which starts one";
    }
    PGconn* connection = PQconnectdb(address);
    ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
    PQclear(PQexec(connection,
                   "SET client_min_messages = warning; DROP TABLE IF EXISTS scores, tokens, "
                   "rivoltra_schema, replays, redeemed_tokens, hidden_entries, bans, audit_log "
                   "CASCADE"));
    PQfinish(connection);
    backend_ = std::make_unique<PostgresBackend>(address, TokenStore::Limits{}, 2);
    for (auto [name, score] : {std::pair{"ANNA", 900}, {"BO", 800}, {"CHEATER", 9000000}}) {
      ids_[name] = Store(name, score);
    }
  }

  std::int64_t Store(const std::string& name, int score) {
    ServiceTime time{SteadyTime{}, kNow};
    auto token = backend_->IssueToken("10.0.0.1", time);
    EXPECT_TRUE(token);
    EXPECT_EQ(backend_->StoreWithToken(*token, {name, "", score, kNow, 0, false, {}}, time),
              ScoreBackend::Redeemed::Stored);
    return backend_->EntryOfToken(*token, time)->Id;
  }

  std::unique_ptr<PostgresBackend> backend_;
  std::map<std::string, std::int64_t> ids_;
};

TEST_F(PostgresModeration, HidingRenamingAndBansWorkAsOnSqliteAndAreLogged) {
  std::int64_t cheater = ids_["CHEATER"];
  ASSERT_TRUE(backend_->MarkVerified(cheater, "replay"));
  ASSERT_TRUE(backend_->Hide(cheater, "impossible score", kNow + 1));
  EXPECT_FALSE(backend_->Hide(cheater, "again", kNow + 2));
  EXPECT_FALSE(backend_->Hide(999999, "no such entry", kNow + 2));
  auto best = backend_->Best(10);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].Name, "ANNA");
  EXPECT_EQ(backend_->Ranked(1, 10, EntryFilter::All).size(), 1u);
  EXPECT_FALSE(backend_->ReplayOf(cheater)) << "a hidden entry's replay is not served";
  EXPECT_EQ(backend_->Entry(cheater)->HiddenReason, "impossible score");
  EXPECT_EQ(backend_->Search({"", true, 10, 0}).size(), 1u);
  EXPECT_EQ(backend_->Search({"an", false, 10, 0}).size(), 1u);
  ASSERT_TRUE(backend_->Unhide(cheater, "appeal upheld", kNow + 3));
  EXPECT_EQ(backend_->ReplayOf(cheater), "replay");

  ASSERT_TRUE(backend_->Rename(ids_["BO"], "BOB", "typo", kNow + 4));
  EXPECT_EQ(backend_->Entry(ids_["BO"])->Name, "BOB");
  EXPECT_FALSE(backend_->Rename(999999, "X", "none", kNow + 4));

  std::int64_t ban =
      backend_->AddBan({0, BanKind::Address, "10.0.0.0/8", "spam", 0, kNow + 60, {}}, kNow + 5);
  EXPECT_EQ(backend_->ActiveBans(kNow + 10).size(), 1u);
  EXPECT_EQ(backend_->ActiveBans(kNow + 61).size(), 0u) << "ended by itself";
  ASSERT_TRUE(backend_->LiftBan(ban, "mistake", kNow + 6));
  EXPECT_FALSE(backend_->LiftBan(ban, "twice", kNow + 7));
  EXPECT_EQ(backend_->ActiveBans(kNow + 10).size(), 0u);
  ASSERT_EQ(backend_->Bans().size(), 1u);
  EXPECT_EQ(backend_->Bans()[0].LiftedAt, kNow + 6);

  auto log = backend_->AuditLog(10);
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].Action, "unban");
  EXPECT_EQ(log[1].Action, "ban");
  EXPECT_EQ(log[1].Detail, "address 10.0.0.0/8 until 2023-11-14 22:14:20 UTC");
  EXPECT_EQ(log[2].Detail, "\"BO\" -> \"BOB\"");
  EXPECT_EQ(log[4].Action, "hide");
  EXPECT_EQ(log[4].Reason, "impossible score");
}

TEST_F(PostgresModeration, TheServiceLeavesBannedNamesOffItsPages) {
  RateLimiter versionLimiter{{100, 1s, 100}};
  RateLimiter reportLimiter{{100, 1s, 100}};
  ScoreService service(*backend_, versionLimiter, reportLimiter);
  auto page = [&] {
    return service
        .Handle({"GET", "/cgi/version.pl?prg=Rivoltra&show&type=0", "127.0.0.1"},
                {SteadyTime{}, kNow})
        .Body;
  };
  EXPECT_NE(page().find(">CHEATER<"), std::string::npos);
  backend_->AddBan({0, BanKind::Name, "*cheat*", "cheating", 0, {}, {}}, kNow);
  EXPECT_EQ(page().find("CHEATER"), std::string::npos);
  EXPECT_NE(page().find(">ANNA<"), std::string::npos);
  EXPECT_EQ(backend_->StoredScores(), 3u);
}

}  // namespace
}  // namespace rivoltra::scores
