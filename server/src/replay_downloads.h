#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace rivoltra::scores {

// Bounds what replay downloads cost: at most `atOnce` are being sent at a time (a client that
// never reads holds its place until the write deadline drops it), and every download of one
// replay shares one buffer instead of a copy per reply.
class ReplayDownloads {
 public:
  explicit ReplayDownloads(std::size_t atOnce) : atOnce_(atOnce == 0 ? 1 : atOnce) {}

  // A place among the downloads sent at once, given back when the last copy of the pointer
  // goes; null when every place is taken.
  std::shared_ptr<const void> TakePlace();
  // The replay's bytes, shared with every reply still sending them; `load` reads them when no
  // reply holds them. nullopt when `load` finds none.
  std::shared_ptr<const std::string> Shared(
      std::int64_t entryId, const std::function<std::optional<std::string>()>& load);
  std::size_t Sending() const { return sending_; }

 private:
  std::size_t atOnce_;
  std::atomic<std::size_t> sending_{0};
  std::mutex mutex_;
  std::map<std::int64_t, std::weak_ptr<const std::string>> buffers_;
};

}  // namespace rivoltra::scores
