#include "engine/named_colors.h"

#include <array>
#include <cctype>

namespace rivoltra {

namespace {

constexpr std::uint32_t Bgr(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return blue << 16 | green << 8 | red;
}

// System colour index -> classic Windows scheme.
constexpr std::array<std::uint32_t, 31> kSystemColors = {
    Bgr(192, 192, 192),  // 0 clScrollBar
    Bgr(0, 128, 128),    // 1 clBackground
    Bgr(0, 0, 128),      // 2 clActiveCaption
    Bgr(128, 128, 128),  // 3 clInactiveCaption
    Bgr(192, 192, 192),  // 4 clMenu
    Bgr(255, 255, 255),  // 5 clWindow
    Bgr(0, 0, 0),        // 6 clWindowFrame
    Bgr(0, 0, 0),        // 7 clMenuText
    Bgr(0, 0, 0),        // 8 clWindowText
    Bgr(255, 255, 255),  // 9 clCaptionText
    Bgr(192, 192, 192),  // 10 clActiveBorder
    Bgr(192, 192, 192),  // 11 clInactiveBorder
    Bgr(128, 128, 128),  // 12 clAppWorkSpace
    Bgr(0, 0, 128),      // 13 clHighlight
    Bgr(255, 255, 255),  // 14 clHighlightText
    Bgr(192, 192, 192),  // 15 clBtnFace
    Bgr(128, 128, 128),  // 16 clBtnShadow
    Bgr(128, 128, 128),  // 17 clGrayText
    Bgr(0, 0, 0),        // 18 clBtnText
    Bgr(192, 192, 192),  // 19 clInactiveCaptionText
    Bgr(255, 255, 255),  // 20 clBtnHighlight
    Bgr(0, 0, 0),        // 21 cl3DDkShadow
    Bgr(223, 223, 223),  // 22 cl3DLight
    Bgr(0, 0, 0),        // 23 clInfoText
    Bgr(255, 255, 225),  // 24 clInfoBk
    Bgr(0, 0, 0),        // 25 (unused)
    Bgr(0, 0, 255),      // 26 clHotLight
    Bgr(16, 132, 208),   // 27 clGradientActiveCaption
    Bgr(181, 181, 181),  // 28 clGradientInactiveCaption
    Bgr(49, 106, 197),   // 29 clMenuHighlight
    Bgr(236, 233, 216),  // 30 clMenuBar
};

struct NamedColor {
  std::string_view Name;
  std::uint32_t Value;
};

constexpr std::uint32_t System(std::uint32_t index) { return 0x80000000u | index; }

constexpr NamedColor kNamedColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", System(0)},
    {"clBackground", System(1)},
    {"clActiveCaption", System(2)},
    {"clInactiveCaption", System(3)},
    {"clMenu", System(4)},
    {"clWindow", System(5)},
    {"clWindowFrame", System(6)},
    {"clMenuText", System(7)},
    {"clWindowText", System(8)},
    {"clCaptionText", System(9)},
    {"clActiveBorder", System(10)},
    {"clInactiveBorder", System(11)},
    {"clAppWorkSpace", System(12)},
    {"clHighlight", System(13)},
    {"clHighlightText", System(14)},
    {"clBtnFace", System(15)},
    {"clBtnShadow", System(16)},
    {"clGrayText", System(17)},
    {"clBtnText", System(18)},
    {"clInactiveCaptionText", System(19)},
    {"clBtnHighlight", System(20)},
    {"cl3DDkShadow", System(21)},
    {"cl3DLight", System(22)},
    {"clInfoText", System(23)},
    {"clInfoBk", System(24)},
    {"clHotLight", System(26)},
    {"clGradientActiveCaption", System(27)},
    {"clGradientInactiveCaption", System(28)},
    {"clMenuHighlight", System(29)},
    {"clMenuBar", System(30)},
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

std::uint32_t ResolveSystemColor(std::uint32_t color) {
  if ((color & 0xFF000000u) != 0x80000000u) return color;
  const std::uint32_t index = color & 0x00FFFFFFu;
  return index < kSystemColors.size() ? kSystemColors[index] : 0;
}

std::optional<std::uint32_t> ColorFromIdentifier(std::string_view identifier) {
  for (const auto& named : kNamedColors)
    if (EqualsIgnoringCase(named.Name, identifier)) return ResolveSystemColor(named.Value);
  return std::nullopt;
}

}  // namespace rivoltra
