#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_input.h"

namespace rivoltra {

// Opens the transport of one exchange with the score server: libcurl on the desktop, the
// browser's fetch in the page.
using HttpOpener = std::function<std::unique_ptr<HttpTransport>(const HttpLimits& limits)>;

// The real machine through SDL: one window titled "Rivoltra" that is not resizable, a whole
// multiple of 800 x 600 (the player's scale, at most what the desktop holds), centred, with the
// hand pointer; the 5-6-5 back buffer is streamed into a texture and scaled with its aspect kept,
// in the window and in full screen (borderless desktop full screen). Where the renderer would
// draw on the processor anyway (no usable GPU), the picture is scaled straight into the window's
// frame buffer instead, at a fraction of the cost. The window is high-DPI aware: the picture is
// scaled to the drawable's pixels, not the desktop's points. The browser's platform builds on it
// and changes what a page does differently.
class SdlFrameBufferOutput;

class SdlPlatform : public Platform, public DisplayPresenter {
 public:
  explicit SdlPlatform(HttpOpener openHttp);
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  std::uint32_t Milliseconds() override;
  std::uint64_t PerformanceCounter() override { return SDL_GetPerformanceCounter(); }
  DisplayPresenter& Presenter() override { return *this; }
  bool StoreWindowPlacement() override;
  void RestoreWindowPlacement() override;
  bool IsApplicationActive() override;
  void ChangeMouseCursorCounter(int delta) override;
  KeyboardSource& Keyboard() override { return keyboard_; }
  JoystickSource& Joystick() override { return joystick_; }
  MouseSource& Mouse() override { return mouse_; }
  AudioOutput& Audio() override { return audio_; }
  void ShowMessage(const std::string& text) override;
  bool OpenWithShell(const std::string& target) override;
  std::unique_ptr<HttpTransport> OpenHttp(const HttpLimits& limits) override;
  // On a thread of its own with a transport from OpenHttp; the page's platform fetches instead.
  std::unique_ptr<PendingHttpGet> StartHttpGet(const std::string& address,
                                               const HttpLimits& limits) override;
  std::int64_t WallClockSeconds() override;

  bool Open(bool fullScreen, int width, int height, std::string& reason) override;
  void Close() override {}
  void Present(const Surface& backBuffer) override;
  void SetScaling(int windowScale, bool smooth) override;

  // Sleeps until the clock reads the given millisecond value (an absolute deadline, so the
  // sleep never accumulates the oversleep of earlier ones).
  void SleepUntil(std::uint32_t milliseconds);
  SDL_Window* Window() const { return window_; }
  // Opens the sound device; without a usable one the game stays silent. Not done with the
  // window: opening a device (and the mixer's thread that then runs) slowed the renderer's
  // making, so the desktop game opens it once its first picture is shown, and the sounds and
  // the music the start-up prepared begin then.
  void StartSoundOutput() { audio_.Initialize(); }

 private:
  // The renderer and its streaming texture, or the frame buffer output in their place.
  bool EnsurePresentation(int width, int height, std::string& reason);
  bool CreateRenderer(std::string& reason);
  // Swaps the renderer for the window's frame buffer; false (with no renderer left) when the
  // window has no usable frame buffer.
  bool UseFrameBuffer(int width, int height);
  // The whole multiple of the surface the window is shown at: the chosen one, but never more
  // than the window's desktop holds.
  int WindowScale(int width, int height) const;
  void ApplyFilter();

  HttpOpener openHttp_;
  SdlKeyboard keyboard_;
  SdlJoystick joystick_;
  SdlMouse mouse_;
  SdlAudio audio_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::unique_ptr<SdlFrameBufferOutput> frameBuffer_;
  SDL_Cursor* handCursor_ = nullptr;
  std::optional<SDL_Point> storedPlacement_;
  bool placementRestored_ = false;
  int cursorCounter_ = 0;
  int windowScale_ = 0;  // 0: the largest that fits
  bool smooth_ = false;
  bool fullScreen_ = false;
  int surfaceWidth_ = 800;
  int surfaceHeight_ = 600;
  std::int64_t clockOriginNs_ = 0;
};

}  // namespace rivoltra
