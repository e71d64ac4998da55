#include "platform/sdl/sdl_platform.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <stdexcept>
#include <utility>

#include "platform/sdl/sdl_frame_buffer_output.h"
#include "platform/sdl/sdl_renderer_check.h"
#ifndef __EMSCRIPTEN__
#include "platform/sdl/threaded_http_get.h"
#endif

namespace rivoltra {

namespace {

std::int64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

SdlPlatform::SdlPlatform(HttpOpener openHttp)
    : openHttp_(std::move(openHttp)), clockOriginNs_(MonotonicNanoseconds()) {
#ifdef __EMSCRIPTEN__
  // The page scales the canvas itself; a high-DPI canvas would get a backing store of the
  // device's pixels while the picture is drawn at the window's size, into its top-left corner.
  constexpr Uint32 kWindowFlags = SDL_WINDOW_HIDDEN;
#else
  constexpr Uint32 kWindowFlags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
#endif
  window_ = SDL_CreateWindow("Rivoltra", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                             kWindowFlags);
  if (window_ == nullptr)
    throw std::runtime_error(std::string("Form not found: ") + SDL_GetError());
  handCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
  if (handCursor_ != nullptr) SDL_SetCursor(handCursor_);
  // The renderer is made while the window is still hidden: some renderers re-create the
  // window they draw into, and nobody should ever see (or hold on to) the first one.
  std::string reason;
  if (!EnsurePresentation(800, 600, reason))
    throw std::runtime_error("Primary Surface cannot be made: " + reason);
}

SdlPlatform::~SdlPlatform() {
  frameBuffer_.reset();
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (handCursor_ != nullptr) SDL_FreeCursor(handCursor_);
}

std::uint32_t SdlPlatform::Milliseconds() {
  return static_cast<std::uint32_t>((MonotonicNanoseconds() - clockOriginNs_) / 1'000'000);
}

void SdlPlatform::SleepUntil(std::uint32_t milliseconds) {
  // Rebuild the full deadline from the 32-bit value relative to the current clock reading.
  const std::uint32_t now = Milliseconds();
  const std::int64_t ahead = static_cast<std::int32_t>(milliseconds - now);
  if (ahead <= 0) return;
  const std::int64_t nowMsNs =
      clockOriginNs_ + (MonotonicNanoseconds() - clockOriginNs_) / 1'000'000 * 1'000'000;
  const std::int64_t deadline = nowMsNs + ahead * 1'000'000;
  timespec target{static_cast<time_t>(deadline / 1'000'000'000),
                  static_cast<long>(deadline % 1'000'000'000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &target, nullptr) == EINTR) {
  }
}

bool SdlPlatform::StoreWindowPlacement() {
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
  SDL_Point position{};
  SDL_GetWindowPosition(window_, &position.x, &position.y);
  storedPlacement_ = position;
  return true;
}

void SdlPlatform::RestoreWindowPlacement() {
  if (!storedPlacement_) return;
  SDL_SetWindowPosition(window_, storedPlacement_->x, storedPlacement_->y);
  storedPlacement_.reset();
  placementRestored_ = true;
}

bool SdlPlatform::IsApplicationActive() {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlPlatform::ChangeMouseCursorCounter(int delta) {
  cursorCounter_ += delta;
  SDL_ShowCursor(cursorCounter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void SdlPlatform::ShowMessage(const std::string& text) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rivoltra", text.c_str(), window_);
}

bool SdlPlatform::OpenWithShell(const std::string& target) {
  return SDL_OpenURL(target.c_str()) == 0;
}

bool SdlPlatform::EnsurePresentation(int width, int height, std::string& reason) {
  if (frameBuffer_ != nullptr) return true;
  if (renderer_ == nullptr) {
    if (!CreateRenderer(reason)) return false;
#ifndef __EMSCRIPTEN__
    // In a page the browser composites the canvas; the renderer is the only way there.
    if (RendersOnProcessor(renderer_) && UseFrameBuffer(width, height)) return true;
    if (renderer_ == nullptr && !CreateRenderer(reason)) return false;
#endif
    SDL_RenderSetLogicalSize(renderer_, width, height);
  }
  if (texture_ == nullptr) {
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                 width, height);
    if (texture_ == nullptr) {
      reason = SDL_GetError();
      return false;
    }
    ApplyFilter();
  }
  return true;
}

bool SdlPlatform::CreateRenderer(std::string& reason) {
  // No vertical-blank wait: the 30 ms tick is not a multiple of the refresh.
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    reason = SDL_GetError();
    return false;
  }
  return true;
}

bool SdlPlatform::UseFrameBuffer(int width, int height) {
  // A window has either a renderer or a frame buffer; and SDL's own choice for the frame buffer
  // would be a texture on that same renderer.
  SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  auto output = std::make_unique<SdlFrameBufferOutput>(window_, width, height);
  if (!output->Usable()) return false;
  frameBuffer_ = std::move(output);
  return true;
}

void SdlPlatform::ApplyFilter() {
  if (texture_ != nullptr)
    SDL_SetTextureScaleMode(texture_, smooth_ ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

int SdlPlatform::WindowScale(int width, int height) const {
#ifdef __EMSCRIPTEN__
  // In a page the canvas is as large as the page makes it; the picture is scaled to that.
  (void)width;
  (void)height;
  return 1;
#else
  int display = SDL_GetWindowDisplayIndex(window_);
  if (display < 0) display = 0;
  SDL_Rect usable{};
  int fitting = 1;
  if (SDL_GetDisplayUsableBounds(display, &usable) == 0) {
    // The frame around the window takes room too; before the window has been shown its size is
    // unknown, and a title bar's worth is kept free.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) top = 32;
    const int roomX = usable.w - left - right;
    const int roomY = usable.h - top - bottom;
    while ((fitting + 1) * width <= roomX && (fitting + 1) * height <= roomY) ++fitting;
  }
  return windowScale_ <= 0 ? fitting : std::min(windowScale_, fitting);
#endif
}

void SdlPlatform::SetScaling(int windowScale, bool smooth) {
  const bool resize = windowScale != windowScale_;
  windowScale_ = windowScale;
  smooth_ = smooth;
  ApplyFilter();
  if (!resize || fullScreen_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) == 0) return;
  const int scale = WindowScale(surfaceWidth_, surfaceHeight_);
  SDL_SetWindowSize(window_, surfaceWidth_ * scale, surfaceHeight_ * scale);
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

bool SdlPlatform::Open(bool fullScreen, int width, int height, std::string& reason) {
  if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    reason = SDL_GetError();
    return false;
  }
  fullScreen_ = fullScreen;
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  if (!fullScreen) {
    SDL_SetWindowBordered(window_, SDL_TRUE);
    const int scale = WindowScale(width, height);
    SDL_SetWindowSize(window_, width * scale, height * scale);
    // A placement restored just before wins over centring: the player's window comes back
    // where it was before full screen.
    if (!placementRestored_) {
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
  }
  placementRestored_ = false;
  SDL_ShowWindow(window_);
  return EnsurePresentation(width, height, reason);
}

void SdlPlatform::Present(const Surface& backBuffer) {
  if (frameBuffer_ != nullptr) {
    frameBuffer_->Present(backBuffer, smooth_);
    return;
  }
  if (texture_ == nullptr) return;
  SDL_UpdateTexture(texture_, nullptr, backBuffer.Pixels().data(),
                    backBuffer.Width() * static_cast<int>(sizeof(Pixel565)));
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

std::unique_ptr<HttpTransport> SdlPlatform::OpenHttp(const HttpLimits& limits) {
  return openHttp_(limits);
}

std::unique_ptr<PendingHttpGet> SdlPlatform::StartHttpGet(const std::string& address,
                                                          const HttpLimits& limits) {
#ifdef __EMSCRIPTEN__
  // The page has no threads; its platform starts a fetch instead.
  (void)address;
  (void)limits;
  return nullptr;
#else
  return StartThreadedGet(OpenHttp(limits), address);
#endif
}

std::int64_t SdlPlatform::WallClockSeconds() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace rivoltra
