#include "platform/null/null_platform.h"

#include <utility>

namespace rivoltra {

bool NullPlatform::StoreWindowPlacement() {
  // Only a window has a placement to keep.
  placementStored_ = !fullScreen_;
  return placementStored_;
}

void NullPlatform::RestoreWindowPlacement() { placementStored_ = false; }

namespace {

class AnsweredGet final : public PendingHttpGet {
 public:
  explicit AnsweredGet(std::optional<std::string> reply) : reply_(std::move(reply)) {}
  bool Done() override { return true; }
  std::optional<std::string> Reply() override { return reply_; }

 private:
  std::optional<std::string> reply_;
};

}  // namespace

std::unique_ptr<PendingHttpGet> NullPlatform::StartHttpGet(const std::string& address,
                                                           const HttpLimits& limits) {
  std::optional<std::string> reply;
  try {
    reply = http_.Open(limits)->Get(address);
  } catch (...) {
    reply.reset();
  }
  return std::make_unique<AnsweredGet>(std::move(reply));
}

bool NullPlatform::OpenWithShell(const std::string& target) {
  openedTargets_.push_back(target);
  return true;
}

bool NullPlatform::Open(bool fullScreen, int width, int height, std::string& /*reason*/) {
  open_ = true;
  fullScreen_ = fullScreen;
  lastPresented_.Resize(width, height);
  return true;
}

void NullPlatform::Present(const Surface& backBuffer) {
  if (keepPresented_) lastPresented_ = backBuffer;
  ++presentCount_;
}

std::vector<std::string> NullPlatform::TakeMessages() { return std::exchange(messages_, {}); }

std::vector<std::string> NullPlatform::TakeOpenedTargets() {
  return std::exchange(openedTargets_, {});
}

}  // namespace rivoltra
