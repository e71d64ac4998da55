#pragma once

#include <SDL.h>

#include <vector>

#include "engine/picture_scaler.h"
#include "engine/surface.h"

namespace rivoltra {

// The picture shown through the window's own frame buffer (memory shared with the X server,
// where there is one), scaled on the processor with the aspect kept and black bars around it:
// for machines whose renderer draws in software anyway. Only what changed since the last frame is
// drawn and shown, until the window is uncovered or its frame buffer replaced. Mouse events are
// moved into the picture's coordinates while it lives, as SDL's renderer does for a logical size.
class SdlFrameBufferOutput {
 public:
  SdlFrameBufferOutput(SDL_Window* window, int pictureWidth, int pictureHeight);
  ~SdlFrameBufferOutput();
  SdlFrameBufferOutput(const SdlFrameBufferOutput&) = delete;
  SdlFrameBufferOutput& operator=(const SdlFrameBufferOutput&) = delete;

  // Whether the window has a frame buffer to draw into (a renderer must not be on it).
  bool Usable() const;
  void Present(const Surface& picture, bool smooth);

 private:
  static int MoveMouseToPicture(void* output, SDL_Event* event);
  static int NoteExposure(void* output, SDL_Event* event);
  // Whether the frame buffer may not show the last frame any more.
  bool FrameLost(const SDL_Surface& frame, const Rect& placement) const;
  void DrawThroughStaging(const Surface& picture, SDL_Surface* frame, const Rect& placement,
                          ScaleFilter filter);

  SDL_Window* window_;
  int pictureWidth_;
  int pictureHeight_;
  PictureScaler scaler_;
  // A 32-bit picture for frame buffers whose pixels the scaler does not write directly; SDL
  // converts it.
  SDL_Surface* staging_ = nullptr;
  // The frame buffer the last frame went to, and whether the window has been uncovered since.
  const void* shownPixels_ = nullptr;
  int shownWidth_ = 0;
  int shownHeight_ = 0;
  int shownPitch_ = 0;
  Rect shownPlacement_;
  bool exposed_ = true;
  // Where the last frame's changes are, in the frame buffer.
  std::vector<SDL_Rect> changes_;
};

}  // namespace rivoltra
