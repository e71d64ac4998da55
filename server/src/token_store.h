#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace rivoltra::scores {

using SteadyTime = std::chrono::steady_clock::time_point;

// Single-use tokens handed out with the version reply and redeemed by one score report. They
// make a report replayed from a log or typed by hand worthless.
//
// Each token remembers the address it was issued to. An address holds at most perClient
// tokens (its own oldest make way), and when the store is full the oldest token of the busiest
// address goes; when every address holds a single token, new ones are refused instead. So a
// flood from many addresses cannot push out a waiting player's token within its lifetime.
class TokenStore {
 public:
  struct Limits {
    std::chrono::seconds Lifetime{600};
    std::size_t Capacity = 10000;  // outstanding tokens
    std::size_t PerClient = 16;    // outstanding tokens of one address
  };
  enum class Verdict { Accepted, Unknown, Expired };
  // A token taken out for a report; handed back by Restore when the report could not be stored.
  struct Taken {
    TokenStore::Verdict Verdict = TokenStore::Verdict::Unknown;
    std::string Token;
    std::string Client;
    SteadyTime IssuedAt;
  };

  // A token of kTokenLength characters from the score alphabet, from the system's random source.
  static constexpr std::size_t kTokenLength = 16;
  static std::string RandomToken();

  explicit TokenStore(Limits limits, std::function<std::string()> generator = RandomToken);

  // nullopt when the store is full of live tokens, one per address.
  std::optional<std::string> Issue(std::string_view client, SteadyTime now);
  // Issue for a client without an address; empty when refused.
  std::string Issue(SteadyTime now);
  // A token is forgotten once redeemed, so a second report with it is Unknown.
  Verdict Redeem(std::string_view token, SteadyTime now);
  // Like Redeem, but an accepted token can be put back with Restore.
  Taken Take(std::string_view token, SteadyTime now);
  void Restore(const Taken& taken);
  std::size_t Outstanding() const;
  std::chrono::seconds Lifetime() const { return limits_.Lifetime; }
  std::size_t Capacity() const { return limits_.Capacity; }

 private:
  struct Issued {
    SteadyTime At;
    std::string Client;
  };
  using ByToken = std::map<std::string, Issued, std::less<>>;

  void Add(std::string token, std::string client, SteadyTime at);
  void Forget(ByToken::iterator token);
  void ForgetOldestOf(const std::string& client);
  bool MakeRoom(const std::string& client, SteadyTime now);

  Limits limits_;
  std::function<std::string()> generator_;
  mutable std::mutex mutex_;
  ByToken issued_;
  std::set<std::pair<SteadyTime, std::string>> byAge_;
  std::map<std::string, std::set<std::pair<SteadyTime, std::string>>, std::less<>> byClient_;
  std::set<std::pair<std::size_t, std::string>> clientsByLoad_;
};

}  // namespace rivoltra::scores
