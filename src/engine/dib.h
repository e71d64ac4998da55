#pragma once
// The "TBitmapData" picture class of the image archive: a Windows device-independent bitmap
// without the 14-byte file header (the "Picture.Data" payload).
#include <cstdint>
#include <span>
#include <vector>

#include "engine/image_archive.h"  // Picture

namespace rivoltra {

// Largest width and height a decoded picture may have.
constexpr int kMaxPictureSide = 16384;

// Decodes a DIB (header size, core or info header, bit-field masks, colour table, pixels) into
// a picture, top row first. No bytes at all give an empty picture. Any fault throws
// FormatError whose message starts with "DIB is invalid". Never reads outside `bytes`;
// uncompressed pictures must fit in the bytes given, run-length pictures are capped.
Picture DecodeBitmapData(std::span<const std::uint8_t> bytes);

// Encodes a picture as a 24-bit bottom-up DIB with a 40-byte info header and rows padded to
// 4 bytes. An empty picture encodes to no bytes. Throws std::invalid_argument for a picture
// whose pixel count does not match its size or whose sides exceed kMaxPictureSide.
std::vector<std::uint8_t> EncodeBitmapData(const Picture& picture);

}  // namespace rivoltra
