#pragma once
// The smallest bitmap data that decodes to a given picture exactly: a 1-, 4- or 8-bit colour
// table when the picture has few enough colours, run-length compressed when that is shorter.
#include <cstdint>
#include <vector>

#include "engine/image_archive.h"  // Picture

namespace rivoltra {

// Encodes `picture` as the shortest of: 24-bit rows, 1-, 4- or 8-bit rows with a colour table
// of the picture's own colours (sorted by value), RLE4 or RLE8. Every choice decodes
// (DecodeBitmapData) to exactly `picture`. Ties go to the uncompressed and shallower encoding.
// An empty picture encodes to no bytes; throws std::invalid_argument like EncodeBitmapData.
std::vector<std::uint8_t> EncodeCompactBitmapData(const Picture& picture);

}  // namespace rivoltra
