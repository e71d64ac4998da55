#include "engine/picture_scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rivoltra {

namespace {

std::uint32_t* TargetRow(const PixelTarget& target, int y) {
  return reinterpret_cast<std::uint32_t*>(static_cast<char*>(target.Pixels) +
                                          target.PitchBytes * y);
}

// The bits of a target pixel that belong to no colour: written as ones.
std::uint32_t SpareBits(const PixelLayout& layout) {
  return ~((0xFFu << layout.RedShift) | (0xFFu << layout.GreenShift) | (0xFFu << layout.BlueShift));
}

bool ColoursInBytes(const PixelLayout& layout) {
  const auto inByte = [](int shift) { return shift >= 0 && shift <= 24 && shift % 8 == 0; };
  return inByte(layout.RedShift) && inByte(layout.GreenShift) && inByte(layout.BlueShift);
}

std::uint32_t ConvertPixel(Pixel565 pixel, const PixelLayout& layout, std::uint32_t spare) {
  const std::uint32_t r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
  return ((r << 3 | r >> 2) << layout.RedShift) | ((g << 2 | g >> 4) << layout.GreenShift) |
         ((b << 3 | b >> 2) << layout.BlueShift) | spare;
}

// Each byte of a and b mixed as (a * (256 - weight) + b * weight) / 256, rounded. Two bytes at a
// time in 16-bit fields: a field's sum stays below 2^16 (255 * 256 + 128 at most).
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
  const std::uint32_t keep = 256 - weight;
  const std::uint32_t oddBytes =
      (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight + 0x00800080u) >> 8) & 0x00FF00FFu;
  const std::uint32_t evenBytes =
      (((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight + 0x00800080u) &
      0xFF00FF00u;
  return oddBytes | evenBytes;
}

// The hot loops below have SSE2 forms (every x86-64 has SSE2); the plain loops do the rest and
// every other processor.
#if defined(__SSE2__)
// Eight 5-6-5 pixels at a time in 16-bit lanes: each channel is widened to 8 bits by a multiply
// that repeats its top bits below (r * 8 + r / 4 for five bits, g * 4 + g / 16 for six), then
// placed in the low or the high half of the 32-bit pixels where the layout wants it.
class PixelConverter {
 public:
  explicit PixelConverter(const PixelLayout& layout) {
    // A shift by 16 or more clears a 16-bit lane: the channel's count in the half it is not in.
    const auto low = [](int shift) { return _mm_cvtsi32_si128(shift < 16 ? shift : 16); };
    const auto high = [](int shift) { return _mm_cvtsi32_si128(shift >= 16 ? shift - 16 : 16); };
    redLow_ = low(layout.RedShift);
    redHigh_ = high(layout.RedShift);
    greenLow_ = low(layout.GreenShift);
    greenHigh_ = high(layout.GreenShift);
    blueLow_ = low(layout.BlueShift);
    blueHigh_ = high(layout.BlueShift);
    const std::uint32_t spare = SpareBits(layout);
    spareLow_ = _mm_set1_epi16(static_cast<short>(spare & 0xFFFF));
    spareHigh_ = _mm_set1_epi16(static_cast<short>(spare >> 16));
  }

  // Pixels 0-3 of `pixels` into `first`, 4-7 into `second`.
  void Convert(__m128i pixels, __m128i& first, __m128i& second) const {
    const __m128i red = _mm_mulhi_epu16(
        _mm_and_si128(pixels, _mm_set1_epi16(static_cast<short>(0xF800))), _mm_set1_epi16(0x0108));
    const __m128i green =
        _mm_mulhi_epu16(_mm_and_si128(pixels, _mm_set1_epi16(0x07E0)), _mm_set1_epi16(0x2080));
    const __m128i blue = _mm_mulhi_epu16(_mm_slli_epi16(pixels, 11), _mm_set1_epi16(0x0108));
    const __m128i lowHalves =
        _mm_or_si128(_mm_or_si128(_mm_sll_epi16(red, redLow_), _mm_sll_epi16(green, greenLow_)),
                     _mm_or_si128(_mm_sll_epi16(blue, blueLow_), spareLow_));
    const __m128i highHalves =
        _mm_or_si128(_mm_or_si128(_mm_sll_epi16(red, redHigh_), _mm_sll_epi16(green, greenHigh_)),
                     _mm_or_si128(_mm_sll_epi16(blue, blueHigh_), spareHigh_));
    first = _mm_unpacklo_epi16(lowHalves, highHalves);
    second = _mm_unpackhi_epi16(lowHalves, highHalves);
  }

 private:
  __m128i redLow_, redHigh_, greenLow_, greenHigh_, blueLow_, blueHigh_, spareLow_, spareHigh_;
};

// Frame buffer rows are written once a frame and read next by the display server, usually from
// the other core: streamed stores write them without first reading every line into this core's
// cache. They need 16-byte aligned addresses; the cached stores take the rest.
enum class Stores { Cached, Streamed };

template <Stores Kind>
void StoreFour(std::uint32_t* out, __m128i pixels) {
  if constexpr (Kind == Stores::Streamed) {
    _mm_stream_si128(reinterpret_cast<__m128i*>(out), pixels);
  } else {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
  }
}

// Four pixels each repeated `Factor` times side by side.
template <int Factor>
void RepeatFour(__m128i pixels, __m128i* out) {
  static_assert(Factor >= 1 && Factor <= 4);
  if constexpr (Factor == 1) {
    out[0] = pixels;
  } else if constexpr (Factor == 2) {
    out[0] = _mm_unpacklo_epi32(pixels, pixels);
    out[1] = _mm_unpackhi_epi32(pixels, pixels);
  } else if constexpr (Factor == 3) {
    out[0] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(1, 0, 0, 0));
    out[1] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(2, 2, 1, 1));
    out[2] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(3, 3, 3, 2));
  } else {
    out[0] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(0, 0, 0, 0));
    out[1] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(1, 1, 1, 1));
    out[2] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(2, 2, 2, 2));
    out[3] = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(3, 3, 3, 3));
  }
}
#else
enum class Stores { Cached };
#endif

