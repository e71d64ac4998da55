#include "replay_downloads.h"

namespace rivoltra::scores {

std::shared_ptr<const void> ReplayDownloads::TakePlace() {
  std::size_t sending = sending_.load();
  do {
    if (sending >= atOnce_) return nullptr;
  } while (!sending_.compare_exchange_weak(sending, sending + 1));
  // The pointer's deleter gives the place back; it points at nothing of its own.
  return std::shared_ptr<const void>(static_cast<const void*>(this),
                                     [this](const void*) { --sending_; });
}

std::shared_ptr<const std::string> ReplayDownloads::Shared(
    std::int64_t entryId, const std::function<std::optional<std::string>()>& load) {
  {
    std::lock_guard lock(mutex_);
    auto found = buffers_.find(entryId);
    if (found != buffers_.end()) {
      if (auto shared = found->second.lock()) return shared;
      buffers_.erase(found);
    }
  }
  // Read outside the lock: a slow storage call must not hold up other downloads.
  auto bytes = load();
  if (!bytes) return nullptr;
  auto shared = std::make_shared<const std::string>(std::move(*bytes));
  std::lock_guard lock(mutex_);
  std::erase_if(buffers_, [](const auto& entry) { return entry.second.expired(); });
  auto [slot, added] = buffers_.emplace(entryId, shared);
  if (!added) {
    if (auto other = slot->second.lock()) return other;
    slot->second = shared;
  }
  return shared;
}

}  // namespace rivoltra::scores
