// rivoltra-picture-preview OUT_FOLDER
// Draws both image lists and writes, under OUT_FOLDER: items/Res1/*.png and items/Res3/*.png
// (one file per picture), sheet-Res1.png and sheet-Res3.png (contact sheets) and mockup-*.png
// (the game's screens composed from the pictures at their positions, in 16-bit colour).
#include <cstdio>
#include <exception>
#include <filesystem>

#include "mockups.h"
#include "pictures/image_lists.h"
#include "screen.h"
#include "sheets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rivoltra-picture-preview OUT_FOLDER\n");
    return 2;
  }
  try {
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "items" / "Res1");
    std::filesystem::create_directories(out / "items" / "Res3");
    const rivoltra::preview::ImageSet interfaceImages(rivoltra::pictures::InterfaceImages());
    const rivoltra::preview::ImageSet raceImages(rivoltra::pictures::RaceImages());
    rivoltra::preview::WriteItemPngs(interfaceImages, (out / "items" / "Res1").string());
    rivoltra::preview::WriteItemPngs(raceImages, (out / "items" / "Res3").string());
    rivoltra::preview::WriteContactSheet(interfaceImages, "Res1: interface",
                                         (out / "sheet-Res1.png").string());
    rivoltra::preview::WriteContactSheet(raceImages, "Res3: race",
                                         (out / "sheet-Res3.png").string());
    rivoltra::preview::WriteMockups(interfaceImages, raceImages, out.string());
    std::printf("previews written to %s\n", out.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rivoltra-picture-preview: %s\n", e.what());
    return 1;
  }
  return 0;
}