// Where every row of the placement starts on 16 bytes, its pixels can be streamed.
Stores StoresFor(const PixelTarget& target, const Rect& placement) {
#if defined(__SSE2__)
  const auto start =
      reinterpret_cast<std::uintptr_t>(TargetRow(target, placement.Top) + placement.Left);
  if (start % 16 == 0 && target.PitchBytes % 16 == 0) return Stores::Streamed;
#else
  (void)target;
  (void)placement;
#endif
  return Stores::Cached;
}

void ConvertRow(const Pixel565* in, std::uint32_t* out, int count, const PixelLayout& layout) {
  int x = 0;
#if defined(__SSE2__)
  const PixelConverter converter(layout);
  for (; x + 8 <= count; x += 8) {
    __m128i first, second;
    converter.Convert(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)), first, second);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), second);
  }
#endif
  const std::uint32_t spare = SpareBits(layout);
  for (; x < count; ++x) out[x] = ConvertPixel(in[x], layout, spare);
}

// One picture row drawn as `Factor` frame buffer rows of `Factor` times its width: every group
// of eight pixels is converted once, widened in registers and stored to each row, so each byte of
// the frame buffer is written once and nothing else is.
template <int Factor, Stores Kind>
void DrawBlockRow(const Pixel565* in, int count, std::uint32_t* const* rows,
                  const PixelLayout& layout) {
  int x = 0;
#if defined(__SSE2__)
  const PixelConverter converter(layout);
  for (; x + 8 <= count; x += 8) {
    __m128i first, second, wide[2 * Factor];
    converter.Convert(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)), first, second);
    RepeatFour<Factor>(first, wide);
    RepeatFour<Factor>(second, wide + Factor);
    for (int row = 0; row < Factor; ++row) {
      std::uint32_t* out = rows[row] + static_cast<std::ptrdiff_t>(x) * Factor;
      for (int k = 0; k < 2 * Factor; ++k) StoreFour<Kind>(out + std::ptrdiff_t{4} * k, wide[k]);
    }
  }
