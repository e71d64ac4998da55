#pragma once

#include <SDL.h>

namespace rivoltra {

// Whether the renderer's pictures are made by the processor: SDL's own software renderer, or
// OpenGL on a software rasteriser (a machine without a usable GPU). Scaling a texture there
// costs several times what scaling the picture straight into the window's frame buffer does.
bool RendersOnProcessor(SDL_Renderer* renderer);

}  // namespace rivoltra
