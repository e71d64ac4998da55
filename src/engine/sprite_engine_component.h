#pragma once

#include "engine/display_notices.h"
#include "engine/sprite.h"

namespace rivoltra {

// Owns the root of the sprite tree and binds it to a display: the root draws on the display's
// back buffer while the display is initialised.
class DisplaySpriteEngine final : public DisplaySubscriber {
 public:
  DisplaySpriteEngine() = default;
  // Unsubscribes, then destroys the root and every sprite still in the tree.
  ~DisplaySpriteEngine() override;
  DisplaySpriteEngine(const DisplaySpriteEngine&) = delete;
  DisplaySpriteEngine& operator=(const DisplaySpriteEngine&) = delete;

  SpriteEngine& Engine() { return engine_; }
  const SpriteEngine& Engine() const { return engine_; }

  // Subscribes to the display (null unbinds); takes its back buffer at once when it is
  // already initialised.
  void SetDisplay(DisplayPublisher* display);
  DisplayPublisher* Display() const { return display_; }

  void MoveSprites(int lag) { engine_.MoveTree(lag); }
  // Draws the tree when the display is initialised; DrawnCount counts this pass only.
  void DrawSprites();

  void DisplayInitialized(Surface& backBuffer) override;
  void DisplayFinalized() override;
  void DisplayDestroyed() override;

 private:
  SpriteEngine engine_;
  DisplayPublisher* display_ = nullptr;
};

}  // namespace rivoltra
