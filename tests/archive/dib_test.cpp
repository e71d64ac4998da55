#include "engine/dib.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/component_stream.h"

namespace rivoltra {
namespace {

using ::testing::StartsWith;
using Bytes = std::vector<std::uint8_t>;

// Hand-built DIB: 40-byte info header (or 12-byte core header), masks, palette, pixel bytes.
struct Dib {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::uint16_t BitCount = 24;
  std::uint32_t Compression = 0;
  std::uint32_t ImageSize = 0;
  std::uint32_t ColorsUsed = 0;
  bool Core = false;
  std::vector<std::uint32_t> Masks;    // compression 3
  std::vector<std::uint32_t> Palette;  // 0x00RRGGBB
  Bytes Pixels;

  Bytes Build() const {
    Bytes out;
    if (Core) {
      AppendU32(out, 12);
      AppendU16(out, static_cast<std::uint16_t>(Width));
      AppendU16(out, static_cast<std::uint16_t>(Height));
      AppendU16(out, 1);
      AppendU16(out, BitCount);
    } else {
      AppendU32(out, 40);
      AppendU32(out, static_cast<std::uint32_t>(Width));
      AppendU32(out, static_cast<std::uint32_t>(Height));
      AppendU16(out, 1);
      AppendU16(out, BitCount);
      AppendU32(out, Compression);
      AppendU32(out, ImageSize ? ImageSize : static_cast<std::uint32_t>(Pixels.size()));
      AppendU32(out, 2835);
      AppendU32(out, 2835);
      AppendU32(out, ColorsUsed);
      AppendU32(out, 0);
    }
    for (std::uint32_t mask : Masks) AppendU32(out, mask);
    for (std::uint32_t color : Palette) {
      out.push_back(static_cast<std::uint8_t>(color));
      out.push_back(static_cast<std::uint8_t>(color >> 8));
      out.push_back(static_cast<std::uint8_t>(color >> 16));
      if (!Core) out.push_back(0);
    }
    out.insert(out.end(), Pixels.begin(), Pixels.end());
    return out;
  }
};

constexpr std::uint32_t kK = 0x000000, kW = 0xFFFFFF, kR = 0xFF0000, kG = 0x00FF00, kB = 0x0000FF;
const std::vector<std::uint32_t> kFour = {0x101010, 0x202020, 0x303030, 0x404040};
const std::uint32_t kP0 = kFour[0], kP1 = kFour[1], kP2 = kFour[2], kP3 = kFour[3];

std::vector<std::uint32_t> Sixteen() {
  std::vector<std::uint32_t> palette;
  for (std::uint32_t i = 0; i < 16; ++i) palette.push_back(i * 0x111111);
  return palette;
}

struct DecodeCase {
  const char* Name;
  Dib Input;
  int Width;
  int Height;
  std::vector<std::uint32_t> Expected;  // top row first
};

const DecodeCase kDecodeCases[] = {
    {"1-bit bottom-up, rows padded to 4 bytes",
     {3, 2, 1, 0, 0, 0, false, {}, {kK, kW}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}},
     3,
     2,
     {kK, kW, kK, kW, kK, kW}},
    {"1-bit top-down",
     {3, -2, 1, 0, 0, 0, false, {}, {kK, kW}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}},
     3,
     2,
     {kW, kK, kW, kK, kW, kK}},
    {"4-bit with 3 colours used",
     {3, 1, 4, 0, 0, 3, false, {}, {kR, kG, kB}, {0x12, 0x00, 0, 0}},
     3,
     1,
     {kG, kB, kR}},
    {"4-bit index past the colour table is black",
     {2, 1, 4, 0, 0, 2, false, {}, {kR, kG}, {0x1F, 0, 0, 0}},
     2,
     1,
     {kG, kK}},
    {"8-bit top-down",
     {2, -2, 8, 0, 0, 4, false, {}, kFour, {0, 1, 0, 0, 2, 3, 0, 0}},
     2,
     2,
     {kP0, kP1, kP2, kP3}},
    {"8-bit core header with 3-byte colour entries",
     {2, 1, 8, 0, 0, 0, true, {}, std::vector<std::uint32_t>(256, 0x123456), {5, 9, 0, 0}},
     2,
     1,
     {0x123456, 0x123456}},
    {"16-bit default 5-5-5",
     {4, 1, 16, 0, 0, 0, false, {}, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42}},
     4,
     1,
     {kR, kG, kB, 0x848484}},
    {"16-bit bit fields 5-6-5",
     {3,
      1,
      16,
      3,
      0,
      0,
      false,
      {0xF800, 0x07E0, 0x001F},
      {},
      {0x00, 0xF8, 0xE0, 0x07, 0x41, 0x08, 0, 0}},
     3,
     1,
     {kR, kG, 0x080808}},
    {"24-bit bottom-up with row padding",
     {3, 2, 24, 0, 0, 0, false, {}, {}, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0,
                                         1,    2, 3, 4, 5,    6, 7, 8, 9,    0, 0, 0}},
     3,
     2,
     {0x030201, 0x060504, 0x090807, kB, kG, kR}},
    {"24-bit top-down",
     {1, -2, 24, 0, 0, 0, false, {}, {}, {0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0}},
     1,
     2,
     {0x112233, 0x445566}},
    {"24-bit last row without padding",
     {1, 2, 24, 0, 0, 0, false, {}, {}, {0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44}},
     1,
     2,
     {0x445566, 0x112233}},
    {"32-bit default 8-8-8 ignores the top byte",
     {2, 1, 32, 0, 0, 0, false, {}, {}, {0x33, 0x22, 0x11, 0xFF, 0x66, 0x55, 0x44, 0x00}},
     2,
     1,
     {0x112233, 0x445566}},
    {"32-bit bit fields in RGBA order",
     {1, 1, 32, 3, 0, 0, false, {0x000000FF, 0x0000FF00, 0x00FF0000}, {}, {0x11, 0x22, 0x33, 0x44}},
     1,
     1,
     {0x112233}},
    {"32-bit bit fields 10-10-10",
     {1, 1, 32, 3, 0, 0, false, {0x3FF00000, 0x000FFC00, 0x000003FF}, {}, {0xFF, 0x03, 0x00, 0x3C}},
     1,
     1,
     {0xF000FF}},
    {"24-bit with an optional colour table that is skipped",
     {1, 1, 24, 0, 0, 2, false, {}, {kR, kG}, {1, 2, 3, 0}},
     1,
     1,
     {0x030201}},
    {"RLE8: runs, absolute run with padding, delta, end of line and end of bitmap",
     {4, 3, 8, 1, 0, 4, false, {}, kFour, {3, 1, 0, 0,  // line 0 (bottom): 1 1 1, end of line
                                           0, 3, 2, 3, 1,
                                           0, 0, 0,  // line 1: absolute 2 3 1 (padded), end of line
                                           0, 2, 1, 0, 2,
                                           3, 0, 1}},  // line 2: delta right 1, run 3 3, end of
                                                       // bitmap
     4,
     3,
     {kP0, kP3, kP3, kP0, kP2, kP3, kP1, kP0, kP1, kP1, kP1, kP0}},
    {"RLE8 run past the right edge is clipped",
     {2, 1, 8, 1, 0, 2, false, {}, {kR, kG}, {5, 1, 0, 1}},
     2,
     1,
     {kG, kG}},
    {"RLE8 delta downwards",
     {2, 2, 8, 1, 0, 2, false, {}, {kR, kG}, {0, 2, 1, 1, 1, 1, 0, 1}},
     2,
     2,
     {kR, kG, kR, kR}},
    {"RLE8 top-down",
     {2, -2, 8, 1, 0, 2, false, {}, {kR, kG}, {2, 1, 0, 1}},
     2,
     2,
     {kG, kG, kR, kR}},
    {"RLE4: alternating run, absolute nibbles",
     {5,
      2,
      4,
      2,
      0,
      0,
      false,
      {},
      Sixteen(),
      {5, 0x12, 0, 0,             // line 0: 1 2 1 2 1
       0, 3, 0x34, 0x50, 0, 1}},  // line 1: absolute 3 4 5, end of bitmap
     5,
     2,
     {0x333333, 0x444444, 0x555555, 0, 0, 0x111111, 0x222222, 0x111111, 0x222222, 0x111111}},
    {"RLE4 absolute run of odd length padded to 16 bits",
     {4, 1, 4, 2, 0, 0, false, {}, Sixteen(), {0, 5, 0x12, 0x34, 0x50, 0x00, 0, 1}},
     4,
     1,
     {0x111111, 0x222222, 0x333333, 0x444444}},
    {"RLE cut short keeps what was decoded",
     {3, 1, 8, 1, 0, 2, false, {}, {kR, kG}, {1, 1, 0, 5, 1}},
     3,
     1,
     {kG, kR, kR}},
};

