#include "engine/picture_scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace rivoltra {
namespace {

// A picture of scattered colours: odd sizes reach the tails the wide loops leave over.
Surface NoisePicture(int width, int height) {
  Surface picture(width, height);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      picture.Set(x, y, static_cast<Pixel565>(state >> 16));
    }
  }
  return picture;
}

// The 8-bit channels of a 5-6-5 pixel, red first.
std::array<double, 3> Channels(Pixel565 pixel) {
  const std::uint32_t xrgb = Rgb565ToXrgb(pixel);
  return {static_cast<double>((xrgb >> 16) & 0xFF), static_cast<double>((xrgb >> 8) & 0xFF),
          static_cast<double>(xrgb & 0xFF)};
}

// A frame buffer with a margin around the placement and a pitch wider than a row, all set to a
// marker that the scaler must leave wherever it does not draw. Misaligned, rows start anywhere;
// aligned, every row of the placement starts on 16 bytes, as a window's frame buffer does, which
// the scaler writes with streamed stores where the processor has them.
struct FrameBuffer {
  static constexpr std::uint32_t kMarker = 0x5A5A5A5A;
  enum class Rows { Misaligned, Aligned };

  FrameBuffer(int placedWidth, int placedHeight, PixelLayout layout, Rows rows = Rows::Misaligned)
      : Margin(rows == Rows::Aligned ? 4 : 3),
        Width(placedWidth + 2 * Margin),
        Height(placedHeight + 2 * Margin),
        Pitch(rows == Rows::Aligned ? (Width + 7) / 4 * 4 : Width + 5),
        Pixels(static_cast<std::size_t>(Pitch * Height), kMarker) {
    Target = PixelTarget{Pixels.data(), static_cast<std::ptrdiff_t>(Pitch * sizeof(std::uint32_t)),
                         Width, Height, layout};
    Placement = Bounds(Margin, Margin, placedWidth, placedHeight);
  }
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Pitch + x]; }
  bool RowsAligned() const {
    return reinterpret_cast<std::uintptr_t>(&Pixels[static_cast<std::size_t>(Margin)]) % 16 == 0 &&
           Pitch % 4 == 0;
  }

  int Margin, Width, Height, Pitch;
  std::vector<std::uint32_t> Pixels;
  PixelTarget Target;
  Rect Placement;
};

// The channels of a target pixel in the layout, red first, and whether its spare byte is full.
std::array<int, 3> TargetChannels(std::uint32_t pixel, const PixelLayout& layout) {
  return {static_cast<int>((pixel >> layout.RedShift) & 0xFF),
          static_cast<int>((pixel >> layout.GreenShift) & 0xFF),
          static_cast<int>((pixel >> layout.BlueShift) & 0xFF)};
}

struct ScaleCase {
  int PictureWidth, PictureHeight, Width, Height;
};

// Whole multiples that take the fast paths (1 to 4; wide enough for two groups of eight and a
// tail), a multiple beyond them, stretched and shrunk sizes, odd widths, and a whole multiple
// across but not down.
const ScaleCase kScaleCases[] = {{13, 7, 13, 7},  {13, 7, 26, 14}, {21, 5, 63, 15}, {13, 7, 52, 28},
                                 {13, 7, 65, 35}, {16, 9, 29, 17}, {10, 6, 18, 11}, {20, 12, 7, 5},
                                 {1, 1, 6, 4},    {7, 3, 3, 3},    {8, 4, 24, 8}};

const PixelLayout kLayouts[] = {{16, 8, 0}, {0, 8, 16}, {24, 16, 8}};
const FrameBuffer::Rows kRowKinds[] = {FrameBuffer::Rows::Misaligned, FrameBuffer::Rows::Aligned};

struct ScaleSetting {
  PixelLayout Layout;
  FrameBuffer::Rows Rows;
  ScaleCase Scale;
};

