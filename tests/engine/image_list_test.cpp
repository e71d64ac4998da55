#include "engine/image_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "engine/engine_fixtures.h"

namespace rivoltra {
namespace {

using testing::CoordinateColor;
using testing::FakeDisplay;
using testing::MakeItem;
using testing::MakePicture;

Picture Coordinates(int width, int height, int tag = 1) {
  return MakePicture(width, height, [tag](int x, int y) { return CoordinateColor(x, y, tag); });
}

class BoundImageList : public ::testing::Test {
 protected:
  BoundImageList() : display_(40, 30) {
    list_.SetDisplay(&display_);
    display_.Initialize();
  }
  FakeDisplay display_;
  ImageList list_;
};

TEST(ImageListNames, HashIsLengthFirstAndSecondToLastCharacterOfTheLowerCasedName) {
  struct Case {
    const char* Name;
    int Hash;
  } cases[] = {
      {"", 0}, {"a", 16}, {"AB", (32 + 'a' + 'a') & 255}, {"Car1", (64 + 'c' + 'r') & 255}};
  for (const Case& c : cases) EXPECT_EQ(NameHash(c.Name), c.Hash) << c.Name;
}

TEST(ImageListNames, LookupIgnoresCaseAndTheLatestNamedItemWins) {
  ImageList list;
  ImageItem& first = list.Items().Add(MakeItem("Wall", Coordinates(2, 2)));
  ImageItem& second = list.Items().Add(MakeItem("WALL", Coordinates(3, 3)));
  ImageItem& other = list.Items().Add(MakeItem("Will", Coordinates(4, 4)));  // same bucket

  EXPECT_EQ(&list.ItemByName("wall"), &second);
  ASSERT_EQ(NameHash("Will"), NameHash("Wall"));
  EXPECT_EQ(&list.ItemByName("wILL"), &other);
  first.SetName("Wall");  // renaming puts it at the head again
  EXPECT_EQ(&list.ItemByName("WaLl"), &first);
  list.Items().Clear();
  EXPECT_EQ(list.Items().Find("wall"), nullptr);
}

TEST(ImageListNames, UnknownNameRaisesTheListError) {
  ImageList list;
  list.Items().Add(MakeItem("Car1", Coordinates(2, 2)));
  try {
    list.ItemByName("Car2");
    FAIL() << "no error";
  } catch (const ImageListError& e) {
    EXPECT_STREQ(e.what(), "Image 'Car2' not found");
  }
}

TEST(ImageListNames, DestroyingAnItemUnchainsItFromItsBucket) {
  ImageList list;
  list.Items().Assign({MakeItem("Abc", Coordinates(1, 1)), MakeItem("Abd", Coordinates(1, 1))});
  ASSERT_EQ(NameHash("Abc"), NameHash("Abd"));
  list.Items().Assign({MakeItem("Abc", Coordinates(2, 2))});
  EXPECT_EQ(list.Items().Find("Abd"), nullptr);
  EXPECT_EQ(list.ItemByName("abc").GetPicture().Width, 2);
}

TEST(ImagePatterns, CountAndRectanglesBeforeAndAfterTheDisplayIsBuilt) {
  struct Case {
    int PictureWidth, PictureHeight, PatternWidth, PatternHeight, SkipWidth;
    int Count;
    int Pattern;
    rivoltra::Rect Rect;
  } cases[] = {
      {100, 20, 20, 20, 0, 5, 3, Rect{60, 0, 80, 20}},
      {100, 20, 0, 20, 0, 1, 0, Rect{0, 0, 100, 20}},   // width 0: the whole picture across
      {95, 20, 20, 20, 5, 4, 3, Rect{75, 0, 95, 20}},   // skip between patterns
      {40, 40, 20, 20, 0, 4, 3, Rect{20, 20, 40, 40}},  // row-major
  };
  for (const Case& c : cases) {
    FakeDisplay display(10, 10);
    ImageList list;
    ImageItemData data = MakeItem("P", Coordinates(c.PictureWidth, c.PictureHeight), c.PatternWidth,
                                  c.PatternHeight);
    data.SkipWidth = c.SkipWidth;
    ImageItem& item = list.Items().Add(data);
    EXPECT_EQ(item.PatternCount(), c.Count) << "before, picture width " << c.PictureWidth;
    list.SetDisplay(&display);
    display.Initialize();
    EXPECT_EQ(item.PatternCount(), c.Count) << "after, picture width " << c.PictureWidth;
    EXPECT_EQ(item.PatternRect(c.Pattern), c.Rect) << "picture width " << c.PictureWidth;
    EXPECT_EQ(item.PatternRect(c.Count), Rect{});
    EXPECT_EQ(item.PatternRect(-1), Rect{});
  }
}

TEST_F(BoundImageList, WidePicturesAreSplitIntoBlocksOfWholeCells) {
  // Cells of 100 make blocks of 600 pixels: pattern 6 starts the second block.
  auto stripColor = [](int x, int y) { return CoordinateColor(x % 32, y, (x / 32) % 31 + 1); };
  ImageItem& item = list_.Items().Add(MakeItem("Strip", MakePicture(1000, 4, stripColor), 100, 4));
  ASSERT_EQ(item.PatternCount(), 10);
  EXPECT_EQ(item.PatternRect(5), (Rect{500, 0, 600, 4}));
  EXPECT_EQ(item.PatternRect(6), (Rect{0, 0, 100, 4}));
  EXPECT_NE(item.PatternSurface(5), item.PatternSurface(6));

  Surface target(4, 4);
  item.Draw(target, -10, 0, 6);  // picture column 610 lands at x 0
  EXPECT_EQ(target.At(0, 2), XrgbToRgb565(stripColor(610, 2)));
  EXPECT_EQ(target.At(3, 1), XrgbToRgb565(stripColor(613, 1)));
}

// Expected pixel of a plain draw: the pattern where it lies and is not the key, else the old one.
Pixel565 ExpectedDrawn(const Picture& picture, int x, int y, int tx, int ty, Pixel565 background) {
  const int u = tx - x, v = ty - y;
  if (u < 0 || v < 0 || u >= picture.Width || v >= picture.Height) return background;
  const Pixel565 p = XrgbToRgb565(picture.Pixels[v * picture.Width + u]);
  return p == 0 ? background : p;
}

TEST_F(BoundImageList, DrawSkipsTheKeyAndClipsAtEveryEdge) {
  // A 13 x 5 picture (rows wider than one block of eight pixels) with a black (key) diagonal
  // and a black column.
  Picture picture = MakePicture(
      13, 5, [](int x, int y) { return x == y || x == 9 ? 0u : CoordinateColor(x, y, 2); });
  ImageItem& item = list_.Items().Add(MakeItem("Box", picture));
  const Pixel565 background = 0x1234;
  const struct {
    int X, Y;
  } positions[] = {{-3, 1},  {37, 2}, {4, -2}, {5, 27},  {-4, -3}, {36, 27},
                   {10, 10}, {-6, 0}, {40, 0}, {-13, 4}, {27, 0},  {-1, 25}};
  for (auto [x, y] : positions) {
    Surface target(40, 30);
    target.Fill(background);
    item.Draw(target, x, y, 0);
    for (int ty = 0; ty < 30; ++ty) {
      for (int tx = 0; tx < 40; ++tx) {
        ASSERT_EQ(target.At(tx, ty), ExpectedDrawn(picture, x, y, tx, ty, background))
            << "drawn at " << x << "," << y << " pixel " << tx << "," << ty;
      }
    }
  }
}

// Each channel of the result is half the picture's and half the target's, rounded down in each
// half: white over black is mid grey, never a colour that bled from a neighbouring channel.
Pixel565 HalfOfEach(Pixel565 a, Pixel565 b) {
  const auto half = [&](int shift, int bits) {
    const int mask = (1 << bits) - 1;
    return (((a >> shift) & mask) / 2 + ((b >> shift) & mask) / 2) << shift;
  };
  return static_cast<Pixel565>(half(11, 5) | half(5, 6) | half(0, 5));
}

TEST_F(BoundImageList, HalfTransparentDrawBlendsEveryChannelSkipsTheKeyAndClips) {
  Picture picture = MakePicture(
      13, 5, [](int x, int y) { return x == y || x == 9 ? 0u : CoordinateColor(x, y, 3); });
  ImageItem& item = list_.Items().Add(MakeItem("Ghost", picture));
  const Pixel565 background = 0xFFFF;
  for (auto [x, y] : {std::pair{-3, 1}, {37, 2}, {4, -2}, {10, 10}, {-13, 4}, {0, 0}}) {
    Surface target(40, 30);
    target.Fill(background);
    item.DrawHalfTransparent(target, x, y, 0);
    for (int ty = 0; ty < 30; ++ty) {
      for (int tx = 0; tx < 40; ++tx) {
        const Pixel565 opaque = ExpectedDrawn(picture, x, y, tx, ty, 0);
        const Pixel565 expected = opaque == 0 ? background : HalfOfEach(opaque, background);
        ASSERT_EQ(target.At(tx, ty), expected)
            << "drawn at " << x << "," << y << " pixel " << tx << "," << ty;
      }
    }
  }
  EXPECT_EQ(HalfOfEach(0xFFFF, 0), 0x7BEF);
}

TEST_F(BoundImageList, DrawWithoutTransparencyCopiesTheKeyToo) {
  ImageItemData data =
      MakeItem("Solid", MakePicture(2, 1, [](int x, int) { return x == 0 ? 0u : 0xFFFFFFu; }));
  data.Transparent = false;
  ImageItem& item = list_.Items().Add(data);
  Surface target(2, 1);
  target.Fill(0x5555);
  item.Draw(target, 0, 0, 0);
  EXPECT_EQ(target.At(0, 0), 0);
  EXPECT_EQ(target.At(1, 0), 0xFFFF);
}

TEST_F(BoundImageList, OutOfRangePatternsAndFarPositionsDrawNothing) {
  ImageItem& item = list_.Items().Add(MakeItem("Two", Coordinates(4, 2), 2, 2));
  Surface target(8, 8);
  for (int pattern : {-1, 2, 1 << 30}) item.Draw(target, 0, 0, pattern);
  item.Draw(target, INT_MAX - 1, INT_MAX - 1, 0);
  item.Draw(target, INT_MIN, INT_MIN, 0);
  EXPECT_TRUE(std::all_of(target.Pixels().begin(), target.Pixels().end(),
                          [](Pixel565 p) { return p == 0; }));
}

TEST_F(BoundImageList, RotationByZeroIsAPlainDrawAndByAQuarterTurnsClockwise) {
  Picture picture = Coordinates(4, 3);
  ImageItem& item = list_.Items().Add(MakeItem("Needle", picture));
  Surface plain(40, 30), rotated(40, 30);
  item.Draw(plain, 10, 12, 0);
  item.DrawRotate(rotated, 10, 12, 4, 3, 0, 0.0, 0.0, 256);  // a whole turn is no turn
  EXPECT_EQ(rotated.Pixels(), plain.Pixels());

  // A quarter turn about the top-left corner: pixel (u, v) goes to (x - v, y + u).
  Surface quarter(40, 30);
  item.DrawRotate(quarter, 20, 5, 4, 3, 0, 0.0, 0.0, 64);
  int drawn = 0;
  for (int v = 0; v < 3; ++v) {
    for (int u = 0; u < 4; ++u) {
      EXPECT_EQ(quarter.At(20 - v, 5 + u), XrgbToRgb565(CoordinateColor(u, v, 1))) << u << "," << v;
    }
  }
  for (Pixel565 p : quarter.Pixels()) drawn += p != 0;
  EXPECT_EQ(drawn, 12);
}

TEST_F(BoundImageList, RotationScalesAboutThePivotAndSkipsKeyPixels) {
  // A 2 x 2 pattern with a black (key) bottom-right pixel, drawn at double size, a half turn
  // about its centre: mirrored in both directions, and one pixel right and down, since the
  // turned offsets are truncated toward zero.
  Picture picture =
      MakePicture(2, 2, [](int x, int y) { return x + y == 2 ? 0u : CoordinateColor(x, y, 3); });
  ImageItem& item = list_.Items().Add(MakeItem("Quad", picture));
  Surface target(40, 30);
  target.Fill(0x0F0F);
  item.DrawRotate(target, 20, 10, 4, 4, 0, 0.5, 0.5, 128);
  for (int ty = 9; ty < 13; ++ty) {
    for (int tx = 19; tx < 23; ++tx) {
      const int u = (22 - tx) / 2, v = (12 - ty) / 2;  // source pixel after the half turn
      const Pixel565 expected = u + v == 2 ? 0x0F0F : XrgbToRgb565(CoordinateColor(u, v, 3));
      EXPECT_EQ(target.At(tx, ty), expected) << tx << "," << ty;
    }
  }
  int covered = 0;
  for (Pixel565 p : target.Pixels()) covered += p != 0x0F0F;
  EXPECT_EQ(covered, 12);
  const std::vector<Pixel565> before = target.Pixels();
  item.DrawRotate(target, 20, 10, 0, 4, 0, 0.5, 0.5, 0);  // zero width draws nothing
  EXPECT_EQ(target.Pixels(), before);
}

TEST_F(BoundImageList, PatternsFollowTheDisplayThroughFinalizeAndInitialize) {
  ImageItem& item = list_.Items().Add(MakeItem("Car", Coordinates(6, 2), 2, 2));
  Surface target(4, 4);
  item.Draw(target, 0, 0, 2);
  EXPECT_EQ(target.At(1, 1), XrgbToRgb565(CoordinateColor(5, 1, 1)));

  display_.Finalize();
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.PatternSurface(0), nullptr);
  EXPECT_EQ(item.PatternCount(), 3);  // still known from the picture
  target.Fill(0);
  item.Draw(target, 0, 0, 2);
  EXPECT_EQ(target.At(1, 1), 0);

