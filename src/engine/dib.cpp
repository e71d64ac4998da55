#include "engine/dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>
#include <string>

#include "engine/component_stream.h"

namespace rivoltra {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;
// Run-length data can describe a large picture in a few bytes (end-of-line and end-of-bitmap
// escapes leave the rest blank), so its picture size is bounded by a fixed allowance plus an
// amount per byte of data rather than by the data alone.
constexpr std::uint64_t kRunLengthFreePixels = std::uint64_t{1} << 20;
constexpr std::uint64_t kRunLengthPixelsPerByte = 64;

[[noreturn]] void Invalid(const std::string& detail) {
  throw FormatError("DIB is invalid (" + detail + ")");
}

struct DibHeader {
  std::int64_t Width = 0;
  std::int64_t Height = 0;  // negative: top-down rows
  int BitCount = 0;
  std::uint32_t Compression = kCompressionNone;
  std::uint32_t ImageSize = 0;
  std::uint32_t ColorsUsed = 0;
  bool Core = false;
};

DibHeader ReadHeader(ByteCursor& in) {
  if (in.Remaining() < 4) Invalid("header size cut short");
  const std::uint32_t headerSize = in.U32();
  DibHeader h;
  if (headerSize == kCoreHeaderSize) {
    if (in.Remaining() < kCoreHeaderSize - 4) Invalid("core header cut short");
    h.Core = true;
    h.Width = in.U16();
    h.Height = in.U16();
    in.U16();  // planes
    h.BitCount = in.U16();
  } else if (headerSize == kInfoHeaderSize) {
    if (in.Remaining() < kInfoHeaderSize - 4) Invalid("info header cut short");
    h.Width = in.I32();
    h.Height = in.I32();
    in.U16();  // planes
    h.BitCount = in.U16();
    h.Compression = in.U32();
    h.ImageSize = in.U32();
    in.I32();  // horizontal resolution
    in.I32();  // vertical resolution
    h.ColorsUsed = in.U32();
    in.U32();  // colours important
  } else {
    Invalid("header size " + std::to_string(headerSize));
  }
  switch (h.BitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Invalid("bit count " + std::to_string(h.BitCount));
  }
  const bool compressionFits =
      h.Compression == kCompressionNone || (h.Compression == kCompressionRle8 && h.BitCount == 8) ||
      (h.Compression == kCompressionRle4 && h.BitCount == 4) ||
      (h.Compression == kCompressionBitFields && (h.BitCount == 16 || h.BitCount == 32));
  if (!compressionFits)
    Invalid("compression " + std::to_string(h.Compression) + " with " + std::to_string(h.BitCount) +
            " bits per pixel");
  if (h.Width < 0 || h.Width > kMaxPictureSide || h.Height < -kMaxPictureSide ||
      h.Height > kMaxPictureSide)
    Invalid("size " + std::to_string(h.Width) + " x " + std::to_string(h.Height));
  return h;
}

// One colour channel described by a bit mask, widened or narrowed to 8 bits.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    bits_ = 32 - std::countl_zero(mask >> shift_);
  }
  std::uint32_t Extract(std::uint32_t pixel) const {
    if (bits_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return static_cast<std::uint32_t>(value >> (bits_ - 8));
    const std::uint64_t maximum = (std::uint64_t{1} << bits_) - 1;
    return static_cast<std::uint32_t>((value * 255 + maximum / 2) / maximum);
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  int bits_ = 0;
};

struct BitFields {
  Channel Red{0}, Green{0}, Blue{0};
  std::uint32_t ToXrgb(std::uint32_t pixel) const {
    return Red.Extract(pixel) << 16 | Green.Extract(pixel) << 8 | Blue.Extract(pixel);
  }
};

// Maps a colour index to 0x00RRGGBB; indexes past the table are black.
class Palette {
 public:
  void Read(ByteCursor& in, std::size_t count, bool core) {
    const std::size_t entrySize = core ? 3 : 4;
    if (in.Remaining() / entrySize < count) Invalid("colour table cut short");
    for (std::size_t i = 0; i < count; ++i) {
      auto entry = in.Bytes(entrySize);
      colors_[i] = std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0];
    }
    count_ = count;
  }
  std::uint32_t operator[](std::size_t index) const { return index < count_ ? colors_[index] : 0; }

 private:
  std::array<std::uint32_t, 256> colors_{};
  std::size_t count_ = 0;
};

// Stored row `row` (0 = first in the data) as a picture row, top row first.
std::size_t PictureRow(std::size_t row, std::size_t height, bool topDown) {
  return topDown ? row : height - 1 - row;
}