std::vector<ScaleSetting> AllScaleCases() {
  std::vector<ScaleSetting> all;
  for (const PixelLayout& layout : kLayouts) {
    for (const FrameBuffer::Rows rows : kRowKinds) {
      for (const ScaleCase& c : kScaleCases) all.push_back({layout, rows, c});
    }
  }
  return all;
}

// The case's sizes, layout and rows, for a failure's trace.
std::string Described(const ScaleSetting& setting) {
  const ScaleCase& c = setting.Scale;
  std::ostringstream text;
  text << c.PictureWidth << "x" << c.PictureHeight << " to " << c.Width << "x" << c.Height
       << ", red at " << setting.Layout.RedShift << ", rows "
       << (setting.Rows == FrameBuffer::Rows::Aligned ? "aligned" : "misaligned");
  return text.str();
}

// Checks every pixel: the placement against the expected channels within a tolerance, the spare
// byte full, everything else untouched.
template <typename Expected>
void ExpectScaled(const FrameBuffer& frame, const Expected& expected, double tolerance) {
  const PixelLayout& layout = frame.Target.Layout;
  const std::uint32_t colourBits =
      (0xFFu << layout.RedShift) | (0xFFu << layout.GreenShift) | (0xFFu << layout.BlueShift);
  for (int y = 0; y < frame.Height; ++y) {
    for (int x = 0; x < frame.Pitch; ++x) {
      const std::uint32_t pixel = frame.At(x, y);
      const int px = x - frame.Placement.Left, py = y - frame.Placement.Top;
      if (px < 0 || py < 0 || px >= frame.Placement.Width() || py >= frame.Placement.Height()) {
        ASSERT_EQ(pixel, FrameBuffer::kMarker) << "outside the placement at " << x << "," << y;
        continue;
      }
      ASSERT_EQ(pixel & ~colourBits, ~colourBits) << "spare bits at " << px << "," << py;
      const std::array<double, 3> want = expected(px, py);
      const std::array<int, 3> got = TargetChannels(pixel, layout);
      for (int c = 0; c < 3; ++c) {
        ASSERT_LE(std::abs(got[static_cast<std::size_t>(c)] - want[static_cast<std::size_t>(c)]),
                  tolerance)
            << "channel " << c << " at " << px << "," << py;
      }
    }
  }
}

TEST(PictureScaler, NearestRepeatsTheSourcePixelUnderEachCentre) {
  for (const auto& [layout, rows, c] : AllScaleCases()) {
    SCOPED_TRACE(Described({layout, rows, c}));
    const Surface picture = NoisePicture(c.PictureWidth, c.PictureHeight);
    FrameBuffer frame(c.Width, c.Height, layout, rows);
    if (rows == FrameBuffer::Rows::Aligned) ASSERT_TRUE(frame.RowsAligned());
    PictureScaler scaler;
    scaler.Draw(picture, frame.Target, frame.Placement, ScaleFilter::Nearest);
    // c through an init-capture: clang-tidy's clang 14 cannot capture a structured binding.
    ExpectScaled(
        frame,
        [&picture, &c = c](int x, int y) {
          const int sx = static_cast<int>((x + 0.5) * c.PictureWidth / c.Width);
          const int sy = static_cast<int>((y + 0.5) * c.PictureHeight / c.Height);
          return Channels(picture.At(sx, sy));
        },
        0);
  }
}

