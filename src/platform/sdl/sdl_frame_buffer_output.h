#pragma once

#include <SDL.h>

#include "engine/picture_scaler.h"
#include "engine/surface.h"

namespace rivoltra {

// The picture shown through the window's own frame buffer (memory shared with the X server,
// where there is one), scaled on the processor with the aspect kept and black bars around it:
// for machines whose renderer draws in software anyway. Mouse events are moved into the
// picture's coordinates while it lives, as SDL's renderer does for a logical size.
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
  void DrawThroughStaging(const Surface& picture, SDL_Surface* frame, const Rect& placement,
                          ScaleFilter filter);

  SDL_Window* window_;
  int pictureWidth_;
  int pictureHeight_;
  PictureScaler scaler_;
  // A 32-bit picture for frame buffers whose pixels the scaler does not write directly; SDL
  // converts it.
  SDL_Surface* staging_ = nullptr;
};

}  // namespace rivoltra
