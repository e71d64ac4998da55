#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "moderation.h"
#include "redeemed_tokens.h"
#include "score_store.h"
#include "token_store.h"

namespace rivoltra::scores {

struct ServiceTime {
  SteadyTime Now;            // for token lifetimes and rate limits
  std::int64_t UnixSeconds;  // the date stored with a score
};

// Where scores and their tokens live. The embedded back end keeps tokens in the process; a
// shared database keeps them beside the scores, so a token issued by one server process is
// redeemed by another. A spent token stays linked to the entry it stored for the token
// lifetime, so the replay upload that follows the report can name that entry.
class ScoreBackend {
 public:
  enum class Redeemed { Stored, Unknown, Expired };

  virtual ~ScoreBackend() = default;

  // A fresh single-use token for the client; nullopt when no token can be issued now.
  virtual std::optional<std::string> IssueToken(std::string_view client,
                                                const ServiceTime& time) = 0;
  // Spends the token and stores the entry as one step: a StorageError leaves the token unspent.
  virtual Redeemed StoreWithToken(std::string_view token, const ScoreEntry& entry,
                                  const ServiceTime& time) = 0;
  // The entry a token stored, while the link lasts; nullopt for a token unknown, unspent or
  // spent longer than the token lifetime ago.
  virtual std::optional<ScoreEntry> EntryOfToken(std::string_view token,
                                                 const ServiceTime& time) = 0;
  // Marks the entry verified and keeps its replay as one step; false when it is gone or was
  // verified already.
  virtual bool MarkVerified(std::int64_t entryId, std::string_view replay) = 0;
  // The replay of a verified entry that is not hidden.
  virtual std::optional<std::string> ReplayOf(std::int64_t entryId) = 0;
  // MarkVerified with the run's ticket spent, its tick stream kept and its daily entry, as one
  // step; anything but Fresh changes nothing. `now` in seconds since 1970 sweeps spent tickets.
  virtual RunStanding MarkVerifiedRun(std::int64_t entryId, std::string_view replay,
                                      const VerifiedRun& run, std::int64_t now) = 0;
  // Whether MarkVerifiedRun could succeed, asked before the costly verifier runs.
  virtual RunStanding StandingOf(const VerifiedRun& run) = 0;
  // The table's ticket secret: the one stored, or `fresh` when none was stored yet, so every
  // server process of the table signs with the same one.
  virtual std::string TicketSecret(std::string_view fresh) = 0;
  // A day's table: each name's best verified run, best first from `offset`, hidden entries left
  // out (a name whose best run was hidden leaves the day's table: its lesser runs are not kept).
  virtual std::vector<ScoreEntry> DailyRanked(std::uint32_t day, std::size_t offset,
                                              std::size_t limit) = 0;
  std::vector<ScoreEntry> DailyBest(std::uint32_t day, std::size_t limit) {
    return DailyRanked(day, 0, limit);
  }
  // Best first from `offset`; equal scores in the order they arrived; hidden entries left out.
  // Throws StorageError.
  virtual std::vector<ScoreEntry> Ranked(std::size_t offset, std::size_t limit,
                                         EntryFilter filter) = 0;
  std::vector<ScoreEntry> Best(std::size_t limit, EntryFilter filter = EntryFilter::All) {
    return Ranked(0, limit, filter);
  }
  // Any entry, hidden ones included with their reason.
  virtual std::optional<ScoreEntry> Entry(std::int64_t entryId) = 0;
  virtual std::chrono::seconds TokenLifetime() const = 0;
  // Throws StorageError when the storage cannot serve.
  virtual void CheckHealth() = 0;
  // For the metrics.
  virtual std::size_t StoredScores() = 0;
  virtual std::size_t OutstandingTokens() = 0;

