#include "pictures/display_colors.h"

#include <unordered_map>
#include <vector>

#include "engine/surface.h"

namespace rivoltra::pictures {

namespace {

struct Representative {
  std::uint32_t Color = 0;
  std::uint32_t Count = 0;
};

// 0x00BBGGRR as 0x00RRGGBB.
std::uint32_t KeyRgb(const ImageItemData& item) {
  const std::uint32_t c = item.TransparentColor;
  return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

void MergeDisplayTwins(ImageItemData& item) {
  std::unordered_map<std::uint32_t, std::uint32_t> counts;
  for (const std::uint32_t pixel : item.Image.Pixels) ++counts[pixel];

  std::vector<Representative> chosen(1 << 16);
  for (const auto& [color, count] : counts) {
    Representative& best = chosen[XrgbToRgb565(color)];
    if (best.Count == 0 || count > best.Count || (count == best.Count && color < best.Color))
      best = {color, count};
  }
  if (item.Transparent) {
    const std::uint32_t key = KeyRgb(item);
    Representative& keyClass = chosen[XrgbToRgb565(key)];
    if (counts.contains(key)) keyClass.Color = key;
  }
  for (std::uint32_t& pixel : item.Image.Pixels) pixel = chosen[XrgbToRgb565(pixel)].Color;
}

}  // namespace rivoltra::pictures
