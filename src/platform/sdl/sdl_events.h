#pragma once

#include <SDL.h>

#include <functional>

#include "engine/input_event.h"

namespace rivoltra {

// Turns one SDL event into the game's neutral input events (none, one, or several: a key-down of
// Enter is a key and a character, a text event may carry several characters).
void TranslateSdlEvent(const SDL_Event& event,
                       const std::function<void(const InputEvent&)>& deliver);

}  // namespace rivoltra