#endif
  const std::uint32_t spare = SpareBits(layout);
  for (; x < count; ++x) {
    const std::uint32_t pixel = ConvertPixel(in[x], layout, spare);
    for (int row = 0; row < Factor; ++row)
      std::fill_n(rows[row] + static_cast<std::ptrdiff_t>(x) * Factor, Factor, pixel);
  }
}

// Rows rewritten, gathered into rectangles: a run of adjoining rows becomes one, as wide as its
// widest row, so a frame's changes make a few rectangles to show rather than hundreds.
void AddUpdated(std::vector<Rect>& updated, const Rect& rows) {
  if (!updated.empty() && updated.back().Bottom == rows.Top) {
    Rect& last = updated.back();
    last = Rect{std::min(last.Left, rows.Left), last.Top, std::max(last.Right, rows.Right),
                rows.Bottom};
    return;
  }
  updated.push_back(rows);
}

// Picture rows are compared with the picture drawn before in runs of a cache line's pixels: a
// run that is the same is not drawn again.
constexpr int kComparedRun = 32;

// Calls draw(start, count) for each run of the row that differs from the one drawn before, which
// takes the new pixels.
template <typename DrawRun>
void ForEachChangedRun(const Pixel565* row, Pixel565* before, int width, DrawRun drawRun) {
  for (int start = 0; start < width; start += kComparedRun) {
    const int count = std::min(kComparedRun, width - start);
    const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(Pixel565);
    if (std::memcmp(row + start, before + start, bytes) == 0) continue;
    std::memcpy(before + start, row + start, bytes);
    drawRun(start, count);
  }
}

// The picture drawn as blocks; with the picture drawn before (`shown`, the same size), only the
// runs of pixels that differ from it, which `shown` then takes.
template <int Factor, Stores Kind>
void DrawBlocks(const Surface& picture, Surface* shown, const PixelTarget& target,
                const Rect& placement, std::vector<Rect>& updated) {
  const int width = picture.Width();
  for (int y = 0; y < picture.Height(); ++y) {
    std::uint32_t* rows[Factor];
    for (int row = 0; row < Factor; ++row)
      rows[row] = TargetRow(target, placement.Top + y * Factor + row) + placement.Left;
    const Pixel565* in = picture.Row(y);
    if (shown == nullptr) {
      DrawBlockRow<Factor, Kind>(in, width, rows, target.Layout);
      continue;
    }
    int left = width, right = 0;
    ForEachChangedRun(in, shown->Row(y), width, [&](int start, int count) {
      std::uint32_t* runRows[Factor];
      for (int row = 0; row < Factor; ++row) runRows[row] = rows[row] + start * Factor;
      DrawBlockRow<Factor, Kind>(in + start, count, runRows, target.Layout);
      left = std::min(left, start);
      right = start + count;
    });
    if (left < right)
      AddUpdated(updated, Bounds(placement.Left + left * Factor, placement.Top + y * Factor,
                                 (right - left) * Factor, Factor));
  }
  if (shown == nullptr) updated.push_back(placement);
}

template <Stores Kind>
void DrawBlocksBy(int factor, const Surface& picture, Surface* shown, const PixelTarget& target,
                  const Rect& placement, std::vector<Rect>& updated) {
  switch (factor) {
    case 1:
      return DrawBlocks<1, Kind>(picture, shown, target, placement, updated);
    case 2:
      return DrawBlocks<2, Kind>(picture, shown, target, placement, updated);
    case 3:
      return DrawBlocks<3, Kind>(picture, shown, target, placement, updated);
    default:
      return DrawBlocks<4, Kind>(picture, shown, target, placement, updated);
  }
}