  // Moderation (rivoltra-scores admin): each action and its audit record are one transaction;
  // false when there is no such entry or ban, or nothing to change.
  virtual std::vector<ScoreEntry> Search(const EntrySearch& search) = 0;
  virtual bool Hide(std::int64_t entryId, const std::string& reason, std::int64_t now) = 0;
  virtual bool Unhide(std::int64_t entryId, const std::string& reason, std::int64_t now) = 0;
  virtual bool Rename(std::int64_t entryId, const std::string& name, const std::string& reason,
                      std::int64_t now) = 0;
  virtual std::int64_t AddBan(const Ban& ban, std::int64_t now) = 0;
  virtual bool LiftBan(std::int64_t banId, const std::string& reason, std::int64_t now) = 0;
  // Every ban, newest first; ActiveBans those in force at `now`.
  virtual std::vector<Ban> Bans() = 0;
  virtual std::vector<Ban> ActiveBans(std::int64_t now) = 0;
  // Newest first.
  virtual std::vector<AuditRecord> AuditLog(std::size_t limit) = 0;
};

// The SQLite file for scores and the process's own token store.
class LocalBackend : public ScoreBackend {
 public:
  LocalBackend(ScoreStore& store, TokenStore& tokens)
      : store_(store), tokens_(tokens), redeemed_(tokens.Lifetime(), tokens.Capacity()) {}

  std::optional<std::string> IssueToken(std::string_view client, const ServiceTime& time) override;
  Redeemed StoreWithToken(std::string_view token, const ScoreEntry& entry,
                          const ServiceTime& time) override;
  std::optional<ScoreEntry> EntryOfToken(std::string_view token, const ServiceTime& time) override;
  bool MarkVerified(std::int64_t entryId, std::string_view replay) override {
    return store_.MarkVerified(entryId, replay);
  }
  std::optional<std::string> ReplayOf(std::int64_t entryId) override {
    return store_.ReplayOf(entryId);
  }
  RunStanding MarkVerifiedRun(std::int64_t entryId, std::string_view replay, const VerifiedRun& run,
                              std::int64_t now) override {
    return store_.MarkVerifiedRun(entryId, replay, run, now);
  }
  RunStanding StandingOf(const VerifiedRun& run) override { return store_.StandingOf(run); }
  std::string TicketSecret(std::string_view fresh) override { return store_.TicketSecret(fresh); }
  std::vector<ScoreEntry> DailyRanked(std::uint32_t day, std::size_t offset,
                                      std::size_t limit) override {
    return store_.DailyBest(day, limit, offset);
  }
  std::vector<ScoreEntry> Ranked(std::size_t offset, std::size_t limit,
                                 EntryFilter filter) override {
    return store_.Best(limit, filter, offset);
  }
  std::optional<ScoreEntry> Entry(std::int64_t entryId) override { return store_.Entry(entryId); }
  std::chrono::seconds TokenLifetime() const override { return tokens_.Lifetime(); }
  void CheckHealth() override { store_.Count(); }
  std::size_t StoredScores() override { return store_.Count(); }
  std::size_t OutstandingTokens() override { return tokens_.Outstanding(); }

  std::vector<ScoreEntry> Search(const EntrySearch& search) override {
    return store_.Search(search);
  }
  bool Hide(std::int64_t entryId, const std::string& reason, std::int64_t now) override {
    return store_.Hide(entryId, reason, now);
  }
  bool Unhide(std::int64_t entryId, const std::string& reason, std::int64_t now) override {
    return store_.Unhide(entryId, reason, now);
  }
  bool Rename(std::int64_t entryId, const std::string& name, const std::string& reason,
              std::int64_t now) override {
    return store_.Rename(entryId, name, reason, now);
  }
  std::int64_t AddBan(const Ban& ban, std::int64_t now) override { return store_.AddBan(ban, now); }
  bool LiftBan(std::int64_t banId, const std::string& reason, std::int64_t now) override {
    return store_.LiftBan(banId, reason, now);
  }
  std::vector<Ban> Bans() override { return store_.Bans(); }
  std::vector<Ban> ActiveBans(std::int64_t now) override { return store_.ActiveBans(now); }
  std::vector<AuditRecord> AuditLog(std::size_t limit) override { return store_.AuditLog(limit); }

 private:
  ScoreStore& store_;
  TokenStore& tokens_;
  RedeemedTokens redeemed_;
};

}  // namespace rivoltra::scores
