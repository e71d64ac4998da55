#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "score_backend.h"

struct pg_conn;

namespace rivoltra::scores {

// Scores and tokens in a PostgreSQL database, so several server processes behind a load
// balancer share one table and a token issued by one is redeemed by another. Token times come
// from the database's clock, so the servers' clocks need not agree. Each worker thread leases
// a connection of its own from a small pool.
class PostgresBackend : public ScoreBackend {
 public:
  // Connects `connections` times to the libpq address and creates or checks the schema.
  // Throws StorageError naming the address (without its password) when it cannot.
  PostgresBackend(const std::string& address, TokenStore::Limits tokenLimits,
                  std::size_t connections);
  ~PostgresBackend() override;
  PostgresBackend(const PostgresBackend&) = delete;
  PostgresBackend& operator=(const PostgresBackend&) = delete;

  std::optional<std::string> IssueToken(std::string_view client, const ServiceTime& time) override;
  Redeemed StoreWithToken(std::string_view token, const ScoreEntry& entry,
                          const ServiceTime& time) override;
  std::optional<ScoreEntry> EntryOfToken(std::string_view token, const ServiceTime& time) override;
  bool MarkVerified(std::int64_t entryId, std::string_view replay) override;
  std::optional<std::string> ReplayOf(std::int64_t entryId) override;
  RunStanding MarkVerifiedRun(std::int64_t entryId, std::string_view replay, const VerifiedRun& run,
                              std::int64_t now) override;
  RunStanding StandingOf(const VerifiedRun& run) override;
  std::string TicketSecret(std::string_view fresh) override;
  std::vector<ScoreEntry> DailyRanked(std::uint32_t day, std::size_t offset,
                                      std::size_t limit) override;
  std::vector<ScoreEntry> Ranked(std::size_t offset, std::size_t limit,
                                 EntryFilter filter) override;
  std::optional<ScoreEntry> Entry(std::int64_t entryId) override;
  std::chrono::seconds TokenLifetime() const override { return limits_.Lifetime; }
  void CheckHealth() override;
  std::size_t Count();
  std::size_t StoredScores() override { return Count(); }
  std::size_t OutstandingTokens() override;

  // Moderation, in postgres_moderation.cpp.
  std::vector<ScoreEntry> Search(const EntrySearch& search) override;
  bool Hide(std::int64_t entryId, const std::string& reason, std::int64_t now) override;
  bool Unhide(std::int64_t entryId, const std::string& reason, std::int64_t now) override;
  bool Rename(std::int64_t entryId, const std::string& name, const std::string& reason,
              std::int64_t now) override;
  std::int64_t AddBan(const Ban& ban, std::int64_t now) override;
  bool LiftBan(std::int64_t banId, const std::string& reason, std::int64_t now) override;
  std::vector<Ban> Bans() override;
  std::vector<Ban> ActiveBans(std::int64_t now) override;
  std::vector<AuditRecord> AuditLog(std::size_t limit) override;

 private:
  class Lease;
  friend class Lease;

  pg_conn* Acquire();
  void Release(pg_conn* connection);
  void CreateSchema(pg_conn* connection);
  void SweepNowAndThen(pg_conn* connection);
  // Runs `change` on one connection inside BEGIN and COMMIT (ROLLBACK when it throws).
  template <typename Change>
  auto InTransaction(Change change);

  std::string shownAddress_;
  TokenStore::Limits limits_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<pg_conn*> idle_;
  std::vector<pg_conn*> all_;
  std::atomic<unsigned> issuedSinceSweep_{0};
};

// The address with any password replaced, fit for messages and logs.
std::string RedactedAddress(const std::string& address);

}  // namespace rivoltra::scores
