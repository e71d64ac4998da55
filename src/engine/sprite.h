#pragma once

#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "engine/geometry.h"
#include "engine/surface.h"

namespace rivoltra {

class SpriteEngine;

class SpriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Truncates a position toward zero, held within +-2^30 so that adding a size cannot overflow;
// not-a-number counts as 0.
int TruncatePosition(double value);
// Bounds(x, y, width, height) computed without overflow: the far edges saturate.
Rect SafeBounds(int x, int y, int width, int height);

// A node of the sprite tree.
//
// Ownership: a sprite belongs to its parent. Create one with `new TXxx(parent, ...)`: the
// parent takes it over at once. Destroy it whenever you like with `delete`: it first destroys
// its own children (last first) and then leaves its parent. Destroying a parent destroys
// whatever children are still attached, so code that keeps a pointer to a sprite must drop it
// before the parent goes. The traversals (MoveTree, DrawTree, the collision scan) tolerate
// hooks that delete other sprites; a hook must not delete its own sprite, an ancestor of it,
// or the sprite HandleCollision was handed (the scan goes on into that one's children).
class Sprite {
 public:
  explicit Sprite(Sprite* parent);
  virtual ~Sprite();
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  // The root of the tree; null for the root itself and for sprites outside any engine.
  SpriteEngine* Engine() const { return engine_; }
  Sprite* Parent() const { return parent_; }

  bool CanCollide = true;
  bool CanMove = true;
  bool Visible = true;
  // Top-left corner relative to the parent, in pixels; doubles so sub-pixel speeds accumulate.
  double X = 0;
  double Y = 0;
  int Width = 0;
  int Height = 0;

  int Z() const { return z_; }
  // Re-inserts the sprite among its siblings: it goes in front of those with an equal Z in the
  // sorted list, so it is drawn underneath them.
  void SetZ(int value);

  int ChildCount() const { return static_cast<int>(children_.size()); }
  // Throws SpriteError "Index of the list exceeds the range. (%d)".
  Sprite& ChildAt(int index) const;
  std::span<Sprite* const> ZSortedChildren() const { return zSortedChildren_; }
  // Destroys the children, last first.
  void RemoveChildren();

  double AbsoluteX() const;
  double AbsoluteY() const;

  // Advance, then the children in creation order; a sprite that cannot move freezes its subtree.
  void MoveTree(int lag);
  // Render when the bounds strictly overlap the surface, then the children by ascending Z; an
  // invisible sprite hides its subtree.
  void DrawTree();
  // Runs a collision scan with this sprite as the seeker; returns the number of hits.
  int CheckCollisions();

  // Collision response; set done to stop the scan from descending further.
  virtual void HandleCollision(Sprite& other, bool& done);
  virtual void Render();
  // Per-tick behaviour; lag is the number of whole timer intervals since the previous tick.
  virtual void Advance(int lag);
  virtual Rect GetBounds() const;
  // Fine test after the rectangles overlap.
  virtual bool HitTest(Sprite& other);

 private:
  friend class SpriteEngine;
  void InsertZSorted(Sprite& child);
  void RemoveZSorted(Sprite& child);
  void DetachChild(Sprite& child);

  SpriteEngine* engine_ = nullptr;
  Sprite* parent_ = nullptr;
  std::vector<std::unique_ptr<Sprite>> children_;
  std::vector<Sprite*> zSortedChildren_;
  int z_ = 0;
};

// The root of a sprite tree: counts its sprites, holds the drawing surface and the state of
// the running collision scan.
class SpriteEngine : public Sprite {
 public:
  SpriteEngine();
  ~SpriteEngine() override;

  // Sprites with a parent in this tree.
  int SpriteCount() const { return spriteCount_; }
  int HitCount() const { return hitCount_; }
  bool ScanDone() const { return scanDone_; }
  const Rect& ScanRect() const { return scanRect_; }
  Sprite* Seeker() const { return seeker_; }
  int DrawnCount() const { return drawnCount_; }
  void ResetDrawnCount() { drawnCount_ = 0; }

  // The surface sprites draw on, or null; a surface also sets SurfaceRect, Width and Height.
  Surface* GetSurface() const { return surface_; }
  void SetSurface(Surface* surface);
  const Rect& SurfaceRect() const { return surfaceRect_; }

 private:
  friend class Sprite;
  void Visit(Sprite& candidate);

  int spriteCount_ = 0;
  int hitCount_ = 0;
  bool scanDone_ = false;
  Rect scanRect_;
  Sprite* seeker_ = nullptr;
  int drawnCount_ = 0;
  Surface* surface_ = nullptr;
  Rect surfaceRect_;
};

}  // namespace rivoltra