// The sharp picture at a whole multiple of its size in both directions (the window at 1x to 4x).
int WholeMultiple(const Surface& picture, const Rect& placement) {
  const int factor = placement.Width() / picture.Width();
  return factor >= 1 && factor <= 4 && placement.Width() == factor * picture.Width() &&
                 placement.Height() == factor * picture.Height()
             ? factor
             : 0;
}

void DrawWholeMultiple(int factor, const Surface& picture, Surface* shown,
                       const PixelTarget& target, const Rect& placement,
                       std::vector<Rect>& updated) {
#if defined(__SSE2__)
  if (StoresFor(target, placement) == Stores::Streamed)
    return DrawBlocksBy<Stores::Streamed>(factor, picture, shown, target, placement, updated);
#endif
  DrawBlocksBy<Stores::Cached>(factor, picture, shown, target, placement, updated);
}

// A finished row copied to the frame buffer.
template <Stores Kind>
void CopyRow(const std::uint32_t* in, std::uint32_t* out, int count) {
  int x = 0;
#if defined(__SSE2__)
  if constexpr (Kind == Stores::Streamed) {
    for (; x + 4 <= count; x += 4)
      StoreFour<Kind>(out + x, _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)));
  }
#endif
  std::memcpy(out + x, in + x, static_cast<std::size_t>(count - x) * sizeof(std::uint32_t));
}

#if defined(__SSE2__)
// Four pixels blended with four others byte by byte, as Blend: `keep` and `next` hold the weights
// (256 - weight and weight) in every 16-bit lane. The sums stay below 2^16, so unsigned 16-bit
// lanes hold them.
__m128i BlendFour(__m128i a, __m128i b, __m128i keep, __m128i next) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(128);
  const auto mix = [&](__m128i first, __m128i second) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(first, keep), _mm_mullo_epi16(second, next));
    return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
  };
  return _mm_packus_epi16(mix(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                          mix(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)));
}