// One stored row into picture pixels. The depth is chosen once per row, not per pixel: the
// archives' large true-colour pictures are most of the start-up's decoding.
void DecodeRow(std::span<const std::uint8_t> data, int bitCount, const Palette& palette,
               const BitFields& fields, std::uint32_t* pixels, std::size_t width) {
  switch (bitCount) {
    case 1:
      for (std::size_t x = 0; x < width; ++x) pixels[x] = palette[(data[x / 8] >> (7 - x % 8)) & 1];
      break;
    case 4:
      for (std::size_t x = 0; x < width; ++x)
        pixels[x] = palette[(data[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
      break;
    case 8:
      for (std::size_t x = 0; x < width; ++x) pixels[x] = palette[data[x]];
      break;
    case 16:
      for (std::size_t x = 0; x < width; ++x)
        pixels[x] = fields.ToXrgb(static_cast<std::uint32_t>(data[2 * x] | data[2 * x + 1] << 8));
      break;
    case 24:
      for (std::size_t x = 0; x < width; ++x)
        pixels[x] = std::uint32_t{data[3 * x + 2]} << 16 | std::uint32_t{data[3 * x + 1]} << 8 |
                    data[3 * x];
      break;
    default:  // 32
      for (std::size_t x = 0; x < width; ++x)
        pixels[x] = fields.ToXrgb(std::uint32_t{data[4 * x]} | std::uint32_t{data[4 * x + 1]} << 8 |
                                  std::uint32_t{data[4 * x + 2]} << 16 |
                                  std::uint32_t{data[4 * x + 3]} << 24);
      break;
  }
}

void DecodeRows(ByteCursor& in, const DibHeader& h, const Palette& palette, const BitFields& fields,
                Picture& out) {
  const std::size_t width = static_cast<std::size_t>(out.Width);
  const std::size_t height = static_cast<std::size_t>(out.Height);
  const std::size_t bits = static_cast<std::size_t>(h.BitCount);
  const std::size_t stride = (width * bits + 31) / 32 * 4;
  const std::size_t lastRowBytes = (width * bits + 7) / 8;  // the final row may lack padding
  if (in.Remaining() < lastRowBytes || (in.Remaining() - lastRowBytes) / stride < height - 1)
    Invalid("pixel data cut short");
  const bool topDown = h.Height < 0;
  for (std::size_t row = 0; row < height; ++row) {
    auto data = in.Bytes(row + 1 < height ? stride : lastRowBytes);
    DecodeRow(data, h.BitCount, palette, fields,
              out.Pixels.data() + PictureRow(row, height, topDown) * width, width);
  }
}

// Standard RLE8 / RLE4 decoding into colour indexes, line 0 being the first stored line.
// Pixels never written keep index 0; runs past the right edge are clipped; decoding stops at
// end-of-bitmap, after the last line, or where the data ends.
void DecodeRunLength(std::span<const std::uint8_t> data, bool fourBit, std::size_t width,
                     std::size_t height, std::vector<std::uint8_t>& indexes) {
  std::size_t pos = 0, x = 0, y = 0;
  auto put = [&](std::uint8_t index) {
    if (x < width && y < height) indexes[y * width + x] = index;
    ++x;
  };
  while (y < height && data.size() - pos >= 2) {
    const std::uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      const std::size_t n = std::min<std::size_t>(count, x < width ? width - x : 0);
      for (std::size_t i = 0; i < n; ++i)
        put(fourBit ? static_cast<std::uint8_t>(i % 2 ? value & 0x0F : value >> 4) : value);
      x += count - n;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return;
      case 2:  // delta
        if (data.size() - pos < 2) return;
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
        break;
      default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
        const std::size_t n = value;
        std::size_t bytes = fourBit ? (n + 1) / 2 : n;
        bytes += bytes % 2;
        if (data.size() - pos < (fourBit ? (n + 1) / 2 : n)) return;
        for (std::size_t i = 0; i < n; ++i) {
          const std::uint8_t byte = data[pos + (fourBit ? i / 2 : i)];
          put(fourBit ? static_cast<std::uint8_t>(i % 2 ? byte & 0x0F : byte >> 4) : byte);
        }
        pos += std::min(bytes, data.size() - pos);
        break;
      }
    }
  }
}

}  // namespace

