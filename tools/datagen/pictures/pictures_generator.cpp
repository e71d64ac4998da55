// The "pictures" part of the data generator: both image archives of the game.
#include <filesystem>

#include "engine/image_archive.h"
#include "generator_registry.h"
#include "pictures/image_lists.h"

namespace rivoltra::pictures {
namespace {

void WritePictures(const std::filesystem::path& dataFolder) {
  const std::filesystem::path folder = dataFolder / "Res";
  std::filesystem::create_directories(folder);
  WriteImageArchive((folder / "Res1.gfx").string(), InterfaceImages());
  WriteImageArchive((folder / "Res3.gfx").string(), RaceImages());
}

const datagen::RegisterGenerator kPictures("pictures", WritePictures);

}  // namespace
}  // namespace rivoltra::pictures