// The linear filter as a GPU samples a texture: pixel centres at half steps, edges clamped.
TEST(PictureScaler, LinearBlendsBetweenTheNeighbouringCentres) {
  for (const auto& [layout, rows, c] : AllScaleCases()) {
    SCOPED_TRACE(Described({layout, rows, c}));
    const Surface picture = NoisePicture(c.PictureWidth, c.PictureHeight);
    FrameBuffer frame(c.Width, c.Height, layout, rows);
    if (rows == FrameBuffer::Rows::Aligned) ASSERT_TRUE(frame.RowsAligned());
    PictureScaler scaler;
    scaler.Draw(picture, frame.Target, frame.Placement, ScaleFilter::Linear);
    const auto sample = [](double position, int size, int& first, double& weight) {
      position = std::clamp(position, 0.0, static_cast<double>(size - 1));
      first = std::min(static_cast<int>(position), size - 1);
      weight = position - first;
    };
    // The scaler works in 256ths of a pixel and of a shade, rounding twice.
    ExpectScaled(
        frame,
        [&picture, &sample, &c = c](int x, int y) {
          int sx = 0, sy = 0;
          double wx = 0, wy = 0;
          sample((x + 0.5) * c.PictureWidth / c.Width - 0.5, c.PictureWidth, sx, wx);
          sample((y + 0.5) * c.PictureHeight / c.Height - 0.5, c.PictureHeight, sy, wy);
          const int nx = std::min(sx + 1, c.PictureWidth - 1);
          const int ny = std::min(sy + 1, c.PictureHeight - 1);
          std::array<double, 3> result{};
          for (std::size_t k = 0; k < 3; ++k) {
            const double top =
                Channels(picture.At(sx, sy))[k] * (1 - wx) + Channels(picture.At(nx, sy))[k] * wx;
            const double bottom =
                Channels(picture.At(sx, ny))[k] * (1 - wx) + Channels(picture.At(nx, ny))[k] * wx;
            result[k] = top * (1 - wy) + bottom * wy;
          }
          return result;
        },
        1.5);
  }
}

// The smooth filter's exact rounding, the same at every size and on every path: a destination
// pixel's centre falls in the source at a position rounded to 256ths of a pixel; each row is
// widened first, each byte blended as (a * (256 - w) + b * w + 128) / 256, then rows are blended
// the same way.
std::uint32_t ExactLinear(const Surface& picture, int width, int height, int x, int y) {
  const auto tap = [](int d, int sourceSize, int size, int& first, int& weight) {
    const long long position = ((2LL * d + 1) * sourceSize * 256 + size) / (2LL * size) - 128;
    first = static_cast<int>(std::clamp(position, 0LL, 256LL * (sourceSize - 1)) >> 8);
    weight = position < 0 || first >= sourceSize - 1 ? 0 : static_cast<int>(position & 0xFF);
  };
  const auto blend = [](std::uint32_t a, std::uint32_t b, int weight) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const int mixed = (static_cast<int>((a >> shift) & 0xFF) * (256 - weight) +
                         static_cast<int>((b >> shift) & 0xFF) * weight + 128) >>
                        8;
      result |= static_cast<std::uint32_t>(mixed) << shift;
    }
    return result;
  };
  int sx = 0, wx = 0, sy = 0, wy = 0;
  tap(x, picture.Width(), width, sx, wx);
  tap(y, picture.Height(), height, sy, wy);
  const auto widened = [&](int row) {
    const auto pixel = [&](int column) {
      return Rgb565ToXrgb(picture.At(std::min(column, picture.Width() - 1), row)) | 0xFF000000u;
    };
    return blend(pixel(sx), pixel(sx + 1), wx);
  };
  return blend(widened(sy), widened(std::min(sy + 1, picture.Height() - 1)), wy);
}

TEST(PictureScaler, LinearRoundsTheSameOnEveryPath) {
  for (const auto& [layout, rows, c] : AllScaleCases()) {
    if (layout != PixelLayout{}) continue;
    SCOPED_TRACE(testing::Message() << c.PictureWidth << "x" << c.PictureHeight << " to " << c.Width
                                    << "x" << c.Height);
    const Surface picture = NoisePicture(c.PictureWidth, c.PictureHeight);
    FrameBuffer frame(c.Width, c.Height, layout, rows);
    PictureScaler{}.Draw(picture, frame.Target, frame.Placement, ScaleFilter::Linear);
    for (int y = 0; y < c.Height; ++y) {
      for (int x = 0; x < c.Width; ++x) {
        ASSERT_EQ(frame.At(frame.Placement.Left + x, frame.Placement.Top + y),
                  ExactLinear(picture, c.Width, c.Height, x, y))
            << x << "," << y;
      }
    }
  }
}