Picture DecodeBitmapData(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return Picture{};
  ByteCursor in(bytes);
  const DibHeader h = ReadHeader(in);

  BitFields fields;
  if (h.Compression == kCompressionBitFields) {
    if (in.Remaining() < 12) Invalid("bit-field masks cut short");
    fields.Red = Channel(in.U32());
    fields.Green = Channel(in.U32());
    fields.Blue = Channel(in.U32());
  } else if (h.BitCount == 16) {
    fields = BitFields{Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
  } else if (h.BitCount == 32) {
    fields = BitFields{Channel(0xFF0000), Channel(0x00FF00), Channel(0x0000FF)};
  }

  std::size_t colorCount = h.ColorsUsed;
  if (colorCount == 0 && h.BitCount <= 8) colorCount = std::size_t{1} << h.BitCount;
  colorCount = std::min<std::size_t>(colorCount, 256);
  Palette palette;
  palette.Read(in, colorCount, h.Core);

  Picture picture;
  if (h.Width == 0 || h.Height == 0) return picture;
  const std::size_t width = static_cast<std::size_t>(h.Width);
  const std::size_t height = static_cast<std::size_t>(h.Height < 0 ? -h.Height : h.Height);
  picture.Width = static_cast<int>(width);
  picture.Height = static_cast<int>(height);

  if (h.Compression == kCompressionRle8 || h.Compression == kCompressionRle4) {
    if (h.ImageSize > in.Remaining()) Invalid("run-length data cut short");
    auto data = in.Bytes(h.ImageSize);
    if (width * height > kRunLengthFreePixels + kRunLengthPixelsPerByte * data.size())
      Invalid("size " + std::to_string(width) + " x " + std::to_string(height) +
              " too large for its run-length data");
    std::vector<std::uint8_t> indexes(width * height, 0);
    DecodeRunLength(data, h.Compression == kCompressionRle4, width, height, indexes);
    picture.Pixels.resize(width * height);
    const bool topDown = h.Height < 0;
    for (std::size_t line = 0; line < height; ++line) {
      const std::uint8_t* source = indexes.data() + line * width;
      std::uint32_t* target = picture.Pixels.data() + PictureRow(line, height, topDown) * width;
      for (std::size_t x = 0; x < width; ++x) target[x] = palette[source[x]];
    }
    return picture;
  }

  // Checks that the rows fit in what remains before anything is allocated.
  const std::size_t stride = (width * static_cast<std::size_t>(h.BitCount) + 31) / 32 * 4;
  if (in.Remaining() / stride + 1 < height) Invalid("pixel data cut short");
  picture.Pixels.resize(width * height);
  DecodeRows(in, h, palette, fields, picture);
  return picture;
}

std::vector<std::uint8_t> EncodeBitmapData(const Picture& picture) {
  if (picture.Width == 0 && picture.Height == 0 && picture.Pixels.empty()) return {};
  if (picture.Width <= 0 || picture.Height <= 0 || picture.Width > kMaxPictureSide ||
      picture.Height > kMaxPictureSide ||
      picture.Pixels.size() !=
          static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height))
    throw std::invalid_argument("EncodeBitmapData: picture of " + std::to_string(picture.Width) +
                                " x " + std::to_string(picture.Height) + " with " +
                                std::to_string(picture.Pixels.size()) + " pixels");
  const std::size_t width = static_cast<std::size_t>(picture.Width);
  const std::size_t height = static_cast<std::size_t>(picture.Height);
  const std::size_t stride = (width * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> out;
  out.reserve(kInfoHeaderSize + stride * height);
  AppendU32(out, kInfoHeaderSize);
  AppendU32(out, static_cast<std::uint32_t>(width));
  AppendU32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
  AppendU16(out, 1);                                   // planes
  AppendU16(out, 24);                                  // bits per pixel
  AppendU32(out, kCompressionNone);
  AppendU32(out, static_cast<std::uint32_t>(stride * height));
  AppendU32(out, 0);  // horizontal resolution
  AppendU32(out, 0);  // vertical resolution
  AppendU32(out, 0);  // colours used
  AppendU32(out, 0);  // colours important
  for (std::size_t row = height; row-- > 0;) {
    const std::uint32_t* pixels = picture.Pixels.data() + row * width;
    for (std::size_t x = 0; x < width; ++x) {
      out.push_back(static_cast<std::uint8_t>(pixels[x]));        // blue
      out.push_back(static_cast<std::uint8_t>(pixels[x] >> 8));   // green
      out.push_back(static_cast<std::uint8_t>(pixels[x] >> 16));  // red
    }
    out.insert(out.end(), stride - width * 3, 0);
  }
  return out;
}

}  // namespace rivoltra
