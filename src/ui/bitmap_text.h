#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/surface.h"

namespace rivoltra {

class ImageCollection;

// The four bitmap fonts: images of the interface list whose patterns are the glyphs "/" to "Z".
enum class FontKind : std::uint8_t { Small = 1, Medium = 2, MediumActive = 3, Big = 4 };

struct CurrentFontChoice {
  std::string ImageName;
  FontKind Kind = FontKind::Small;
};

// The one text routine of the game and its state: the selected font and where the last text
// ended (TextEndX), which the text cursor follows.
class BitmapText {
 public:
  static constexpr char kFirstGlyph = '/';
  static constexpr char kLastGlyph = 'Z';
  static constexpr int kGlyphCount = kLastGlyph - kFirstGlyph + 1;

  // Turns the stored last-column tables into advances. Runs once; the stored tables are never
  // changed, so a repeated call cannot corrupt them.
  void PrepareFontTables();
  bool TablesPrepared() const { return prepared_; }

  void SelectSmallFont();
  void SelectMediumFont();
  void SelectMediumActiveFont();
  void SelectBigFont();
  const CurrentFontChoice& CurrentFont() const { return currentFont_; }

  // Draws text in the current font with its first glyph's left edge at x and its top at y, and
  // sets TextEndX after every character. Characters outside the space and "/" to "Z" are
  // skipped without moving the pen. Throws the image list's error if the font is missing.
  void WriteText(Surface& surface, const ImageCollection& images, std::string_view text, int x,
                 int y);

  // How far WriteText would move the pen for the text in the current font.
  int TextWidth(const ImageCollection& images, std::string_view text) const;

  // Pen advance of a glyph character in a font kind (after PrepareFontTables).
  int Advance(FontKind kind, char glyph) const;

  std::int32_t TextEndX = 0;

 private:
  // The pen after one character (spaces included) from `pen`.
  int PenAfter(int pen, char c, double patternWidth) const;

  bool prepared_ = false;
  CurrentFontChoice currentFont_;
  std::array<int, kGlyphCount> mediumAdvance_{};
  std::array<int, kGlyphCount> bigAdvance_{};
};

}  // namespace rivoltra