// `Factor` rows of four pixels, one a phase of the widening, interleaved: the first pixel of
// each phase, then the second of each, and so on.
template <int Factor>
void InterleaveFour(const __m128i* phases, __m128i* out) {
  static_assert(Factor >= 2 && Factor <= 4);
  if constexpr (Factor == 2) {
    out[0] = _mm_unpacklo_epi32(phases[0], phases[1]);
    out[1] = _mm_unpackhi_epi32(phases[0], phases[1]);
  } else if constexpr (Factor == 3) {
    // a, b and c to a0 b0 c0 a1 | b1 c1 a2 b2 | c2 a3 b3 c3.
    const auto floats = [](__m128i v) { return _mm_castsi128_ps(v); };
    const __m128 a = floats(phases[0]), b = floats(phases[1]), c = floats(phases[2]);
    const __m128 low = _mm_unpacklo_ps(a, b), high = _mm_unpackhi_ps(a, b);
    const __m128 c0a1 = _mm_shuffle_ps(c, low, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128 b1c1 = _mm_shuffle_ps(low, c, _MM_SHUFFLE(1, 1, 3, 3));
    const __m128 c2c3a3b3 = _mm_shuffle_ps(c, high, _MM_SHUFFLE(3, 2, 3, 2));
    out[0] = _mm_castps_si128(_mm_shuffle_ps(low, c0a1, _MM_SHUFFLE(2, 0, 1, 0)));
    out[1] = _mm_castps_si128(_mm_shuffle_ps(b1c1, high, _MM_SHUFFLE(1, 0, 2, 0)));
    out[2] = _mm_shuffle_epi32(_mm_castps_si128(c2c3a3b3), _MM_SHUFFLE(1, 3, 2, 0));
  } else {
    const __m128i low01 = _mm_unpacklo_epi32(phases[0], phases[1]);
    const __m128i low23 = _mm_unpacklo_epi32(phases[2], phases[3]);
    const __m128i high01 = _mm_unpackhi_epi32(phases[0], phases[1]);
    const __m128i high23 = _mm_unpackhi_epi32(phases[2], phases[3]);
    out[0] = _mm_unpacklo_epi64(low01, low23);
    out[1] = _mm_unpackhi_epi64(low01, low23);
    out[2] = _mm_unpacklo_epi64(high01, high23);
    out[3] = _mm_unpackhi_epi64(high01, high23);
  }
}
#endif

// Pixels `from` to `to` of a row widened through the column taps: each blends its two source
// pixels.
void WidenRow(const std::uint32_t* in, const ScaleTap* taps, std::uint32_t* out, int from, int to) {
  int x = from;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(128);
  const __m128i full = _mm_set1_epi16(256);
  // Two pixels' weights, each over its four byte lanes.
  const auto weights = [](const ScaleTap& a, const ScaleTap& b) {
    const auto wa = static_cast<short>(a.Weight), wb = static_cast<short>(b.Weight);
    return _mm_set_epi16(wb, wb, wb, wb, wa, wa, wa, wa);
  };
  const auto mix = [&](__m128i first, __m128i second, __m128i next) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(first, _mm_sub_epi16(full, next)),
                                      _mm_mullo_epi16(second, next));
    return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
  };
  for (; x + 4 <= to; x += 4) {
    const ScaleTap* t = taps + x;
    const auto pixel = [in](int index) {
      return static_cast<int>(in[static_cast<std::size_t>(index)]);
    };
    const __m128i firsts =
        _mm_set_epi32(pixel(t[3].First), pixel(t[2].First), pixel(t[1].First), pixel(t[0].First));
    const __m128i seconds = _mm_set_epi32(pixel(t[3].Second), pixel(t[2].Second),
                                          pixel(t[1].Second), pixel(t[0].Second));
    const __m128i low =
        mix(_mm_unpacklo_epi8(firsts, zero), _mm_unpacklo_epi8(seconds, zero), weights(t[0], t[1]));
    const __m128i high =
        mix(_mm_unpackhi_epi8(firsts, zero), _mm_unpackhi_epi8(seconds, zero), weights(t[2], t[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
  }
#endif
  for (; x < to; ++x) {
    const ScaleTap& tap = taps[x];
    out[x] =
        Blend(in[static_cast<std::size_t>(tap.First)], in[static_cast<std::size_t>(tap.Second)],
              static_cast<std::uint32_t>(tap.Weight));
  }
}

// Pixels `from` to `to` of a row of `count` pixels widened to `Factor` times its width. Each
// output pixel's taps repeat with the source pixel it lies in: phase j of pixel k blends pixels
// k + offset and k + offset + 1 with the same weight for every k away from the edges, so four
// pixels of a phase are two plain loads and a blend. The edges, where the taps clamp, go through
// the tap table.
template <int Factor>
void WidenWholeMultiple(const std::uint32_t* in, const ScaleTap* taps, std::uint32_t* out,
                        [[maybe_unused]] int count, int from, int to) {
  int k = std::max(1, from / Factor);
  WidenRow(in, taps, out, from, std::min(to, Factor * k));
#if defined(__SSE2__)
  // Offsets are -1 or 0: pixels k - 1 to k + 4 are read, and pixel 1's taps are clear of both
  // edges.
  if (count >= 6) {
    int offsets[Factor];
    bool copies[Factor];  // a phase on a pixel's centre (odd multiples) is the pixel itself
    __m128i keeps[Factor], nexts[Factor];
    for (int j = 0; j < Factor; ++j) {
      const ScaleTap& tap = taps[Factor + j];
      offsets[j] = tap.First - 1;
      copies[j] = tap.Weight == 0;
      keeps[j] = _mm_set1_epi16(static_cast<short>(256 - tap.Weight));
      nexts[j] = _mm_set1_epi16(static_cast<short>(tap.Weight));
    }
    for (; k + 5 <= count && Factor * k < to; k += 4) {
      __m128i phases[Factor], wide[Factor];
      for (int j = 0; j < Factor; ++j) {
        const std::uint32_t* first = in + k + offsets[j];
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
        phases[j] =
            copies[j]
                ? pixels
                : BlendFour(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 1)),
                            keeps[j], nexts[j]);
      }
      InterleaveFour<Factor>(phases, wide);
      for (int i = 0; i < Factor; ++i)
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + std::ptrdiff_t{Factor} * k + std::ptrdiff_t{4} * i),
            wide[i]);
    }
  }
