#include "engine/compact_dib.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "engine/dib.h"

namespace rivoltra {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRle8 = 1, kRle4 = 2;

struct Encoding {
  int BitCount;
  std::uint32_t Compression;
  bool operator==(const Encoding&) const = default;
};

Encoding EncodingOf(const Bytes& bitmap) {
  return {bitmap[14] | bitmap[15] << 8,
          static_cast<std::uint32_t>(bitmap[16] | bitmap[17] << 8 | bitmap[18] << 16 |
                                     bitmap[19] << 24)};
}

// A picture whose pixel (x, y) is palette[pick(x, y) % palette size].
Picture Drawn(int width, int height, const std::vector<std::uint32_t>& palette,
              const std::function<std::size_t(int, int)>& pick) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.Pixels.push_back(palette[pick(x, y) % palette.size()]);
  return p;
}

std::vector<std::uint32_t> Colors(std::size_t count) {
  std::vector<std::uint32_t> colors;
  for (std::size_t i = 0; i < count; ++i)
    colors.push_back(static_cast<std::uint32_t>(i * 0x9E3779B1u) & 0xFFFFFFu);
  return colors;
}

// Every pixel an independent pick (a splitmix64 step over seed and position).
std::function<std::size_t(int, int)> Noise(unsigned seed) {
  return [seed](int x, int y) {
    std::uint64_t z = (std::uint64_t{seed} << 40) + (static_cast<std::uint64_t>(y) << 20) +
                      static_cast<std::uint64_t>(x) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(z ^ (z >> 31));
  };
}

TEST(CompactDib, ChoosesTheSmallestEncodingThatDecodesExactly) {
  struct Case {
    const char* Name;
    Picture Input;
    Encoding Expected;
  };
  const Case cases[] = {
      {"two colours of noise", Drawn(64, 8, Colors(2), Noise(1)), {1, 0}},
      {"sixteen colours of noise", Drawn(33, 7, Colors(16), Noise(2)), {4, 0}},
      {"sixteen colours in wide bands",
       Drawn(200, 20, Colors(16), [](int x, int) { return x / 40; }),
       {4, kRle4}},
      {"a two-colour checker (alternating runs)",
       Drawn(300, 10, Colors(3), [](int x, int y) { return (x + y) % 2 + (x > 290 ? 2 : 0); }),
       {4, kRle4}},
      {"two hundred colours of noise", Drawn(40, 30, Colors(200), Noise(3)), {8, 0}},
      {"two hundred colours in runs",
       Drawn(600, 4, Colors(200), [](int x, int y) { return x / 3 + y; }),
       {8, kRle8}},
      {"257 colours", Drawn(257, 2, Colors(257), [](int x, int) { return x; }), {24, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const Bytes encoded = EncodeCompactBitmapData(c.Input);
    EXPECT_EQ(EncodingOf(encoded), c.Expected);
    EXPECT_EQ(DecodeBitmapData(encoded), c.Input);
    EXPECT_LE(encoded.size(), EncodeBitmapData(c.Input).size());
  }
}

// Random pictures with runs, noise, alternating stretches and every width's row padding and
// run-length splitting (runs and absolute stretches longer than 255).
TEST(CompactDib, RandomPicturesDecodeExactly) {
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    const int width = round % 3 == 0 ? 300 + static_cast<int>(random() % 400)
                                     : 1 + static_cast<int>(random() % 40);
    const int height = 1 + static_cast<int>(random() % 6);
    const std::size_t colorCount =
        std::vector<std::size_t>{1, 2, 3, 15, 16, 17, 100, 256}[round % 8];
    const auto palette = Colors(colorCount);
    Picture p{width, height, {}};
    std::size_t index = 0;
    for (int i = 0; i < width * height; ++i) {
      switch (random() % 4) {
        case 0:
          index = random() % colorCount;
          break;  // a new colour
        case 1:
          index = (index + 1) % colorCount;
          break;  // alternating with the next one
        default:
          break;  // the same again
      }
      if (random() % 50 == 0)  // now and then a long run
        for (int n = static_cast<int>(random() % 600); n > 0 && i < width * height - 1; --n, ++i)
          p.Pixels.push_back(palette[index]);
      p.Pixels.push_back(palette[index]);
    }
    SCOPED_TRACE(::testing::Message()
                 << width << " x " << height << ", " << colorCount << " colours");
    const Bytes encoded = EncodeCompactBitmapData(p);
    ASSERT_EQ(DecodeBitmapData(encoded), p);
    EXPECT_LE(encoded.size(), EncodeBitmapData(p).size());
  }
}

TEST(CompactDib, LargeUniformPictureAvoidsRunLengthTheReaderWouldRefuse) {
  // Run-length data this short may not describe so many pixels.
  const Picture p = Drawn(4096, 1024, Colors(1), [](int, int) { return 0; });
  const Bytes encoded = EncodeCompactBitmapData(p);
  EXPECT_EQ(EncodingOf(encoded), (Encoding{1, 0}));
  EXPECT_EQ(DecodeBitmapData(encoded), p);
}

TEST(CompactDib, EmptyAndInvalidPicturesAsTheTrueColourEncoder) {
  EXPECT_TRUE(EncodeCompactBitmapData(Picture{}).empty());
  EXPECT_THROW(EncodeCompactBitmapData(Picture{2, 2, {1, 2, 3}}), std::invalid_argument);
}

}  // namespace
}  // namespace rivoltra
