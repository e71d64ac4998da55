#pragma once

#include <SDL.h>

namespace rivoltra {

// The platform's virtual-key code of an SDL scancode (the standard PC layout), 0 for keys the
// game has no code for.
int VirtualKeyOfScancode(SDL_Scancode scancode);

}  // namespace rivoltra
