#pragma once

namespace rivoltra {

// Frees a sprite the game keeps a reference to and clears that reference, so that a second free
// or a late look at it finds nothing.
template <typename Sprite>
void FreeSprite(Sprite*& sprite) {
  // Deleting a type only declared would skip its destructor and leave it in the sprite tree.
  // NOLINTNEXTLINE(bugprone-sizeof-expression): sizeof of an incomplete type fails to compile
  static_assert(sizeof(Sprite) > 0, "include the sprite's header where it is freed");
  delete sprite;
  sprite = nullptr;
}

}  // namespace rivoltra
