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
void ConvertRow(const Pixel565* in, std::uint32_t* out, int count, const PixelLayout& layout) {
  const std::uint32_t spare = SpareBits(layout);
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i five = _mm_set1_epi32(0x1F), six = _mm_set1_epi32(0x3F);
  const __m128i spareBits = _mm_set1_epi32(static_cast<int>(spare));
  const __m128i redShift = _mm_cvtsi32_si128(layout.RedShift);
  const __m128i greenShift = _mm_cvtsi32_si128(layout.GreenShift);
  const __m128i blueShift = _mm_cvtsi32_si128(layout.BlueShift);
  const auto convert = [&](__m128i p) {
    __m128i r = _mm_and_si128(_mm_srli_epi32(p, 11), five);
    __m128i g = _mm_and_si128(_mm_srli_epi32(p, 5), six);
    __m128i b = _mm_and_si128(p, five);
    r = _mm_or_si128(_mm_slli_epi32(r, 3), _mm_srli_epi32(r, 2));
    g = _mm_or_si128(_mm_slli_epi32(g, 2), _mm_srli_epi32(g, 4));
    b = _mm_or_si128(_mm_slli_epi32(b, 3), _mm_srli_epi32(b, 2));
    return _mm_or_si128(_mm_or_si128(_mm_sll_epi32(r, redShift), _mm_sll_epi32(g, greenShift)),
                        _mm_or_si128(_mm_sll_epi32(b, blueShift), spareBits));
  };
  for (; x + 8 <= count; x += 8) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     convert(_mm_unpacklo_epi16(pixels, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4),
                     convert(_mm_unpackhi_epi16(pixels, zero)));
  }
#endif
  for (; x < count; ++x) out[x] = ConvertPixel(in[x], layout, spare);
}

// Every pixel repeated `Factor` times side by side.
template <int Factor>
void RepeatPixels(const std::uint32_t* in, std::uint32_t* out, int count) {
  int x = 0;
#if defined(__SSE2__)
  if constexpr (Factor >= 2 && Factor <= 4) {
    for (; x + 4 <= count; x += 4, out += std::ptrdiff_t{4} * Factor) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
      auto* o = reinterpret_cast<__m128i*>(out);
      if constexpr (Factor == 2) {
        _mm_storeu_si128(o, _mm_unpacklo_epi32(v, v));
        _mm_storeu_si128(o + 1, _mm_unpackhi_epi32(v, v));
      } else if constexpr (Factor == 3) {
        _mm_storeu_si128(o, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
        _mm_storeu_si128(o + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
        _mm_storeu_si128(o + 2, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
      } else {
        _mm_storeu_si128(o, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
        _mm_storeu_si128(o + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1)));
        _mm_storeu_si128(o + 2, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)));
        _mm_storeu_si128(o + 3, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
      }
    }
  }
#endif
  for (; x < count; ++x, out += Factor) std::fill_n(out, Factor, in[x]);
}

// The widened row of a whole multiple; false for other sizes.
bool RepeatPixelsBy(int factor, const std::uint32_t* in, std::uint32_t* out, int count) {
  switch (factor) {
    case 1:
      std::memcpy(out, in, static_cast<std::size_t>(count) * sizeof(std::uint32_t));
      return true;
    case 2:
      RepeatPixels<2>(in, out, count);
      return true;
    case 3:
      RepeatPixels<3>(in, out, count);
      return true;
    case 4:
      RepeatPixels<4>(in, out, count);
      return true;
    default:
      return false;
  }
}

