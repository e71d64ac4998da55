#include "engine/sprite_engine_component.h"

namespace rivoltra {

TSpriteEngineComponent::~TSpriteEngineComponent() {
  if (display_ != nullptr) display_->Unsubscribe(*this);
}

void TSpriteEngineComponent::SetDisplay(DisplayPublisher* display) {
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

void TSpriteEngineComponent::DrawSprites() {
  if (display_ == nullptr || !display_->IsInitialized()) return;
  engine_.ResetDrawnCount();
  engine_.DrawTree();
}

void TSpriteEngineComponent::DisplayInitialized(Surface& backBuffer) {
  engine_.SetSurface(&backBuffer);
}

void TSpriteEngineComponent::DisplayFinalized() { engine_.SetSurface(nullptr); }

void TSpriteEngineComponent::DisplayDestroyed() {
  engine_.SetSurface(nullptr);
  display_ = nullptr;
}

}  // namespace rivoltra
