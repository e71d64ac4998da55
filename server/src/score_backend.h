#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "score_store.h"
#include "token_store.h"

namespace rivoltra::scores {

struct ServiceTime {
  SteadyTime Now;            // for token lifetimes and rate limits
  std::int64_t UnixSeconds;  // the date stored with a score
};

// Where scores and their tokens live. The embedded back end keeps tokens in the process; a
// shared database keeps them beside the scores, so a token issued by one server process is
// redeemed by another. Replays and a "verified" flag per entry join this interface later.
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
  // Best first; equal scores in the order they arrived. Throws StorageError.
  virtual std::vector<ScoreEntry> Best(std::size_t limit) = 0;
  virtual std::chrono::seconds TokenLifetime() const = 0;
  // Throws StorageError when the storage cannot serve.
  virtual void CheckHealth() = 0;
};

// The SQLite file for scores and the process's own token store.
class LocalBackend : public ScoreBackend {
 public:
  LocalBackend(ScoreStore& store, TokenStore& tokens) : store_(store), tokens_(tokens) {}

  std::optional<std::string> IssueToken(std::string_view client, const ServiceTime& time) override;
  Redeemed StoreWithToken(std::string_view token, const ScoreEntry& entry,
                          const ServiceTime& time) override;
  std::vector<ScoreEntry> Best(std::size_t limit) override { return store_.Best(limit); }
  std::chrono::seconds TokenLifetime() const override { return tokens_.Lifetime(); }
  void CheckHealth() override { store_.Count(); }

 private:
  ScoreStore& store_;
  TokenStore& tokens_;
};

}  // namespace rivoltra::scores