#endif
  WidenRow(in, taps, out, std::max(from, Factor * k), to);
}

// Pixels `from` to `to` of the row widened to `width`, by whole multiples through their repeating
// taps.
void WidenRowTo(const std::uint32_t* in, const ScaleTap* taps, std::uint32_t* out, int count,
                int width, int from, int to) {
  switch (width % count == 0 ? width / count : 0) {
    case 2:
      return WidenWholeMultiple<2>(in, taps, out, count, from, to);
    case 3:
      return WidenWholeMultiple<3>(in, taps, out, count, from, to);
    case 4:
      return WidenWholeMultiple<4>(in, taps, out, count, from, to);
    default:
      return WidenRow(in, taps, out, from, to);
  }
}

template <Stores Kind>
void BlendRows(const std::uint32_t* a, const std::uint32_t* b, int weight, std::uint32_t* out,
               int count) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i next = _mm_set1_epi16(static_cast<short>(weight));
  const __m128i keep = _mm_set1_epi16(static_cast<short>(256 - weight));
  for (; x + 4 <= count; x += 4) {
    StoreFour<Kind>(
        out + x, BlendFour(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x)),
                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)), keep, next));
  }
#endif
  for (; x < count; ++x) out[x] = Blend(a[x], b[x], static_cast<std::uint32_t>(weight));
}

// The finished rows' writers for the stores a target takes.
struct RowWriters {
  void (*Copy)(const std::uint32_t* in, std::uint32_t* out, int count);
  void (*Blend)(const std::uint32_t* a, const std::uint32_t* b, int weight, std::uint32_t* out,
                int count);
};

RowWriters WritersFor(Stores kind) {
#if defined(__SSE2__)
  if (kind == Stores::Streamed) return {&CopyRow<Stores::Streamed>, &BlendRows<Stores::Streamed>};
#else
  (void)kind;
#endif
  return {&CopyRow<Stores::Cached>, &BlendRows<Stores::Cached>};
}

}  // namespace

Rect FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return Rect{};
  int width = areaWidth, height = areaHeight;
  if (static_cast<long long>(areaWidth) * pictureHeight <=
      static_cast<long long>(areaHeight) * pictureWidth) {
    height = static_cast<int>(static_cast<long long>(areaWidth) * pictureHeight / pictureWidth);
  } else {
    width = static_cast<int>(static_cast<long long>(areaHeight) * pictureWidth / pictureHeight);
  }
  return Bounds((areaWidth - width) / 2, (areaHeight - height) / 2, width, height);
}

void AreaPointToPicture(const Rect& placement, int pictureWidth, int pictureHeight, int& x,
                        int& y) {
  if (placement.IsEmpty()) return;
  const auto map = [](int value, int start, int size, int pictureSize) {
    const long long offset = std::clamp(value - start, 0, size - 1);
    return static_cast<int>(offset * pictureSize / size);
  };
  x = map(x, placement.Left, placement.Width(), pictureWidth);
  y = map(y, placement.Top, placement.Height(), pictureHeight);
}