// A sharp edge: smooth scaling shows steps between black and white at 3x, sharp scaling none,
// and both keep a flat colour exactly.
TEST(PictureScaler, SmoothShowsInBetweenShadesWhereSharpShowsNone) {
  Surface picture(4, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) picture.Set(x, y, x < 2 ? 0x0000 : 0xFFFF);
  }
  for (const ScaleFilter filter : {ScaleFilter::Nearest, ScaleFilter::Linear}) {
    FrameBuffer frame(12, 6, PixelLayout{});
    PictureScaler scaler;
    scaler.Draw(picture, frame.Target, frame.Placement, filter);
    std::vector<int> row;
    for (int x = 0; x < 12; ++x)
      row.push_back(TargetChannels(frame.At(frame.Margin + x, frame.Margin + 2), PixelLayout{})[1]);
    if (filter == ScaleFilter::Nearest) {
      EXPECT_EQ(row, (std::vector<int>{0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255}));
    } else {
      // Columns 5 and 6 lie a third of a pixel either side of the edge.
      EXPECT_EQ(row, (std::vector<int>{0, 0, 0, 0, 0, 85, 170, 255, 255, 255, 255, 255}));
    }
  }
}

// Drawn again into the same frame buffer, only what changed is drawn: the result is what a fresh
// draw shows, the rectangles returned hold every pixel that changed, a part whose picture did not
// change keeps even a pixel scribbled over, and a forgotten frame is drawn whole again.
TEST(PictureScaler, DrawsAgainOnlyWhatChanged) {
  const ScaleCase cases[] = {{80, 6, 240, 18}, {80, 6, 80, 6}, {40, 5, 70, 9}, {80, 6, 50, 4}};
  for (const ScaleFilter filter : {ScaleFilter::Nearest, ScaleFilter::Linear}) {
    for (const FrameBuffer::Rows rows : kRowKinds) {
      for (const ScaleCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.PictureWidth << "x" << c.PictureHeight << " to " << c.Width << "x"
                     << c.Height << ", filter " << static_cast<int>(filter));
        const Surface before = NoisePicture(c.PictureWidth, c.PictureHeight);
        Surface after = before;
        // The first pixel of a row, the first of its second run of 32 (the scaler compares runs
        // of a cache line), the last of the short run at its end; row 3 alone keeps every pixel.
        after.Set(0, 0, static_cast<Pixel565>(~after.At(0, 0)));
        after.Set(32, 2, static_cast<Pixel565>(after.At(0, 0) + 1));
        after.Set(c.PictureWidth - 1, 4, 0x1234);
        FrameBuffer frame(c.Width, c.Height, PixelLayout{}, rows);
        PictureScaler scaler;
        EXPECT_EQ(scaler.Draw(before, frame.Target, frame.Placement, filter),
                  std::vector<Rect>{frame.Placement});
        const std::vector<std::uint32_t> drawnBefore = frame.Pixels;
        // A frame row that shows picture row 3 and no other (smooth 70 x 9 has none).
        int scribbleY = -1;
        for (int y = c.Height - 1; y >= 0; --y) {
          const double centre = (y + 0.5) * c.PictureHeight / c.Height;
          const bool onlyRow3 =
              filter == ScaleFilter::Nearest ? static_cast<int>(centre) == 3 : centre == 3.5;
          if (onlyRow3) scribbleY = frame.Placement.Top + y;
        }
        if (scribbleY >= 0)
          frame.Pixels[static_cast<std::size_t>(scribbleY) * frame.Pitch + frame.Placement.Left] =
              7;
        const std::vector<Rect> changes = scaler.Draw(after, frame.Target, frame.Placement, filter);

        FrameBuffer fresh(c.Width, c.Height, PixelLayout{}, rows);
        PictureScaler{}.Draw(after, fresh.Target, fresh.Placement, filter);
        for (int y = 0; y < frame.Height; ++y) {
          for (int x = 0; x < frame.Width; ++x) {
            const auto inside = [&](const Rect& r) {
              return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            };
            const std::size_t at = static_cast<std::size_t>(y) * frame.Pitch + x;
            if (y == scribbleY && x == frame.Placement.Left) {
              ASSERT_EQ(frame.Pixels[at], 7u) << "an unchanged part was drawn again";
              continue;
            }
            ASSERT_EQ(frame.Pixels[at], fresh.Pixels[at]) << x << "," << y;
            if (drawnBefore[at] != fresh.Pixels[at])
              ASSERT_TRUE(std::any_of(changes.begin(), changes.end(), inside)) << x << "," << y;
          }
        }
        for (const Rect& change : changes) {
          EXPECT_EQ(Intersection(change, frame.Placement), change);
          EXPECT_FALSE(change.IsEmpty());
        }

        EXPECT_TRUE(scaler.Draw(after, frame.Target, frame.Placement, filter).empty());
        scaler.Forget();
        EXPECT_EQ(scaler.Draw(after, frame.Target, frame.Placement, filter),
                  std::vector<Rect>{frame.Placement});
        EXPECT_EQ(frame.Pixels, fresh.Pixels);
      }
    }
  }
}

