#include "engine/compact_dib.h"

#include <algorithm>
#include <optional>
#include <span>

#include "engine/component_stream.h"
#include "engine/dib.h"

namespace rivoltra {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::size_t kMaxTableColors = 256;
constexpr std::size_t kMaxRun = 255;

// The picture's distinct colours, sorted, or nothing when there are more than a table holds.
std::optional<std::vector<std::uint32_t>> TableColors(const Picture& picture) {
  std::vector<std::uint32_t> colors;
  std::optional<std::uint32_t> previous;
  for (const std::uint32_t pixel : picture.Pixels) {
    if (pixel == previous) continue;
    previous = pixel;
    const auto at = std::lower_bound(colors.begin(), colors.end(), pixel);
    if (at != colors.end() && *at == pixel) continue;
    if (colors.size() == kMaxTableColors) return std::nullopt;
    colors.insert(at, pixel);
  }
  return colors;
}

// Colour indexes in stored order: bottom row first.
std::vector<std::uint8_t> StoredIndexes(const Picture& picture,
                                        const std::vector<std::uint32_t>& colors) {
  const std::size_t width = static_cast<std::size_t>(picture.Width);
  const std::size_t height = static_cast<std::size_t>(picture.Height);
  std::vector<std::uint8_t> indexes;
  indexes.reserve(width * height);
  for (std::size_t row = height; row-- > 0;) {
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint32_t pixel = picture.Pixels[row * width + x];
      const auto at = std::lower_bound(colors.begin(), colors.end(), pixel);
      indexes.push_back(static_cast<std::uint8_t>(at - colors.begin()));
    }
  }
  return indexes;
}

void AppendHeader(std::vector<std::uint8_t>& out, const Picture& picture, int bitCount,
                  std::uint32_t compression, std::size_t imageSize, std::size_t colorCount) {
  AppendU32(out, kInfoHeaderSize);
  AppendU32(out, static_cast<std::uint32_t>(picture.Width));
  AppendU32(out, static_cast<std::uint32_t>(picture.Height));  // positive: bottom-up rows
  AppendU16(out, 1);                                           // planes
  AppendU16(out, static_cast<std::uint16_t>(bitCount));
  AppendU32(out, compression);
  AppendU32(out, static_cast<std::uint32_t>(imageSize));
  AppendU32(out, 0);  // horizontal resolution
  AppendU32(out, 0);  // vertical resolution
  AppendU32(out, static_cast<std::uint32_t>(colorCount));
  AppendU32(out, 0);  // colours important
}

void AppendColorTable(std::vector<std::uint8_t>& out, const std::vector<std::uint32_t>& colors) {
  for (const std::uint32_t color : colors) {
    out.push_back(static_cast<std::uint8_t>(color));        // blue
    out.push_back(static_cast<std::uint8_t>(color >> 8));   // green
    out.push_back(static_cast<std::uint8_t>(color >> 16));  // red
    out.push_back(0);
  }
}

std::vector<std::uint8_t> PackedRows(std::span<const std::uint8_t> indexes, std::size_t width,
                                     int bitCount) {
  const std::size_t bits = static_cast<std::size_t>(bitCount);
  const std::size_t stride = (width * bits + 31) / 32 * 4;
  const std::size_t perByte = 8 / bits;
  std::vector<std::uint8_t> rows;
  for (std::size_t start = 0; start < indexes.size(); start += width) {
    std::vector<std::uint8_t> row(stride, 0);
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t shift = (perByte - 1 - x % perByte) * bits;
      row[x / perByte] = static_cast<std::uint8_t>(row[x / perByte] | indexes[start + x] << shift);
    }
    rows.insert(rows.end(), row.begin(), row.end());
  }
  return rows;
}

// Run-length coding of one stored line. An RLE4 run repeats its byte's two nibbles in turn,
// so it also covers two alternating colours; an RLE8 run repeats one colour.
class RunLengthLine {
 public:
  RunLengthLine(std::span<const std::uint8_t> line, bool fourBit)
      : line_(line), fourBit_(fourBit) {}

