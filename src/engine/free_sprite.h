#pragma once

namespace rivoltra {

// Frees a sprite the game keeps a reference to and clears that reference, so that a second free
// or a late look at it finds nothing.
template <typename Sprite>
void FreeSprite(Sprite*& sprite) {
  delete sprite;
  sprite = nullptr;
}

}  // namespace rivoltra
