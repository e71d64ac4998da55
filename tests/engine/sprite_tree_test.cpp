#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine_fixtures.h"
#include "engine/sprite.h"
#include "engine/sprite_engine_component.h"

namespace rivoltra {
namespace {

// A sprite that writes what happens to it into a shared log.
class LoggingSprite : public Sprite {
 public:
  LoggingSprite(Sprite* parent, std::string name, std::vector<std::string>& log, int x = 0,
                int y = 0, int size = 10)
      : Sprite(parent), name_(std::move(name)), log_(log) {
    X = x;
    Y = y;
    Width = Height = size;
  }
  ~LoggingSprite() override { log_.push_back("~" + name_); }

  void Render() override { log_.push_back("draw " + name_); }
  void Advance(int lag) override {
    log_.push_back("move " + name_ + " " + std::to_string(lag));
    if (OnAdvance) OnAdvance();
  }
  void HandleCollision(Sprite& other, bool& done) override {
    log_.push_back("hit " + static_cast<LoggingSprite&>(other).name_);
    if (OnCollision) OnCollision(done);
  }
  bool HitTest(Sprite&) override { return AcceptsHits; }

  bool AcceptsHits = true;
  std::function<void()> OnAdvance;
  std::function<void(bool&)> OnCollision;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

class SpriteTree : public ::testing::Test {
 protected:
  SpriteTree() : surface_(100, 80) { engine_.SetSurface(&surface_); }

  LoggingSprite* Make(Sprite* parent, const std::string& name, int x = 0, int y = 0,
                      int size = 10) {
    return new LoggingSprite(parent, name, log_, x, y, size);
  }
  std::vector<std::string> Take() { return std::exchange(log_, {}); }

  Surface surface_;
  std::vector<std::string> log_;
  SpriteEngine engine_;
};

using Log = std::vector<std::string>;

TEST_F(SpriteTree, DrawsByAscendingZAndEqualZInsertedLaterGoesUnderneath) {
  Make(&engine_, "a")->SetZ(2);
  Make(&engine_, "b")->SetZ(1);
  LoggingSprite* c = Make(&engine_, "c");
  c->SetZ(2);  // same Z as a, inserted after it: drawn before it
  Make(c, "c-child");
  Make(&engine_, "d");  // created with Z 0, equal to nothing else
  engine_.DrawTree();
  EXPECT_EQ(Take(), (Log{"draw d", "draw b", "draw c", "draw c-child", "draw a"}));
  EXPECT_EQ(engine_.DrawnCount(), 5);

  c->SetZ(2);  // unchanged: stays where it is
  engine_.ChildAt(0).SetZ(3);
  engine_.ChildAt(0).SetZ(2);  // a re-inserted last among the 2s: now under c
  engine_.DrawTree();
  EXPECT_EQ(Take(), (Log{"draw d", "draw b", "draw a", "draw c", "draw c-child"}));
}

TEST_F(SpriteTree, FlagsActOnTheWholeSubtree) {
  LoggingSprite* parent = Make(&engine_, "p", 10, 10);
  Make(parent, "child", 5, 5);
  Make(&engine_, "other", 12, 12);

  parent->Visible = false;
  engine_.DrawTree();
  EXPECT_EQ(Take(), (Log{"draw other"}));
  parent->Visible = true;

  parent->CanMove = false;
  engine_.MoveTree(2);
  EXPECT_EQ(Take(), (Log{"move other 2"}));
  parent->CanMove = true;

  // The seeker finds p and its child; with p not colliding neither is tested.
  LoggingSprite* seeker = static_cast<LoggingSprite*>(&engine_.ChildAt(1));
  EXPECT_EQ(seeker->CheckCollisions(), 2);
  EXPECT_EQ(Take(), (Log{"hit p", "hit child"}));
  parent->CanCollide = false;
  EXPECT_EQ(seeker->CheckCollisions(), 0);
  seeker->CanCollide = false;
  parent->CanCollide = true;
  EXPECT_EQ(seeker->CheckCollisions(), 0);
  EXPECT_TRUE(Take().empty());
}

TEST_F(SpriteTree, PositionsAreRelativeToTheParentAndCullingIsStrict) {
  engine_.X = 1;  // the root's own position counts too
  LoggingSprite* parent = Make(&engine_, "p", 20, 30);
  LoggingSprite* child = Make(parent, "c", -5, 2);
  child->X = -5.75;
  EXPECT_DOUBLE_EQ(child->AbsoluteX(), 15.25);
  EXPECT_EQ(child->GetBounds(), (Rect{15, 32, 25, 42}));
  engine_.X = 0;

  struct Case {
    double X, Y;
    bool Drawn;
  } cases[] = {{-10, 0, false}, {-9, 0, true},  {100, 0, false}, {99, 0, true},
               {0, -10, false}, {0, 80, false}, {0, 79, true},   {-9.9, 5, true}};
  for (const Case& c : cases) {
    parent->X = c.X - child->X;  // place the child; the parent is drawn wherever it is
    parent->Y = c.Y - child->Y;
    parent->Visible = true;
    engine_.DrawTree();
    const Log drawn = Take();
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), "draw c") == 1, c.Drawn) << c.X << "," << c.Y;
  }
}

