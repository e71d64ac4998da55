#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "platform/platform.h"

namespace rivoltra {

// The headless machine: a fake millisecond clock that only moves when told, a presenter that
// keeps the last picture, and records of every message box and every address opened.
class NullPlatform final : public Platform, public DisplayPresenter {
 public:
  std::uint32_t Milliseconds() override { return clock_; }
  std::uint64_t PerformanceCounter() override { return 0; }
  DisplayPresenter& Presenter() override { return *this; }
  bool StoreWindowPlacement() override;
  void RestoreWindowPlacement() override;
  bool IsApplicationActive() override { return active_; }
  void ChangeMouseCursorCounter(int delta) override { cursorCounter_ += delta; }
  void ShowMessage(const std::string& text) override { messages_.push_back(text); }
  bool OpenWithShell(const std::string& target) override;

  bool Open(bool fullScreen, int width, int height, std::string& reason) override;
  void Close() override { open_ = false; }
  void Present(const Surface& backBuffer) override;

  void AdvanceClock(std::uint32_t milliseconds) { clock_ += milliseconds; }
  void SetClock(std::uint32_t milliseconds) { clock_ = milliseconds; }
  void SetApplicationActive(bool active) { active_ = active; }

  const Surface& LastPresented() const { return lastPresented_; }
  std::uint64_t PresentCount() const { return presentCount_; }
  bool IsFullScreen() const { return open_ && fullScreen_; }
  int MouseCursorCounter() const { return cursorCounter_; }
  bool HasStoredPlacement() const { return placementStored_; }
  std::vector<std::string> TakeMessages();
  std::vector<std::string> TakeOpenedTargets();

 private:
  std::uint32_t clock_ = 0;
  bool active_ = true;
  bool open_ = false;
  bool fullScreen_ = false;
  bool placementStored_ = false;
  int cursorCounter_ = 0;
  std::uint64_t presentCount_ = 0;
  Surface lastPresented_;
  std::vector<std::string> messages_;
  std::vector<std::string> openedTargets_;
};

}  // namespace rivoltra
