// The token contract every score back end keeps: a token stores one entry once, other tokens
// store nothing, and neither a flood from many addresses nor one address past its cap pushes out
// another address's waiting token. Run against the embedded storage always, and against
// PostgreSQL when tests/server/postgres_test.sh provides a server.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>

#include "postgres_backend.h"
#include "score_backend.h"
#include "score_store.h"
#include "token_store.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

const ServiceTime kAnyTime{SteadyTime{std::chrono::hours(1000)}, 1700000000};

// A moment so many seconds after kAnyTime: one address's tokens are told apart by their age.
ServiceTime Later(int seconds) {
  return {kAnyTime.Now + std::chrono::seconds(seconds), kAnyTime.UnixSeconds + seconds};
}

// The SQLite table in memory and the process's own token store.
class EmbeddedStorage {
 public:
  explicit EmbeddedStorage(TokenStore::Limits limits) : tokens_(limits) {}
  ScoreBackend& Backend() { return backend_; }
  static std::string Unavailable() { return {}; }

 private:
  ScoreStore store_{":memory:"};
  TokenStore tokens_;
  LocalBackend backend_{store_, tokens_};
};

// The database RIVOLTRA_TEST_POSTGRES names, its tables dropped first.
class PostgresStorage {
 public:
  explicit PostgresStorage(TokenStore::Limits limits) : backend_(EmptiedDatabase(), limits, 2) {}
  ScoreBackend& Backend() { return backend_; }
  static std::string Unavailable() {
    return Address().empty()
               ? "no PostgreSQL server: run tests/server/postgres_test.sh, which starts one"
               : "";
  }

 private:
  static std::string Address() {
    const char* address = std::getenv("RIVOLTRA_TEST_POSTGRES");
    return address != nullptr ? address : "";
  }
  static std::string EmptiedDatabase() {
    PGconn* connection = PQconnectdb(Address().c_str());
    PGresult* result = PQexec(connection,
                              "SET client_min_messages = warning; DROP TABLE IF EXISTS scores, "
                              "tokens, rivoltra_schema, replays, redeemed_tokens CASCADE");
    PQclear(result);
    PQfinish(connection);
    return Address();
  }

  PostgresBackend backend_;
};

template <typename Storage>
class TokenContract : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string why = Storage::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  }
  std::unique_ptr<Storage> Open(TokenStore::Limits limits) {
    return std::make_unique<Storage>(limits);
  }
};

struct StorageNames {
  template <typename Storage>
  static std::string GetName(int) {
    return std::is_same_v<Storage, EmbeddedStorage> ? "Embedded" : "Postgres";
  }
};

using Storages = ::testing::Types<EmbeddedStorage, PostgresStorage>;
TYPED_TEST_SUITE(TokenContract, Storages, StorageNames);

TYPED_TEST(TokenContract, ATokenStoresOneEntryOnceAndNoOtherTokenStoresAny) {
  auto storage = this->Open({600s, 100, 16});
  ScoreBackend& backend = storage->Backend();
  auto token = backend.IssueToken("10.0.0.1", kAnyTime);
  ASSERT_TRUE(token.has_value());
  EXPECT_EQ(token->size(), TokenStore::kTokenLength);
  const ScoreEntry entry{"ANNA", "NORWAY", 500, 1700000001};
  EXPECT_EQ(backend.StoreWithToken(*token, entry, kAnyTime), ScoreBackend::Redeemed::Stored);
  EXPECT_EQ(backend.StoreWithToken(*token, entry, kAnyTime), ScoreBackend::Redeemed::Unknown);
  EXPECT_EQ(backend.StoreWithToken("NOSUCHTOKEN", entry, kAnyTime),
            ScoreBackend::Redeemed::Unknown);
  EXPECT_EQ(backend.StoreWithToken("", entry, kAnyTime), ScoreBackend::Redeemed::Unknown);
  EXPECT_EQ(backend.Best(10).size(), 1u);
}

TYPED_TEST(TokenContract, FloodFromManyAddressesCannotPushOutAWaitingToken) {
  auto storage = this->Open({600s, 6, 2});
  ScoreBackend& backend = storage->Backend();
  auto waiting = backend.IssueToken("10.0.0.1", kAnyTime);
  ASSERT_TRUE(waiting.has_value());
  // One address past its own cap pushes out only its own oldest token.
  auto oldest = backend.IssueToken("10.9.9.9", Later(1));
  auto middle = backend.IssueToken("10.9.9.9", Later(2));
  auto newest = backend.IssueToken("10.9.9.9", Later(3));
  ASSERT_TRUE(oldest && middle && newest);
  EXPECT_EQ(backend.StoreWithToken(*oldest, {"X", "", 1, 1}, Later(4)),
            ScoreBackend::Redeemed::Unknown);
  EXPECT_EQ(backend.StoreWithToken(*newest, {"Y", "", 2, 2}, Later(4)),
            ScoreBackend::Redeemed::Stored);
  // Many addresses fill the table; once it is full of other addresses' tokens, new ones are
  // refused rather than pushing out the waiting one.
  int refused = 0;
  for (int i = 0; i < 20; ++i) {
    if (!backend.IssueToken("10.1.0." + std::to_string(i), Later(5))) ++refused;
  }
  EXPECT_GT(refused, 0);
  EXPECT_EQ(backend.StoreWithToken(*waiting, {"PLAYER", "", 77, 1}, Later(6)),
            ScoreBackend::Redeemed::Stored);
}

}  // namespace
}  // namespace rivoltra::scores
