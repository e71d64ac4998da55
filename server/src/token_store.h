#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace rivoltra::scores {

using SteadyTime = std::chrono::steady_clock::time_point;

// Single-use tokens handed out with the version reply and redeemed by one score report. They
// make a report replayed from a log or typed by hand worthless.
class TokenStore {
 public:
  struct Limits {
    std::chrono::seconds lifetime{600};
    std::size_t capacity = 10000;  // outstanding tokens; the oldest make way for new ones
  };
  enum class Verdict { Accepted, Unknown, Expired };

  // A token of kTokenLength characters from the score alphabet, from the system's random source.
  static constexpr std::size_t kTokenLength = 16;
  static std::string RandomToken();

  explicit TokenStore(Limits limits, std::function<std::string()> generator = RandomToken);

  std::string Issue(SteadyTime now);
  // A token is forgotten once redeemed, so a second report with it is Unknown.
  Verdict Redeem(std::string_view token, SteadyTime now);
  std::size_t Outstanding() const;
  std::chrono::seconds Lifetime() const { return limits_.lifetime; }

 private:
  void Forget(std::map<std::string, SteadyTime, std::less<>>::iterator token);
  void MakeRoom(SteadyTime now);

  Limits limits_;
  std::function<std::string()> generator_;
  mutable std::mutex mutex_;
  std::map<std::string, SteadyTime, std::less<>> issuedAt_;
  std::multimap<SteadyTime, std::string> byAge_;
};

}  // namespace rivoltra::scores