  display_.Initialize();
  ASSERT_TRUE(item.Initialized());
  item.Draw(target, 0, 0, 2);
  EXPECT_EQ(target.At(1, 1), XrgbToRgb565(CoordinateColor(5, 1, 1)));
}

TEST(ImageListBinding, ItemsAddedOrLoadedWhileBoundAreBuiltAtOnce) {
  FakeDisplay display(4, 4);
  ImageList list;
  EXPECT_THROW(list.Items().Initialize(), ImageListError);
  display.Initialize();
  list.SetDisplay(&display);  // already initialised: binds now
  EXPECT_TRUE(list.Items().Initialized());
  list.Items().Assign({MakeItem("A", Coordinates(2, 2))});
  EXPECT_TRUE(list.ItemByName("a").Initialized());
  EXPECT_NE(list.ItemByName("a").PatternSurface(0), nullptr);

  list.SetDisplay(nullptr);
  EXPECT_FALSE(list.ItemByName("a").Initialized());
  EXPECT_EQ(display.SubscriberCount(), 0);
}

TEST(ImageListBinding, ADestroyedDisplayIsForgotten) {
  ImageList list;
  {
    FakeDisplay display(4, 4);
    list.SetDisplay(&display);
    display.Initialize();
  }
  EXPECT_EQ(list.Display(), nullptr);
  EXPECT_FALSE(list.Items().Initialized());
}

TEST_F(BoundImageList, ChangingTheKeyRekeysTheBuiltPatterns) {
  ImageItemData data = MakeItem(
      "Keyed", MakePicture(2, 1, [](int x, int) { return x == 0 ? 0x00FF00FFu : 0x000000FFu; }));
  data.TransparentColor = 0x00FF00FF;  // magenta in 0x00BBGGRR is the same value
  ImageItem& item = list_.Items().Add(data);
  Surface target(2, 1);
  item.Draw(target, 0, 0, 0);
  EXPECT_EQ(target.At(0, 0), 0);
  item.SetTransparentColor(0x00FF0000);  // blue, the second pixel
  target.Fill(0);
  item.Draw(target, 0, 0, 0);
  EXPECT_EQ(target.At(0, 0), XrgbToRgb565(0x00FF00FF));
  EXPECT_EQ(target.At(1, 0), 0);
}

TEST(ImageListArchive, LoadsItemsInFileOrderAndKeepsThemWhenTheFileIsBad) {
  const std::string path = ::testing::TempDir() + "image_list_test.gfx";
  WriteImageArchive(
      path, {MakeItem("First", Coordinates(4, 2), 2, 2), MakeItem("Second", Coordinates(3, 3))});
  FakeDisplay display(4, 4);
  ImageList list;
  list.SetDisplay(&display);
  display.Initialize();
  list.Items().LoadArchive(path);
  ASSERT_EQ(list.Items().Count(), 2);
  EXPECT_EQ(list.Items().Items(0).Name(), "First");
  EXPECT_EQ(list.ItemByName("first").PatternCount(), 2);
  EXPECT_TRUE(list.ItemByName("second").Initialized());

  EXPECT_ANY_THROW(list.Items().LoadArchive(path + ".missing"));
  EXPECT_EQ(list.Items().Count(), 2);
  EXPECT_THROW(list.Items().Items(2), ImageListError);

  WriteImageArchive(path, {});
  list.Items().LoadArchive(path);
  EXPECT_EQ(list.Items().Count(), 0);
}

}  // namespace
}  // namespace rivoltra
