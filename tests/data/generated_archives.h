#pragma once
// The two image archives the build generated, read once per test program.

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/image_archive.h"
#include "engine/pattern_layout.h"

namespace rivoltra::datatest {

// The build folder's Data, which the game_data target fills before the tests run.
inline std::filesystem::path ResFolder() {
  const char* build = std::getenv("RIVOLTRA_BUILD_DIR");
  const std::filesystem::path root =
      build != nullptr ? std::filesystem::path(build) : std::filesystem::current_path();
  return root / "Data" / "Res";
}

struct Archive {
  std::vector<ImageItemData> Items;
  std::map<std::string, const ImageItemData*> ByName;

  // nullptr when the archive has no item of that name
  const ImageItemData* Find(const std::string& name) const {
    const auto found = ByName.find(name);
    return found == ByName.end() ? nullptr : found->second;
  }
};

inline Archive Load(const std::string& fileName) {
  Archive archive;
  archive.Items = ReadImageArchive((ResFolder() / fileName).string());
  for (const ImageItemData& item : archive.Items) archive.ByName[item.Name] = &item;
  return archive;
}

inline const Archive& Interface() {
  static const Archive kArchive = Load("Res1.gfx");
  return kArchive;
}

inline const Archive& Race() {
  static const Archive kArchive = Load("Res3.gfx");
  return kArchive;
}

inline int Patterns(const ImageItemData& item) {
  return PatternLayoutOf(item).PatternCountBeforeDisplay();
}

// The colour key as 0x00RRGGBB (items store 0x00BBGGRR).
inline std::uint32_t KeyRgb(const ImageItemData& item) {
  const std::uint32_t c = item.TransparentColor;
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

inline bool IsKey(const ImageItemData& item, int x, int y) {
  return item.Transparent &&
         item.Image.Pixels[std::size_t(y) * item.Image.Width + x] == KeyRgb(item);
}

}  // namespace rivoltra::datatest