TEST_F(SpriteTree, MoveVisitsChildrenInCreationOrderAndNewChildrenWaitForTheNextPass) {
  LoggingSprite* first = Make(&engine_, "first");
  LoggingSprite* second = Make(&engine_, "second");
  second->SetZ(-1);
  first->OnAdvance = [&] {
    if (engine_.ChildCount() < 3) Make(&engine_, "late");
  };
  engine_.MoveTree(1);
  EXPECT_EQ(Take(), (Log{"move first 1", "move second 1"}));
  engine_.MoveTree(1);
  EXPECT_EQ(Take(), (Log{"move first 1", "move second 1", "move late 1"}));
}

TEST_F(SpriteTree, AHookMayDeleteALaterSiblingDuringAPass) {
  LoggingSprite* first = Make(&engine_, "first");
  LoggingSprite* second = Make(&engine_, "second");
  first->OnAdvance = [&] { delete std::exchange(second, nullptr); };
  engine_.MoveTree(1);
  EXPECT_EQ(Take(), (Log{"move first 1", "~second"}));
  EXPECT_EQ(engine_.ChildCount(), 1);
}

TEST_F(SpriteTree, DestroyingASpriteDestroysItsChildrenLastFirstAndLeavesItsParent) {
  LoggingSprite* parent = Make(&engine_, "p");
  Make(parent, "c1");
  LoggingSprite* c2 = Make(parent, "c2");
  Make(c2, "grandchild");
  Make(&engine_, "sibling");
  EXPECT_EQ(engine_.SpriteCount(), 5);
  EXPECT_EQ(c2->ChildAt(0).Parent(), c2);
  EXPECT_EQ(c2->ChildAt(0).Engine(), &engine_);

  delete parent;  // each sprite's own destructor runs before its children go
  EXPECT_EQ(Take(), (Log{"~p", "~c2", "~grandchild", "~c1"}));
  EXPECT_EQ(engine_.SpriteCount(), 1);
  ASSERT_EQ(engine_.ChildCount(), 1);
  EXPECT_EQ(engine_.ZSortedChildren().size(), 1u);
  engine_.RemoveChildren();
  EXPECT_EQ(engine_.SpriteCount(), 0);
  EXPECT_EQ(engine_.ZSortedChildren().size(), 0u);
}

TEST_F(SpriteTree, ChildAtWithoutChildrenRaisesTheSpriteError) {
  try {
    engine_.ChildAt(3);
    FAIL() << "no error";
  } catch (const SpriteError& e) {
    EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (3)");
  }
  Make(&engine_, "only");
  EXPECT_THROW(engine_.ChildAt(1), std::out_of_range);
}

