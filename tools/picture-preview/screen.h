#pragma once
// A stand-in for the game's back surface: draws archive items the way the game does (pattern
// cells, colour key, endless background, bitmap text, the rotated needle) so the pictures can
// be judged together at their real positions.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::preview {

class ImageSet {
 public:
  explicit ImageSet(std::vector<ImageItemData> items);
  const ImageItemData& Item(const std::string& name) const;
  bool Has(const std::string& name) const { return byName_.count(name) != 0; }
  const std::vector<ImageItemData>& Items() const { return items_; }

 private:
  std::vector<ImageItemData> items_;
  std::map<std::string, std::size_t> byName_;
};

enum class FontKind { Small, Medium, MediumActive, Big };

class Screen {
 public:
  Screen(int width = 800, int height = 600);

  void Fill(std::uint32_t rgb);
  // Pattern `pattern` of the item with its top-left corner at (x, y), colour key applied.
  void Draw(const ImageItemData& item, int pattern, int x, int y);
  // The endless background: the item's first pattern repeated over the whole screen.
  void DrawEndless(const ImageItemData& item, int x, int y);
  // The needle turn: angle in 1/256 turns, clockwise, about the pivot at the fractions
  // (pivotX, pivotY) of the picture, placed at (x, y).
  void DrawRotated(const ImageItemData& item, int x, int y, double pivotX, double pivotY,
                   int angle);
  // Bitmap text with the pen rules of the game; returns the pen position after the text.
  int WriteText(const ImageSet& images, FontKind font, const std::string& text, int x, int y);

  // Writes the picture as the 16-bit display would show it.
  void SavePng(const std::string& fileName) const;

 private:
  void Put(int x, int y, std::uint32_t rgb);
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
};

int PatternCount(const ImageItemData& item);

}  // namespace rivoltra::preview
