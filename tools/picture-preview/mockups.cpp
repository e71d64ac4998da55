#include "mockups.h"

namespace rivoltra::preview {

void WriteMockups(const ImageSet& interfaceImages, const ImageSet& raceImages,
                  const std::string& folder) {
  (void)raceImages;
  Screen screen;
  screen.Fill(0x203040);
  screen.WriteText(interfaceImages, FontKind::Big, "LEVEL COMPLETED", 20, 20);
  screen.WriteText(interfaceImages, FontKind::Big, "FINISH RACE? Y/N 0123456789", 20, 60);
  screen.WriteText(interfaceImages, FontKind::Big, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 100);
  screen.WriteText(interfaceImages, FontKind::Medium, "WINDOW / FULL SCREEN 0123456789", 20, 150);
  screen.WriteText(interfaceImages, FontKind::MediumActive, "WINDOW / FULL SCREEN 0123456789", 20, 190);
  screen.WriteText(interfaceImages, FontKind::Medium, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 230);
  screen.WriteText(interfaceImages, FontKind::MediumActive, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 270);
  screen.WriteText(interfaceImages, FontKind::Small, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 20, 310);
  screen.WriteText(interfaceImages, FontKind::Small, "12345 01:59", 20, 340);
  screen.SavePng(folder + "/mockup-fonts.png");
}

}  // namespace rivoltra::preview
