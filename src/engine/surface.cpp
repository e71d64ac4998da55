#include "engine/surface.h"

#include <algorithm>
#include <cstring>

namespace rivoltra {

void Surface::Fill(Pixel565 color) {
  if (pixels_.empty()) return;
  const auto low = static_cast<unsigned char>(color & 0xFF);
  if ((color >> 8) == low) {
    std::memset(pixels_.data(), low, pixels_.size() * sizeof(Pixel565));
    return;
  }
  // One row by hand, the others copied from it.
  const std::size_t rowBytes = static_cast<std::size_t>(width_) * sizeof(Pixel565);
  std::fill_n(Row(0), width_, color);
  for (int y = 1; y < height_; ++y) std::memcpy(Row(y), Row(0), rowBytes);
}

}  // namespace rivoltra
