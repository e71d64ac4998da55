#pragma once
// The four bitmap fonts of the interface list: one strip of 44 glyph cells each, "/" (47) to
// "Z" (90). The text routine moves its pen by fixed per-character advances, so every glyph is
// condensed (never stretched far) until its last inked column is exactly its advance minus 1.
#include <array>
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

inline constexpr int kFirstGlyphCode = 47;
inline constexpr int kGlyphCount = 44;
inline constexpr int kMediumCellWidth = 24;  // small and both medium fonts
inline constexpr int kBigCellWidth = 40;

// Pen advance per glyph, "/" first.
extern const std::array<int, kGlyphCount> kMediumAdvances;
extern const std::array<int, kGlyphCount> kBigAdvances;

// "Font_small", "Font_medium_inactive", "Font_medium_Active", "Font_big".
std::vector<ImageItemData> BitmapFontItems();

}  // namespace rivoltra::pictures
