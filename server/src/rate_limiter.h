#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "token_store.h"

namespace rivoltra::scores {

// A token bucket per client address: `burst` requests at once, then one more every `refill`.
class RateLimiter {
 public:
  struct Limits {
    double Burst = 5;
    std::chrono::milliseconds Refill{std::chrono::seconds(60)};
    // Addresses remembered at once; a flood of new addresses pushes out the quietest first.
    std::size_t MaxClients = 4096;
  };

  explicit RateLimiter(Limits limits);

  // Takes `cost` from the client's bucket (one request, or a number of bytes for a byte
  // budget); false, taking nothing, when the bucket holds less.
  bool Allow(std::string_view client, SteadyTime now, double cost = 1);
  std::size_t TrackedClients() const;

 private:
  struct Bucket {
    double Available;
    SteadyTime Updated;
  };
  double Refilled(const Bucket& bucket, SteadyTime now) const;
  void MakeRoom(SteadyTime now);

  Limits limits_;
  mutable std::mutex mutex_;
  std::map<std::string, Bucket, std::less<>> buckets_;
};

}  // namespace rivoltra::scores