// Seeker s overlaps a (whose child a1 also overlaps), touches t only on an edge, and overlaps
// b, a later sibling of a.
class CollisionScan : public SpriteTree {
 protected:
  CollisionScan() {
    seeker_ = Make(&engine_, "s", 10, 10, 10);
    a_ = Make(&engine_, "a", 15, 15, 10);
    Make(a_, "a1", 0, 0, 3);  // at 15,15 absolute
    Make(&engine_, "t", 20, 10, 10);
    Make(&engine_, "b", 5, 5, 6);
  }
  LoggingSprite* seeker_;
  LoggingSprite* a_;
};

TEST_F(CollisionScan, ReportsEveryOverlapButNeverTheSeekerOrAnEdgeContact) {
  EXPECT_EQ(seeker_->CheckCollisions(), 3);
  EXPECT_EQ(Take(), (Log{"hit a", "hit a1", "hit b"}));
  EXPECT_EQ(engine_.Seeker(), seeker_);
  EXPECT_EQ(engine_.ScanRect(), (Rect{10, 10, 20, 20}));
  EXPECT_FALSE(engine_.ScanDone());
}

TEST_F(CollisionScan, DoneStopsTheDescentButNotTheLaterSiblings) {
  seeker_->OnCollision = [&](bool&) { seeker_->CanCollide = false; };  // as the game's walls do
  EXPECT_EQ(seeker_->CheckCollisions(), 2);
  EXPECT_EQ(Take(), (Log{"hit a", "hit b"}));
  EXPECT_TRUE(engine_.ScanDone());

  seeker_->CanCollide = true;
  seeker_->OnCollision = [](bool& done) { done = true; };
  EXPECT_EQ(seeker_->CheckCollisions(), 2);
  EXPECT_EQ(Take(), (Log{"hit a", "hit b"}));
}

TEST_F(CollisionScan, BothFineTestsMustAgree) {
  a_->AcceptsHits = false;  // a refuses; its child is still visited
  EXPECT_EQ(seeker_->CheckCollisions(), 2);
  EXPECT_EQ(Take(), (Log{"hit a1", "hit b"}));
  seeker_->AcceptsHits = false;
  EXPECT_EQ(seeker_->CheckCollisions(), 0);
}

TEST(SpriteEngineComponent, DrawsOnlyWhileTheDisplayIsInitialised) {
  std::vector<std::string> log;  // outlives the sprites, which log their destruction
  testing::FakeDisplay display(100, 80);
  DisplaySpriteEngine component;
  new LoggingSprite(&component.Engine(), "s", log, 10, 10);
  component.SetDisplay(&display);
  component.DrawSprites();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(component.Engine().GetSurface(), nullptr);

  display.Initialize();
  EXPECT_EQ(component.Engine().GetSurface(), &display.BackBuffer());
  EXPECT_EQ(component.Engine().SurfaceRect(), (Rect{0, 0, 100, 80}));
  EXPECT_EQ(component.Engine().Width, 100);
  component.MoveSprites(3);
  component.DrawSprites();
  component.DrawSprites();
  EXPECT_EQ(log, (Log{"move s 3", "draw s", "draw s"}));
  EXPECT_EQ(component.Engine().DrawnCount(), 1);

  display.Finalize();
  EXPECT_EQ(component.Engine().GetSurface(), nullptr);
  component.DrawSprites();
  EXPECT_EQ(log.size(), 3u);
}

TEST(SpriteEngineComponent, DestroyingTheComponentDestroysTheTreeAndUnsubscribes) {
  testing::FakeDisplay display;
  std::vector<std::string> log;
  {
    DisplaySpriteEngine component;
    component.SetDisplay(&display);
    new LoggingSprite(&component.Engine(), "s", log);
    EXPECT_EQ(display.SubscriberCount(), 1);
  }
  EXPECT_EQ(log, (Log{"~s"}));
  EXPECT_EQ(display.SubscriberCount(), 0);
}

}  // namespace
}  // namespace rivoltra