TEST(Dib, DecodesEveryDepthAndCompression) {
  for (const auto& c : kDecodeCases) {
    SCOPED_TRACE(c.Name);
    const Picture picture = DecodeBitmapData(c.Input.Build());
    EXPECT_EQ(picture.Width, c.Width);
    EXPECT_EQ(picture.Height, c.Height);
    EXPECT_EQ(picture.Pixels, c.Expected);
  }
}

TEST(Dib, EmptyInputsGiveEmptyPictures) {
  EXPECT_TRUE(DecodeBitmapData({}).IsEmpty());
  EXPECT_TRUE(DecodeBitmapData(Dib{0, 5, 24}.Build()).IsEmpty());
  EXPECT_TRUE(DecodeBitmapData(Dib{5, 0, 24}.Build()).IsEmpty());
}

struct InvalidCase {
  const char* Name;
  Bytes Input;
  const char* Message;
};

Bytes WithHeaderSize(std::uint32_t size) {
  Bytes out = Dib{1, 1, 24, 0, 0, 0, false, {}, {}, {0, 0, 0, 0}}.Build();
  out[0] = static_cast<std::uint8_t>(size);
  return out;
}

TEST(Dib, InvalidBitmaps) {
  const InvalidCase cases[] = {
      {"header size 41", WithHeaderSize(41), "DIB is invalid (header size 41)"},
      {"header size 108", WithHeaderSize(108), "DIB is invalid (header size 108)"},
      {"size cut short", Bytes{40, 0}, "DIB is invalid (header size cut short)"},
      {"info header cut short", Bytes{40, 0, 0, 0, 1, 0}, "DIB is invalid (info header cut short)"},
      {"compression 4", Dib{1, 1, 24, 4}.Build(),
       "DIB is invalid (compression 4 with 24 bits per pixel)"},
      {"RLE8 with 4 bits", Dib{1, 1, 4, 1}.Build(),
       "DIB is invalid (compression 1 with 4 bits per pixel)"},
      {"bit fields with 24 bits", Dib{1, 1, 24, 3}.Build(),
       "DIB is invalid (compression 3 with 24 bits per pixel)"},
      {"bit count 2", Dib{1, 1, 2}.Build(), "DIB is invalid (bit count 2)"},
      {"negative width", Dib{-1, 1, 24}.Build(), "DIB is invalid (size -1 x 1)"},
      {"too wide", Dib{16385, 1, 24}.Build(), "DIB is invalid (size 16385 x 1)"},
      {"too tall", Dib{1, INT32_MIN, 24}.Build(), "DIB is invalid (size 1 x -2147483648)"},
      {"pixels cut short", Dib{2, 2, 24, 0, 0, 0, false, {}, {}, Bytes(13)}.Build(),
       "DIB is invalid (pixel data cut short)"},
      {"palette cut short", Dib{1, 1, 8, 0, 0, 0, false, {}, {kR, kG}, {}}.Build(),
       "DIB is invalid (colour table cut short)"},
      {"masks cut short", Dib{1, 1, 16, 3, 0, 0, false, {0xF800}, {}, {}}.Build(),
       "DIB is invalid (bit-field masks cut short)"},
      {"RLE image size past the data", Dib{1, 1, 8, 1, 100, 1, false, {}, {kR}, {0, 1}}.Build(),
       "DIB is invalid (run-length data cut short)"},
      {"RLE picture too large for its data",
       Dib{16384, 16384, 8, 1, 0, 1, false, {}, {kR}, {0, 1}}.Build(),
       "DIB is invalid (size 16384 x 16384 too large for its run-length data)"},
      {"huge uncompressed picture with no data", Dib{16384, 16384, 32}.Build(),
       "DIB is invalid (pixel data cut short)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      DecodeBitmapData(c.Input);
      ADD_FAILURE() << "no error";
    } catch (const FormatError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
  }
}

TEST(Dib, EveryTruncationOfAValidBitmapFailsOrDecodes) {
  for (const auto& c : kDecodeCases) {
    SCOPED_TRACE(c.Name);
    const Bytes full = c.Input.Build();
    for (std::size_t length = 0; length < full.size(); ++length) {
      try {
        DecodeBitmapData(std::span(full).first(length));
      } catch (const FormatError& e) {
        EXPECT_THAT(e.what(), StartsWith("DIB is invalid"));
      }
    }
  }
}

TEST(Dib, EncodeDecodeRoundTripForOddWidths) {
  for (int width = 1; width <= 9; ++width) {
    Picture p{width, 3, {}};
    for (int i = 0; i < width * 3; ++i)
      p.Pixels.push_back(static_cast<std::uint32_t>(i * 0x010203 + 7));
    const Bytes encoded = EncodeBitmapData(p);
    EXPECT_EQ(encoded.size(), 40u + static_cast<std::size_t>((width * 3 + 3) / 4 * 4 * 3));
    EXPECT_EQ(DecodeBitmapData(encoded), p);
  }
  EXPECT_TRUE(EncodeBitmapData(Picture{}).empty());
  EXPECT_THROW(EncodeBitmapData(Picture{2, 2, {1, 2, 3}}), std::invalid_argument);
}

}  // namespace
}  // namespace rivoltra
