#include "platform/sdl/threaded_http_get.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace rivoltra {

namespace {

// Shared by the request's thread and its owner, so either may go first.
struct Exchange {
  std::mutex Mutex;
  std::atomic<bool> Done{false};
  std::optional<std::string> Reply;
};

class ThreadedGet final : public PendingHttpGet {
 public:
  ThreadedGet(std::unique_ptr<HttpTransport> transport, std::string address)
      : exchange_(std::make_shared<Exchange>()) {
    std::thread([exchange = exchange_, transport = std::move(transport),
                 address = std::move(address)]() mutable {
      std::optional<std::string> reply;
      try {
        reply = transport->Get(address);
      } catch (...) {
        reply.reset();
      }
      std::lock_guard lock(exchange->Mutex);
      exchange->Reply = std::move(reply);
      exchange->Done = true;
    }).detach();
  }

  bool Done() override { return exchange_->Done; }
  std::optional<std::string> Reply() override {
    if (!exchange_->Done) return std::nullopt;
    std::lock_guard lock(exchange_->Mutex);
    return exchange_->Reply;
  }

 private:
  std::shared_ptr<Exchange> exchange_;
};

}  // namespace

std::unique_ptr<PendingHttpGet> StartThreadedGet(std::unique_ptr<HttpTransport> transport,
                                                 std::string address) {
  return std::make_unique<ThreadedGet>(std::move(transport), std::move(address));
}

}  // namespace rivoltra