const std::vector<Rect>& PictureScaler::Draw(const Surface& picture, const PixelTarget& target,
                                             const Rect& placement, ScaleFilter filter) {
  updated_.clear();
  if (picture.IsEmpty() || placement.IsEmpty() || target.Pixels == nullptr || placement.Left < 0 ||
      placement.Top < 0 || placement.Right > target.Width || placement.Bottom > target.Height ||
      !ColoursInBytes(target.Layout))
    return updated_;
  // At the picture's own size the linear filter samples every pixel at its centre: a copy.
  if (placement.Width() == picture.Width() && placement.Height() == picture.Height())
    filter = ScaleFilter::Nearest;
  const DrawnTarget drawing{target.Pixels, target.PitchBytes, target.Width, target.Height,
                            target.Layout, placement,         filter};
  const bool afresh =
      drawing != drawn_ || shown_.Width() != picture.Width() || shown_.Height() != picture.Height();
  drawn_ = drawing;
  if (afresh) shown_ = picture;
  if (const int factor = WholeMultiple(picture, placement);
      factor != 0 && filter == ScaleFilter::Nearest) {
    DrawWholeMultiple(factor, picture, afresh ? nullptr : &shown_, target, placement, updated_);
  } else {
    PrepareTaps(picture.Width(), picture.Height(), placement, filter);
    converted_.resize(static_cast<std::size_t>(picture.Width()));
    MarkChangedRows(picture, afresh);
    PlanTapRows(picture.Width(), placement.Width());
    DrawThroughTaps(picture, target, placement);
  }
#if defined(__SSE2__)
  // Streamed stores are not ordered with the others: all of them land before the frame is shown.
  _mm_sfence();
#endif
  return updated_;
}

void PictureScaler::Columns::Add(const Columns& other) {
  if (other.IsEmpty()) return;
  *this = IsEmpty() ? other : Columns{std::min(Left, other.Left), std::max(Right, other.Right)};
}

void PictureScaler::MarkChangedRows(const Surface& picture, bool afresh) {
  changed_.assign(static_cast<std::size_t>(picture.Height()),
                  afresh ? Columns{0, picture.Width()} : Columns{});
  if (afresh) return;
  for (int y = 0; y < picture.Height(); ++y) {
    Columns& columns = changed_[static_cast<std::size_t>(y)];
    ForEachChangedRun(picture.Row(y), shown_.Row(y), picture.Width(), [&](int start, int count) {
      columns.Add(Columns{start, start + count});
    });
  }
}

// Which target columns of each row to draw again: those whose taps reach the changed columns of
// either source row, with a pixel to spare either side, from a multiple of four where streamed
// stores may start; and so which columns of each source row to widen.
void PictureScaler::PlanTapRows(int pictureWidth, int width) {
  drawnColumns_.assign(rows_.size(), Columns{});
  widenedColumns_.assign(changed_.size(), Columns{});
  const auto scaled = [&](int column) {
    return static_cast<int>(static_cast<long long>(column) * width / pictureWidth);
  };
  for (std::size_t y = 0; y < rows_.size(); ++y) {
    const ScaleTap& tap = rows_[y];
    Columns changed = changed_[static_cast<std::size_t>(tap.First)];
    if (tap.Weight != 0) changed.Add(changed_[static_cast<std::size_t>(tap.First) + 1]);
    if (changed.IsEmpty()) continue;
    const Columns drawn{std::max(0, scaled(changed.Left - 1) - 1) / 4 * 4,
                        std::min(width, scaled(changed.Right + 1) + 1)};
    drawnColumns_[y] = drawn;
    widenedColumns_[static_cast<std::size_t>(tap.First)].Add(drawn);
    if (tap.Weight != 0) widenedColumns_[static_cast<std::size_t>(tap.First) + 1].Add(drawn);
  }
}

