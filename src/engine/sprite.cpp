#include "engine/sprite.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace rivoltra {

int TruncatePosition(double value) {
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

Rect SafeBounds(int x, int y, int width, int height) {
  auto edge = [](long long start, long long size) {
    return static_cast<int>(std::clamp<long long>(start + size, INT_MIN, INT_MAX));
  };
  return Rect{x, y, edge(x, width), edge(y, height)};
}

// ---------------------------------------------------------------------------------------------
// Sprite

Sprite::Sprite(Sprite* parent) : parent_(parent) {
  if (parent == nullptr) return;
  engine_ = dynamic_cast<SpriteEngine*>(parent);
  if (engine_ == nullptr) engine_ = parent->engine_;
  // Room first, so taking the sprite over cannot fail halfway.
  parent->children_.reserve(parent->children_.size() + 1);
  parent->zSortedChildren_.reserve(parent->zSortedChildren_.size() + 1);
  parent->children_.emplace_back(this);
  parent->InsertZSorted(*this);
  if (engine_ != nullptr) ++engine_->spriteCount_;
}

Sprite::~Sprite() {
  RemoveChildren();
  if (parent_ == nullptr) return;
  if (engine_ != nullptr) --engine_->spriteCount_;
  parent_->DetachChild(*this);
}

void Sprite::DetachChild(Sprite& child) {
  RemoveZSorted(child);
  auto slot = std::find_if(children_.begin(), children_.end(),
                           [&](const std::unique_ptr<Sprite>& p) { return p.get() == &child; });
  // Absent when the parent itself is taking the child down in RemoveChildren.
  if (slot == children_.end()) return;
  static_cast<void>(slot->release());
  children_.erase(slot);
}

void Sprite::RemoveChildren() {
  while (!children_.empty()) {
    std::unique_ptr<Sprite> last = std::move(children_.back());
    children_.pop_back();
    RemoveZSorted(*last);
  }
}

void Sprite::InsertZSorted(Sprite& child) {
  // The first position whose Z is not lower: equal Zs inserted later end up drawn first.
  auto position = std::lower_bound(zSortedChildren_.begin(), zSortedChildren_.end(), child.z_,
                                   [](const Sprite* s, int z) { return s->z_ < z; });
  zSortedChildren_.insert(position, &child);
}

void Sprite::RemoveZSorted(Sprite& child) {
  auto position = std::find(zSortedChildren_.begin(), zSortedChildren_.end(), &child);
  if (position != zSortedChildren_.end()) zSortedChildren_.erase(position);
}

void Sprite::SetZ(int value) {
  if (value == z_) return;
  if (parent_ != nullptr) parent_->RemoveZSorted(*this);
  z_ = value;
  if (parent_ != nullptr) parent_->InsertZSorted(*this);
}

Sprite& Sprite::ChildAt(int index) const {
  if (children_.empty()) {
    throw SpriteError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
  }
  if (index < 0 || index >= ChildCount()) {
    throw std::out_of_range("Sprite index out of range (" + std::to_string(index) + ")");
  }
  return *children_[index];
}

double Sprite::AbsoluteX() const { return parent_ != nullptr ? X + parent_->AbsoluteX() : X; }

double Sprite::AbsoluteY() const { return parent_ != nullptr ? Y + parent_->AbsoluteY() : Y; }

void Sprite::MoveTree(int lag) {
  if (!CanMove) return;
  Advance(lag);
  // Children created during this pass wait for the next one; the size is checked again in case
  // a hook deleted a sibling.
  const std::size_t count = children_.size();
  for (std::size_t i = 0; i < count && i < children_.size(); ++i) children_[i]->MoveTree(lag);
}

void Sprite::DrawTree() {
  if (!Visible) return;
  if (engine_ != nullptr && Overlaps(GetBounds(), engine_->surfaceRect_)) {
    Render();
    ++engine_->drawnCount_;
  }
  const std::size_t count = zSortedChildren_.size();
  for (std::size_t i = 0; i < count && i < zSortedChildren_.size(); ++i) {
    zSortedChildren_[i]->DrawTree();
  }
}

int Sprite::CheckCollisions() {
  if (engine_ == nullptr || !CanCollide) return 0;
  SpriteEngine& engine = *engine_;
  engine.hitCount_ = 0;
  engine.scanDone_ = false;
  engine.scanRect_ = GetBounds();
  engine.seeker_ = this;
  // Every child of the root is visited even after the scan is done: done only stops descents.
  const std::size_t count = engine.children_.size();
  for (std::size_t i = 0; i < count && i < engine.children_.size(); ++i) {
    engine.Visit(*engine.children_[i]);
  }
  return engine.hitCount_;
}

void Sprite::HandleCollision(Sprite&, bool&) {}

void Sprite::Render() {}

void Sprite::Advance(int) {}

Rect Sprite::GetBounds() const {
  return SafeBounds(TruncatePosition(AbsoluteX()), TruncatePosition(AbsoluteY()), Width, Height);
}

bool Sprite::HitTest(Sprite&) { return true; }

// ---------------------------------------------------------------------------------------------
// SpriteEngine

SpriteEngine::SpriteEngine() : Sprite(nullptr) {}

// The children go while the counters they update still exist.
SpriteEngine::~SpriteEngine() { RemoveChildren(); }

void SpriteEngine::SetSurface(Surface* surface) {
  surface_ = surface;
  if (surface == nullptr) return;
  surfaceRect_ = surface->ClientRect();
  Width = surface->Width();
  Height = surface->Height();
}

void SpriteEngine::Visit(Sprite& candidate) {
  if (!candidate.CanCollide) return;
  if (&candidate != seeker_ && Overlaps(candidate.GetBounds(), scanRect_) &&
      seeker_->HitTest(candidate) && candidate.HitTest(*seeker_)) {
    ++hitCount_;
    seeker_->HandleCollision(candidate, scanDone_);
    if (!seeker_->CanCollide) scanDone_ = true;
  }
  if (scanDone_) return;
  const std::size_t count = candidate.children_.size();
  for (std::size_t i = 0; i < count && i < candidate.children_.size(); ++i) {
    Visit(*candidate.children_[i]);
  }
}

}  // namespace rivoltra