  void AppendTo(std::vector<std::uint8_t>& out) const {
    // Shorter repeats are cheaper inside an absolute run than as a run of their own.
    const std::size_t minRun = fourBit_ ? 3 : 2;
    const std::size_t breakRun = fourBit_ ? 5 : 3;
    std::size_t x = 0;
    while (x < line_.size()) {
      const std::size_t run = RunAt(x);
      std::size_t end = x + 1;
      if (run < minRun && line_.size() - x >= 3) {
        while (end < line_.size() && end - x < kMaxRun && RunAt(end) < breakRun) ++end;
      }
      if (run >= minRun || end - x < 3) {
        out.push_back(static_cast<std::uint8_t>(run));
        out.push_back(RunByte(x));
        x += run;
        continue;
      }
      AppendAbsolute(out, x, end - x);
      x = end;
    }
  }

 private:
  std::uint8_t Second(std::size_t x) const {
    return fourBit_ && x + 1 < line_.size() ? line_[x + 1] : line_[x];
  }
  std::uint8_t RunByte(std::size_t x) const {
    return fourBit_ ? static_cast<std::uint8_t>(line_[x] << 4 | Second(x)) : line_[x];
  }
  std::size_t RunAt(std::size_t x) const {
    const std::uint8_t first = line_[x], second = Second(x);
    std::size_t n = 1;
    while (x + n < line_.size() && n < kMaxRun && line_[x + n] == (n % 2 ? second : first)) ++n;
    return n;
  }
  // An absolute run of `count` (at least 3) indexes, padded to a 16-bit boundary.
  void AppendAbsolute(std::vector<std::uint8_t>& out, std::size_t x, std::size_t count) const {
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(count));
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (!fourBit_) {
        out.push_back(line_[x + i]);
      } else if (i % 2 == 0) {
        out.push_back(static_cast<std::uint8_t>(line_[x + i] << 4));
      } else {
        out.back() = static_cast<std::uint8_t>(out.back() | line_[x + i]);
      }
    }
    if ((out.size() - start) % 2 != 0) out.push_back(0);
  }

  std::span<const std::uint8_t> line_;
  bool fourBit_;
};

std::vector<std::uint8_t> RunLengthData(std::span<const std::uint8_t> indexes, std::size_t width,
                                        bool fourBit) {
  std::vector<std::uint8_t> data;
  for (std::size_t start = 0; start < indexes.size(); start += width) {
    RunLengthLine(indexes.subspan(start, width), fourBit).AppendTo(data);
    data.push_back(0);
    data.push_back(start + width < indexes.size() ? 0 : 1);  // end of line, or of bitmap
  }
  return data;
}

std::vector<std::uint8_t> IndexedBitmap(const Picture& picture,
                                        const std::vector<std::uint32_t>& colors, int bitCount,
                                        std::uint32_t compression,
                                        std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(kInfoHeaderSize + colors.size() * 4 + data.size());
  AppendHeader(out, picture, bitCount, compression, data.size(), colors.size());
  AppendColorTable(out, colors);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeCompactBitmapData(const Picture& picture) {
  std::vector<std::uint8_t> trueColor = EncodeBitmapData(picture);  // validates the picture
  if (trueColor.empty()) return trueColor;
  const auto colors = TableColors(picture);
  if (!colors) return trueColor;

  const std::size_t width = static_cast<std::size_t>(picture.Width);
  const std::vector<std::uint8_t> indexes = StoredIndexes(picture, *colors);
  // In order of preference when sizes tie.
  std::vector<std::vector<std::uint8_t>> candidates;
  candidates.push_back(std::move(trueColor));
  for (const int bitCount : {1, 4, 8}) {
    if (colors->size() > std::size_t{1} << bitCount) continue;
    candidates.push_back(IndexedBitmap(picture, *colors, bitCount, kCompressionNone,
                                       PackedRows(indexes, width, bitCount)));
    if (bitCount == 1) continue;
    const bool fourBit = bitCount == 4;
    candidates.push_back(IndexedBitmap(picture, *colors, bitCount,
                                       fourBit ? kCompressionRle4 : kCompressionRle8,
                                       RunLengthData(indexes, width, fourBit)));
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const auto& a, const auto& b) { return a.size() < b.size(); });
  // The reader caps how large a picture short run-length data may describe; a candidate it
  // would refuse (or, by a fault here, decode differently) is passed over.
  for (auto& candidate : candidates) {
    try {
      if (DecodeBitmapData(candidate) == picture) return std::move(candidate);
    } catch (const FormatError&) {
    }
  }
  return EncodeBitmapData(picture);
}

}  // namespace rivoltra
