#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "platform/null/fake_http.h"
#include "platform/null/null_audio.h"
#include "platform/platform.h"

namespace rivoltra {

// The headless machine: a fake millisecond clock that only moves when told, a presenter that
// keeps the last picture, and records of every message box and every address opened.
// The keyboard is the table of keys the script holds.
class HeldKeys final : public KeyboardSource {
 public:
  void ReadKeys(std::array<std::uint8_t, 256>& keys) override { keys = keys_; }
  void SetKeyDown(int virtualKey, bool down) {
    keys_[static_cast<std::size_t>(virtualKey & 0xFF)] = down ? 0x80 : 0;
  }
  bool IsKeyDown(int virtualKey) const {
    return (keys_[static_cast<std::size_t>(virtualKey & 0xFF)] & 0x80) != 0;
  }

 private:
  std::array<std::uint8_t, 256> keys_{};
};

// No joystick and no mouse are plugged into the headless machine.
class AbsentJoystick final : public JoystickSource {
 public:
  bool Open(int /*id*/) override { return false; }
  void Close() override {}
  bool Read(RawJoystickState& /*state*/) override { return false; }
};

class AbsentMouse final : public MouseSource {
 public:
  bool Open() override { return false; }
  void Close() override {}
  bool Read(MouseReading& /*reading*/) override { return false; }
};

class NullPlatform final : public Platform, public DisplayPresenter {
 public:
  NullPlatform() { audio_.Initialize(); }

  std::uint32_t Milliseconds() override { return clock_; }
  std::uint64_t PerformanceCounter() override { return 0; }
  DisplayPresenter& Presenter() override { return *this; }
  bool StoreWindowPlacement() override;
  void RestoreWindowPlacement() override;
  bool IsApplicationActive() override { return active_; }
  void ChangeMouseCursorCounter(int delta) override { cursorCounter_ += delta; }
  KeyboardSource& Keyboard() override { return heldKeys_; }
  JoystickSource& Joystick() override { return joystick_; }
  MouseSource& Mouse() override { return mouse_; }
  HeldKeys& Keys() { return heldKeys_; }
  AudioOutput& Audio() override { return audio_; }
  NullAudio& SilentAudio() { return audio_; }
  // A message box does not wait here: it is recorded and, when someone listens, told at once.
  void ShowMessage(const std::string& text) override {
    messages_.push_back(text);
    if (OnMessage) OnMessage(text);
  }
  std::function<void(const std::string&)> OnMessage;
  bool OpenWithShell(const std::string& target) override;
  std::unique_ptr<HttpTransport> OpenHttp(const HttpLimits& limits) override {
    return http_.Open(limits);
  }
  // Answered at once, as the fake clock does not move while a request runs: a run with a
  // server waits for the reply exactly where the game would start the request.
  std::unique_ptr<PendingHttpGet> StartHttpGet(const std::string& address,
                                               const HttpLimits& limits) override;
  FakeHttp& Http() { return http_; }
  // A fixed day unless the run sets one, so every run shows the same daily course.
  std::int64_t WallClockSeconds() override { return wallClock_; }
  void SetWallClock(std::int64_t secondsSince1970) { wallClock_ = secondsSince1970; }
  static constexpr std::int64_t kDefaultWallClock = 1767225600;  // 2026-01-01 00:00 UTC

  bool Open(bool fullScreen, int width, int height, std::string& reason) override;
  void Close() override { open_ = false; }
  void Present(const Surface& backBuffer) override;

  void AdvanceClock(std::uint32_t milliseconds) { clock_ += milliseconds; }
  void SetClock(std::uint32_t milliseconds) { clock_ = milliseconds; }
  void SetApplicationActive(bool active) { active_ = active; }

  // A copy of every presented frame costs as much as drawing half of one, so the headless
  // runner keeps none unless asked: LastPresented() is the last frame presented while kept.
  void KeepPresentedFrames(bool keep) { keepPresented_ = keep; }
  const Surface& LastPresented() const { return lastPresented_; }
  std::uint64_t PresentCount() const { return presentCount_; }
  bool IsFullScreen() const { return open_ && fullScreen_; }
  int MouseCursorCounter() const { return cursorCounter_; }
  bool HasStoredPlacement() const { return placementStored_; }
  std::vector<std::string> TakeMessages();
  std::vector<std::string> TakeOpenedTargets();

 private:
  std::int64_t wallClock_ = kDefaultWallClock;
  HeldKeys heldKeys_;
  NullAudio audio_;
  AbsentJoystick joystick_;
  AbsentMouse mouse_;
  FakeHttp http_;
  std::uint32_t clock_ = 0;
  bool active_ = true;
  bool open_ = false;
  bool fullScreen_ = false;
  bool placementStored_ = false;
  int cursorCounter_ = 0;
  std::uint64_t presentCount_ = 0;
  bool keepPresented_ = false;
  Surface lastPresented_;
  std::vector<std::string> messages_;
  std::vector<std::string> openedTargets_;
};

}  // namespace rivoltra
