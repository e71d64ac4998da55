#pragma once

#include <string>
#include <vector>

#include "engine/display.h"
#include "engine/image_archive.h"
#include "engine/image_list.h"
#include "engine/sprite_engine_component.h"
#include "platform/null/null_platform.h"

namespace rivoltra::testing {

// A picture whose pattern cells are filled with distinct colours: cell k is (k + 1) * 5 red.
inline Picture CellPicture(int cellWidth, int cellHeight, int cells) {
  Picture picture{cellWidth * cells, cellHeight, {}};
  picture.Pixels.resize(static_cast<std::size_t>(picture.Width) * picture.Height);
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint32_t red = static_cast<std::uint32_t>((x / cellWidth + 1) * 5);
      picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x] = red << 16;
    }
  }
  return picture;
}

inline ImageItemData Item(std::string name, int patternWidth, int patternHeight, int cells) {
  ImageItemData item;
  item.Name = std::move(name);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.Transparent = false;
  item.Image = CellPicture(patternWidth, patternHeight, cells);
  return item;
}

// An initialised 800 x 600 display with one image list and a sprite engine bound to it.
struct UiFixture {
  NullPlatform Platform;
  rivoltra::Display Display{Platform};
  ImageList Images;
  DisplaySpriteEngine Sprites;

  explicit UiFixture(std::vector<ImageItemData> items) {
    Images.SetDisplay(&Display);
    Sprites.SetDisplay(&Display);
    Images.Items().Assign(std::move(items));
    Display.Initialize();
  }
  ~UiFixture() {
    Sprites.Engine().RemoveChildren();
    Sprites.SetDisplay(nullptr);
    Images.SetDisplay(nullptr);
  }
  rivoltra::Surface& Surface() { return Display.BackBuffer(); }
};

}  // namespace rivoltra::testing
