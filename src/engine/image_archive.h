#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/component_stream.h"  // ArchiveError

namespace rivoltra {

// A decoded picture: rows top first, each pixel 0x00RRGGBB.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;

  bool IsEmpty() const { return Width <= 0 || Height <= 0; }
  bool operator==(const Picture&) const = default;
};

// One item of an image archive, as stored: the published properties of an image item.
struct ImageItemData {
  std::string Name;
  int PatternWidth = 0;
  int PatternHeight = 0;
  int SkipWidth = 0;
  int SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  std::uint32_t TransparentColor = 0;  // 0x00BBGGRR
  Picture Image;

  bool operator==(const ImageItemData&) const = default;
};

// Reads a ".gfx" image archive. Throws ArchiveError (or std::system_error when the file
// cannot be opened).
std::vector<ImageItemData> ReadImageArchive(const std::string& fileName);
std::vector<ImageItemData> ReadImageArchiveBytes(std::span<const std::uint8_t> bytes,
                                                 const std::string& fileName);

// How the writer stores pictures: always as 24-bit bottom-up bitmaps, or each as its smallest
// exact encoding (a colour table, run-length compressed when that is shorter; see compact_dib.h).
enum class PictureStorage { TrueColor, Compact };

// Writes a ".gfx" image archive.
void WriteImageArchive(const std::string& fileName, const std::vector<ImageItemData>& items,
                       PictureStorage storage = PictureStorage::TrueColor);
std::vector<std::uint8_t> WriteImageArchiveBytes(
    const std::vector<ImageItemData>& items, PictureStorage storage = PictureStorage::TrueColor);

// The whole archive: the list's colour table (256 entries of blue, green, red, reserved; used
// only in 8-bit display modes) and the items in file order.
struct ImageArchiveContents {
  std::array<std::uint8_t, 1024> ColorTable{};
  std::vector<ImageItemData> Items;

  bool operator==(const ImageArchiveContents&) const = default;
};

ImageArchiveContents ReadImageArchiveContents(std::span<const std::uint8_t> bytes,
                                              const std::string& fileName);
std::vector<std::uint8_t> WriteImageArchiveContentsBytes(const ImageArchiveContents& contents);

}  // namespace rivoltra