// A row widened through the column taps: each pixel blends its two source pixels.
void WidenRow(const std::uint32_t* in, const ScaleTap* taps, std::uint32_t* out, int count) {
  int x = 0;
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
  for (; x + 4 <= count; x += 4) {
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
  for (; x < count; ++x) {
    const ScaleTap& tap = taps[x];
    out[x] =
        Blend(in[static_cast<std::size_t>(tap.First)], in[static_cast<std::size_t>(tap.Second)],
              static_cast<std::uint32_t>(tap.Weight));
  }
}

void BlendRows(const std::uint32_t* a, const std::uint32_t* b, int weight, std::uint32_t* out,
               int count) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i next = _mm_set1_epi16(static_cast<short>(weight));
  const __m128i keep = _mm_set1_epi16(static_cast<short>(256 - weight));
  const __m128i half = _mm_set1_epi16(128);
  // As Blend: the sums stay below 2^16, so unsigned 16-bit lanes hold them.
  const auto mix = [&](__m128i first, __m128i second) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(first, keep), _mm_mullo_epi16(second, next));
    return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
  };
  for (; x + 4 <= count; x += 4) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    const __m128i low = mix(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero));
    const __m128i high = mix(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
  }
#endif
  for (; x < count; ++x) out[x] = Blend(a[x], b[x], static_cast<std::uint32_t>(weight));
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

void PictureScaler::Draw(const Surface& picture, const PixelTarget& target, const Rect& placement,
                         ScaleFilter filter) {
  if (picture.IsEmpty() || placement.IsEmpty() || target.Pixels == nullptr || placement.Left < 0 ||
      placement.Top < 0 || placement.Right > target.Width || placement.Bottom > target.Height)
    return;
  // At the picture's own size the linear filter samples every pixel at its centre: a copy.
  if (placement.Width() == picture.Width() && placement.Height() == picture.Height())
    filter = ScaleFilter::Nearest;
  PrepareTaps(picture.Width(), picture.Height(), placement, filter);
  converted_.resize(static_cast<std::size_t>(picture.Width()));
  if (filter == ScaleFilter::Nearest) {
    DrawNearest(picture, target, placement);
  } else {
    DrawLinear(picture, target, placement);
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

void PictureScaler::DrawNearest(const Surface& picture, const PixelTarget& target,
                                const Rect& placement) {
  const int width = placement.Width();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
  const int factor = width % picture.Width() == 0 ? width / picture.Width() : 0;
  const std::uint32_t* previous = nullptr;
  int previousSource = -1;
  for (int y = 0; y < placement.Height(); ++y) {
    std::uint32_t* out = TargetRow(target, placement.Top + y) + placement.Left;
    const int source = rows_[static_cast<std::size_t>(y)].First;
    if (source == previousSource) {
      std::memcpy(out, previous, rowBytes);
    } else {
      ConvertRow(picture.Row(source), converted_.data(), picture.Width(), target.Layout);
      if (!RepeatPixelsBy(factor, converted_.data(), out, picture.Width())) {
        for (int x = 0; x < width; ++x)
          out[x] =
              converted_[static_cast<std::size_t>(columns_[static_cast<std::size_t>(x)].First)];
      }
    }
    previous = out;
    previousSource = source;
  }
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
  WidenRow(converted_.data(), columns_.data(), slot.Pixels.data(), width);
  return slot.Pixels.data();
}

void PictureScaler::DrawLinear(const Surface& picture, const PixelTarget& target,
                               const Rect& placement) {
  // The picture is new every frame: nothing widened before is valid.
  for (RowCache& cached : widened_) cached.SourceRow = -1;
  const int width = placement.Width();
  for (int y = 0; y < placement.Height(); ++y) {
    std::uint32_t* out = TargetRow(target, placement.Top + y) + placement.Left;
    const ScaleTap& tap = rows_[static_cast<std::size_t>(y)];
    const std::uint32_t* upper = WidenedRow(picture, tap.First, target.Layout, width);
    if (tap.Weight == 0) {
      std::memcpy(out, upper, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
      continue;
    }
    const std::uint32_t* lower = WidenedRow(picture, tap.First + 1, target.Layout, width);
    BlendRows(upper, lower, tap.Weight, out, width);
  }
}

}  // namespace rivoltra