// A placement reaching outside the frame buffer, and a layout with a colour across bytes.
TEST(PictureScaler, DrawsNothingOutsideTheTargetOrInAnUnknownLayout) {
  const Surface picture = NoisePicture(4, 3);
  FrameBuffer frame(8, 6, PixelLayout{});
  PictureScaler scaler;
  for (const Rect& outside : {Bounds(-1, 0, 8, 6), Bounds(8, 8, 8, 6), Bounds(0, 0, 0, 6)}) {
    scaler.Draw(picture, frame.Target, outside, ScaleFilter::Nearest);
    for (const std::uint32_t pixel : frame.Pixels) ASSERT_EQ(pixel, FrameBuffer::kMarker);
  }
  PixelTarget unknown = frame.Target;
  unknown.Layout = PixelLayout{20, 10, 0};
  scaler.Draw(picture, unknown, frame.Placement, ScaleFilter::Nearest);
  for (const std::uint32_t pixel : frame.Pixels) ASSERT_EQ(pixel, FrameBuffer::kMarker);
}

TEST(PictureFit, KeepsTheShapeCentredAndMapsPointsBack) {
  struct Case {
    int AreaWidth, AreaHeight;
    Rect Placement;
  };
  const Case cases[] = {
      {800, 600, Bounds(0, 0, 800, 600)},       {2400, 1800, Bounds(0, 0, 2400, 1800)},
      {1920, 1080, Bounds(240, 0, 1440, 1080)}, {1080, 1920, Bounds(0, 555, 1080, 810)},
      {801, 600, Bounds(0, 0, 800, 600)},       {0, 600, Rect{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.AreaWidth << "x" << c.AreaHeight);
    EXPECT_EQ(FitPicture(800, 600, c.AreaWidth, c.AreaHeight), c.Placement);
  }

  struct Point {
    int X, Y;
  };
  const Rect placement = Bounds(240, 0, 1440, 1080);
  const std::pair<Point, Point> points[] = {
      {{240, 0}, {0, 0}},   {{1679, 1079}, {799, 599}}, {{960, 540}, {400, 300}},
      {{0, 500}, {0, 277}}, {{1919, 2000}, {799, 599}}, {{241, 1}, {0, 0}},
      {{242, 2}, {1, 1}},
  };
  for (const auto& [area, expected] : points) {
    int x = area.X, y = area.Y;
    AreaPointToPicture(placement, 800, 600, x, y);
    EXPECT_EQ(x, expected.X) << area.X << "," << area.Y;
    EXPECT_EQ(y, expected.Y) << area.X << "," << area.Y;
  }
}

}  // namespace
}  // namespace rivoltra
