#include "platform/null/null_platform.h"

#include <utility>

namespace rivoltra {

bool NullPlatform::StoreWindowPlacement() {
  // Only a window has a placement to keep.
  placementStored_ = !fullScreen_;
  return placementStored_;
}

void NullPlatform::RestoreWindowPlacement() { placementStored_ = false; }

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
