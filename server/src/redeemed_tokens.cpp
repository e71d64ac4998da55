#include "redeemed_tokens.h"

namespace rivoltra::scores {

RedeemedTokens::RedeemedTokens(std::chrono::seconds lifetime, std::size_t capacity)
    : lifetime_(lifetime), capacity_(capacity == 0 ? 1 : capacity) {}

void RedeemedTokens::Link(std::string_view token, std::int64_t entryId, SteadyTime now) {
  std::lock_guard lock(mutex_);
  ForgetExpired(now);
  while (links_.size() >= capacity_ && !byAge_.empty()) {
    auto oldest = links_.find(byAge_.front().second);
    if (oldest != links_.end() && oldest->second.At == byAge_.front().first) links_.erase(oldest);
    byAge_.pop_front();
  }
  std::string key(token);
  links_.insert_or_assign(key, Linked{entryId, now});
  byAge_.emplace_back(now, std::move(key));
}

std::optional<std::int64_t> RedeemedTokens::EntryOf(std::string_view token, SteadyTime now) {
  std::lock_guard lock(mutex_);
  ForgetExpired(now);
  auto found = links_.find(token);
  if (found == links_.end()) return std::nullopt;
  return found->second.EntryId;
}

std::size_t RedeemedTokens::Size() const {
  std::lock_guard lock(mutex_);
  return links_.size();
}

void RedeemedTokens::ForgetExpired(SteadyTime now) {
  while (!byAge_.empty() && now - byAge_.front().first > lifetime_) {
    auto link = links_.find(byAge_.front().second);
    // A token linked again later keeps its newer link.
    if (link != links_.end() && link->second.At == byAge_.front().first) links_.erase(link);
    byAge_.pop_front();
  }
}

}  // namespace rivoltra::scores
