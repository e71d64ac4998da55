#include "rate_limiter.h"

#include <algorithm>

namespace rivoltra::scores {

RateLimiter::RateLimiter(Limits limits) : limits_(limits) {
  if (limits_.Burst < 1) limits_.Burst = 1;
  if (limits_.Refill.count() <= 0) limits_.Refill = std::chrono::milliseconds(1);
  if (limits_.MaxClients == 0) limits_.MaxClients = 1;
}

double RateLimiter::Refilled(const Bucket& bucket, SteadyTime now) const {
  // A clock that steps back must not drain a bucket.
  double elapsed =
      std::max(0.0, std::chrono::duration<double, std::milli>(now - bucket.Updated).count());
  return std::min(limits_.Burst,
                  bucket.Available + elapsed / static_cast<double>(limits_.Refill.count()));
}

bool RateLimiter::Allow(std::string_view client, SteadyTime now, double cost) {
  std::lock_guard lock(mutex_);
  auto found = buckets_.find(client);
  if (found == buckets_.end()) {
    MakeRoom(now);
    found = buckets_.emplace(std::string(client), Bucket{limits_.Burst, now}).first;
  }
  Bucket& bucket = found->second;
  bucket.Available = Refilled(bucket, now);
  bucket.Updated = std::max(bucket.Updated, now);
  if (bucket.Available < cost) return false;
  bucket.Available -= cost;
  return true;
}

std::size_t RateLimiter::TrackedClients() const {
  std::lock_guard lock(mutex_);
  return buckets_.size();
}

void RateLimiter::MakeRoom(SteadyTime now) {
  if (buckets_.size() < limits_.MaxClients) return;
  // A full bucket says nothing a new bucket would not, so those go first.
  std::erase_if(buckets_,
                [&](const auto& entry) { return Refilled(entry.second, now) >= limits_.Burst; });
  while (buckets_.size() >= limits_.MaxClients) {
    auto quietest = std::min_element(
        buckets_.begin(), buckets_.end(),
        [](const auto& a, const auto& b) { return a.second.Updated < b.second.Updated; });
    buckets_.erase(quietest);
  }
}

}  // namespace rivoltra::scores
