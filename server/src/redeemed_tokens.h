#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "token_store.h"

namespace rivoltra::scores {

// Which entry each spent token stored, for a while after the report: the replay upload names
// its entry by the report's token. Links older than the lifetime are forgotten, and when
// `capacity` links are held the oldest makes way, so a flood of reports cannot grow it.
class RedeemedTokens {
 public:
  RedeemedTokens(std::chrono::seconds lifetime, std::size_t capacity);

  void Link(std::string_view token, std::int64_t entryId, SteadyTime now);
  // nullopt for a token never redeemed here or redeemed longer than the lifetime ago.
  std::optional<std::int64_t> EntryOf(std::string_view token, SteadyTime now);
  std::size_t Size() const;

 private:
  struct Linked {
    std::int64_t EntryId;
    SteadyTime At;
  };
  void ForgetExpired(SteadyTime now);

  std::chrono::seconds lifetime_;
  std::size_t capacity_;
  mutable std::mutex mutex_;
  std::map<std::string, Linked, std::less<>> links_;
  std::deque<std::pair<SteadyTime, std::string>> byAge_;
};

}  // namespace rivoltra::scores