void PictureScaler::PrepareTaps(int pictureWidth, int pictureHeight, const Rect& placement,
                                ScaleFilter filter) {
  if (pictureWidth == tapsPictureWidth_ && pictureHeight == tapsPictureHeight_ &&
      placement.Width() == tapsWidth_ && placement.Height() == tapsHeight_ && filter == tapsFilter_)
    return;
  const auto taps = [filter](int sourceSize, int size) {
    std::vector<ScaleTap> result(static_cast<std::size_t>(size));
    for (int d = 0; d < size; ++d) {
      ScaleTap& tap = result[static_cast<std::size_t>(d)];
      // Where the destination pixel's centre falls in the source.
      const long long twiceCentre = 2LL * d + 1;
      if (filter == ScaleFilter::Nearest) {
        tap.First = static_cast<int>(twiceCentre * sourceSize / (2LL * size));
        tap.Second = tap.First;
        continue;
      }
      // The linear filter blends the two pixels whose centres are either side; the position is
      // rounded to 256ths of a pixel.
      const long long position = (twiceCentre * sourceSize * 256 + size) / (2LL * size) - 128;
      if (position < 0) continue;
      tap.First = static_cast<int>(position >> 8);
      tap.Weight = static_cast<int>(position & 0xFF);
      tap.Second = tap.First + 1;
      if (tap.First >= sourceSize - 1) tap = ScaleTap{sourceSize - 1, sourceSize - 1, 0};
    }
    return result;
  };
  columns_ = taps(pictureWidth, placement.Width());
  rows_ = taps(pictureHeight, placement.Height());
  tapsPictureWidth_ = pictureWidth;
  tapsPictureHeight_ = pictureHeight;
  tapsWidth_ = placement.Width();
  tapsHeight_ = placement.Height();
  tapsFilter_ = filter;
}

const std::uint32_t* PictureScaler::WidenedRow(const Surface& picture, int sourceRow,
                                               const PixelLayout& layout, int width) {
  for (const RowCache& cached : widened_) {
    if (cached.SourceRow == sourceRow) return cached.Pixels.data();
  }
  // Rows are asked for top to bottom, so the lower one cached is the one done with.
  RowCache& slot = widened_[0].SourceRow <= widened_[1].SourceRow ? widened_[0] : widened_[1];
  slot.Pixels.resize(static_cast<std::size_t>(width));
  slot.SourceRow = sourceRow;
  ConvertRow(picture.Row(sourceRow), converted_.data(), picture.Width(), layout);
  const Columns& needed = widenedColumns_[static_cast<std::size_t>(sourceRow)];
  if (tapsFilter_ == ScaleFilter::Nearest) {
    for (int x = needed.Left; x < needed.Right; ++x)
      slot.Pixels[static_cast<std::size_t>(x)] =
          converted_[static_cast<std::size_t>(columns_[static_cast<std::size_t>(x)].First)];
  } else {
    WidenRowTo(converted_.data(), columns_.data(), slot.Pixels.data(), picture.Width(), width,
               needed.Left, needed.Right);
  }
  return slot.Pixels.data();
}

void PictureScaler::DrawThroughTaps(const Surface& picture, const PixelTarget& target,
                                    const Rect& placement) {
  // The picture is new every frame: nothing widened before is valid.
  for (RowCache& cached : widened_) cached.SourceRow = -1;
  const RowWriters writers = WritersFor(StoresFor(target, placement));
  const int width = placement.Width();
  for (int y = 0; y < placement.Height(); ++y) {
    std::uint32_t* out = TargetRow(target, placement.Top + y) + placement.Left;
    const ScaleTap& tap = rows_[static_cast<std::size_t>(y)];
    const Columns& drawn = drawnColumns_[static_cast<std::size_t>(y)];
    if (drawn.IsEmpty()) continue;
    const int left = drawn.Left, right = drawn.Right;
    AddUpdated(updated_, Bounds(placement.Left + left, placement.Top + y, right - left, 1));
    const std::uint32_t* upper = WidenedRow(picture, tap.First, target.Layout, width);
    if (tap.Weight == 0) {
      writers.Copy(upper + left, out + left, right - left);
    } else {
      writers.Blend(upper + left, WidenedRow(picture, tap.First + 1, target.Layout, width) + left,
                    tap.Weight, out + left, right - left);
    }
  }
}

}  // namespace rivoltra
