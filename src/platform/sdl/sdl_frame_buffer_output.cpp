#include "platform/sdl/sdl_frame_buffer_output.h"

#include <optional>

namespace rivoltra {

namespace {

// The layout of frame buffers with a byte a colour in 32-bit pixels, the usual desktop kind.
std::optional<PixelLayout> DirectLayout(const SDL_PixelFormat& format) {
  if (format.BytesPerPixel != 4 || format.palette != nullptr || format.Rloss != 0 ||
      format.Rshift % 8 != 0 || format.Gshift % 8 != 0 || format.Bshift % 8 != 0 ||
      format.Gloss != 0 || format.Bloss != 0 || format.Rmask != 0xFFu << format.Rshift ||
      format.Gmask != 0xFFu << format.Gshift || format.Bmask != 0xFFu << format.Bshift)
    return std::nullopt;
  return PixelLayout{format.Rshift, format.Gshift, format.Bshift};
}

SDL_Rect ToSdl(const Rect& rect) {
  return SDL_Rect{rect.Left, rect.Top, rect.Width(), rect.Height()};
}

// Black where the picture does not reach (full screen on a desktop of another shape).
void FillAround(SDL_Surface* frame, const Rect& placement) {
  const Uint32 black = SDL_MapRGB(frame->format, 0, 0, 0);
  const Rect bars[] = {Rect{0, 0, frame->w, placement.Top},
                       Rect{0, placement.Bottom, frame->w, frame->h},
                       Rect{0, placement.Top, placement.Left, placement.Bottom},
                       Rect{placement.Right, placement.Top, frame->w, placement.Bottom}};
  for (const Rect& bar : bars) {
    if (bar.IsEmpty()) continue;
    const SDL_Rect area = ToSdl(bar);
    SDL_FillRect(frame, &area, black);
  }
}

}  // namespace

SdlFrameBufferOutput::SdlFrameBufferOutput(SDL_Window* window, int pictureWidth, int pictureHeight)
    : window_(window), pictureWidth_(pictureWidth), pictureHeight_(pictureHeight) {
  SDL_AddEventWatch(&SdlFrameBufferOutput::MoveMouseToPicture, this);
  SDL_AddEventWatch(&SdlFrameBufferOutput::NoteExposure, this);
}

SdlFrameBufferOutput::~SdlFrameBufferOutput() {
  SDL_DelEventWatch(&SdlFrameBufferOutput::NoteExposure, this);
  SDL_DelEventWatch(&SdlFrameBufferOutput::MoveMouseToPicture, this);
  if (staging_ != nullptr) SDL_FreeSurface(staging_);
}

bool SdlFrameBufferOutput::Usable() const { return SDL_GetWindowSurface(window_) != nullptr; }

// Runs as each event is queued, so the game only ever sees picture coordinates.
int SdlFrameBufferOutput::MoveMouseToPicture(void* output, SDL_Event* event) {
  const auto& self = *static_cast<const SdlFrameBufferOutput*>(output);
  int* x = nullptr;
  int* y = nullptr;
  Uint32 windowId = 0;
  if (event->type == SDL_MOUSEMOTION) {
    x = &event->motion.x;
    y = &event->motion.y;
    windowId = event->motion.windowID;
  } else if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
    x = &event->button.x;
    y = &event->button.y;
    windowId = event->button.windowID;
  }
  if (x == nullptr || windowId != SDL_GetWindowID(self.window_)) return 1;
  // Events come in window coordinates, which a high-DPI frame buffer's pixels may not be.
  int width = 0, height = 0;
  SDL_GetWindowSize(self.window_, &width, &height);
  AreaPointToPicture(FitPicture(self.pictureWidth_, self.pictureHeight_, width, height),
                     self.pictureWidth_, self.pictureHeight_, *x, *y);
  return 1;
}

// Runs as each event is queued: a window shown, uncovered or resized may have lost its pixels on
// the screen, which then need the whole frame again.
int SdlFrameBufferOutput::NoteExposure(void* output, SDL_Event* event) {
  auto& self = *static_cast<SdlFrameBufferOutput*>(output);
  if (event->type != SDL_WINDOWEVENT || event->window.windowID != SDL_GetWindowID(self.window_))
    return 1;
  switch (event->window.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      self.exposed_ = true;
      break;
    default:
      break;
  }
  return 1;
}

bool SdlFrameBufferOutput::FrameLost(const SDL_Surface& frame, const Rect& placement) const {
  return exposed_ || frame.pixels != shownPixels_ || frame.w != shownWidth_ ||
         frame.h != shownHeight_ || frame.pitch != shownPitch_ || placement != shownPlacement_;
}

void SdlFrameBufferOutput::Present(const Surface& picture, bool smooth) {
  // Asked every frame: after a resize SDL hands out a new frame buffer of the new size.
  SDL_Surface* frame = SDL_GetWindowSurface(window_);
  if (frame == nullptr) return;
  const Rect placement = FitPicture(picture.Width(), picture.Height(), frame->w, frame->h);
  if (placement.IsEmpty()) return;
  const bool whole = FrameLost(*frame, placement);
  if (whole) {
    scaler_.Forget();
    FillAround(frame, placement);
  }
  const ScaleFilter filter = smooth ? ScaleFilter::Linear : ScaleFilter::Nearest;
  changes_.clear();
  if (const std::optional<PixelLayout> layout = DirectLayout(*frame->format)) {
    if (SDL_MUSTLOCK(frame) && SDL_LockSurface(frame) != 0) return;
    for (const Rect& change : scaler_.Draw(
             picture, PixelTarget{frame->pixels, frame->pitch, frame->w, frame->h, *layout},
             placement, filter))
      changes_.push_back(ToSdl(change));
    if (SDL_MUSTLOCK(frame)) SDL_UnlockSurface(frame);
  } else {
    DrawThroughStaging(picture, frame, placement, filter);
  }
  if (whole) {
    if (SDL_UpdateWindowSurface(window_) != 0) return;
    exposed_ = false;
    shownPixels_ = frame->pixels;
    shownWidth_ = frame->w;
    shownHeight_ = frame->h;
    shownPitch_ = frame->pitch;
    shownPlacement_ = placement;
  } else if (!changes_.empty()) {
    SDL_UpdateWindowSurfaceRects(window_, changes_.data(), static_cast<int>(changes_.size()));
  }
}

void SdlFrameBufferOutput::DrawThroughStaging(const Surface& picture, SDL_Surface* frame,
                                              const Rect& placement, ScaleFilter filter) {
  if (staging_ != nullptr &&
      (staging_->w != placement.Width() || staging_->h != placement.Height())) {
    SDL_FreeSurface(staging_);
    staging_ = nullptr;
  }
  if (staging_ == nullptr) {
    staging_ = SDL_CreateRGBSurfaceWithFormat(0, placement.Width(), placement.Height(), 32,
                                              SDL_PIXELFORMAT_XRGB8888);
    if (staging_ == nullptr) return;
  }
  for (const Rect& change : scaler_.Draw(
           picture,
           PixelTarget{staging_->pixels, staging_->pitch, staging_->w, staging_->h, PixelLayout{}},
           Bounds(0, 0, staging_->w, staging_->h), filter)) {
    SDL_Rect from = ToSdl(change);
    SDL_Rect to = ToSdl(Bounds(placement.Left + change.Left, placement.Top + change.Top,
                               change.Width(), change.Height()));
    SDL_BlitSurface(staging_, &from, frame, &to);
    changes_.push_back(to);
  }
}

}  // namespace rivoltra
