#include "engine/sprite_engine_component.h"

namespace rivoltra {

DisplaySpriteEngine::~DisplaySpriteEngine() {
  if (display_ != nullptr) display_->Unsubscribe(*this);
}

void DisplaySpriteEngine::SetDisplay(DisplayPublisher* display) {
  if (display == display_) return;
  if (display_ != nullptr) {
    display_->Unsubscribe(*this);
    engine_.SetSurface(nullptr);
  }
  display_ = display;
  if (display_ == nullptr) return;
  display_->Subscribe(*this);
  if (display_->IsInitialized()) engine_.SetSurface(&display_->BackBuffer());
}

void DisplaySpriteEngine::DrawSprites() {
  if (display_ == nullptr || !display_->IsInitialized()) return;
  engine_.ResetDrawnCount();
  engine_.DrawTree();
}

void DisplaySpriteEngine::DisplayInitialized(Surface& backBuffer) {
  engine_.SetSurface(&backBuffer);
}

void DisplaySpriteEngine::DisplayFinalized() { engine_.SetSurface(nullptr); }

void DisplaySpriteEngine::DisplayDestroyed() {
  engine_.SetSurface(nullptr);
  display_ = nullptr;
}

}  // namespace rivoltra
