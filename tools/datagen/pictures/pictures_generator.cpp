// The "pictures" part of the data generator: both image archives of the game.
#include <filesystem>

#include "engine/image_archive.h"
#include "generator_registry.h"
#include "pictures/display_colors.h"
#include "pictures/image_lists.h"

namespace rivoltra::pictures {
namespace {

// The archives hold each picture in its smallest exact encoding, after the colours the display
// cannot tell apart are merged, which most often brings a picture within a colour table.
void WriteCompact(const std::filesystem::path& file, std::vector<ImageItemData> items) {
  for (ImageItemData& item : items) MergeDisplayTwins(item);
  WriteImageArchive(file.string(), items, PictureStorage::Compact);
}

void WritePictures(const std::filesystem::path& dataFolder) {
  const std::filesystem::path folder = dataFolder / "Res";
  std::filesystem::create_directories(folder);
  WriteCompact(folder / "Res1.gfx", InterfaceImages());
  WriteCompact(folder / "Res3.gfx", RaceImages());
}

const datagen::RegisterGenerator kPictures("pictures", WritePictures);

}  // namespace
}  // namespace rivoltra::pictures
