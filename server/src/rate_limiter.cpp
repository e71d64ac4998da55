#include "rate_limiter.h"

#include <algorithm>

namespace rivoltra::scores {

RateLimiter::RateLimiter(Limits limits) : limits_(limits) {
  if (limits_.burst < 1) limits_.burst = 1;
  if (limits_.refill.count() <= 0) limits_.refill = std::chrono::milliseconds(1);
  if (limits_.maxClients == 0) limits_.maxClients = 1;
}

double RateLimiter::Refilled(const Bucket& bucket, SteadyTime now) const {
  // A clock that steps back must not drain a bucket.
  double elapsed =
      std::max(0.0, std::chrono::duration<double, std::milli>(now - bucket.updated).count());
  return std::min(limits_.burst,
                  bucket.available + elapsed / static_cast<double>(limits_.refill.count()));
}

bool RateLimiter::Allow(std::string_view client, SteadyTime now, double cost) {
  std::lock_guard lock(mutex_);
  auto found = buckets_.find(client);
  if (found == buckets_.end()) {
    MakeRoom(now);
    found = buckets_.emplace(std::string(client), Bucket{limits_.burst, now}).first;
  }
  Bucket& bucket = found->second;
  bucket.available = Refilled(bucket, now);
  bucket.updated = std::max(bucket.updated, now);
  if (bucket.available < cost) return false;
  bucket.available -= cost;
  return true;
}

std::size_t RateLimiter::TrackedClients() const {
  std::lock_guard lock(mutex_);
  return buckets_.size();
}

void RateLimiter::MakeRoom(SteadyTime now) {
  if (buckets_.size() < limits_.maxClients) return;
  // A full bucket says nothing a new bucket would not, so those go first.
  std::erase_if(buckets_,
                [&](const auto& entry) { return Refilled(entry.second, now) >= limits_.burst; });
  while (buckets_.size() >= limits_.maxClients) {
    auto quietest = std::min_element(
        buckets_.begin(), buckets_.end(),
        [](const auto& a, const auto& b) { return a.second.updated < b.second.updated; });
    buckets_.erase(quietest);
  }
}

}  // namespace rivoltra::scores
