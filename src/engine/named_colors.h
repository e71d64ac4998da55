#pragma once
// Colour identifiers of the component stream (tag 0x07, e.g. "clBtnFace") and system colours.
#include <cstdint>
#include <optional>
#include <string_view>

namespace rivoltra {

// The colour an identifier names, as 0x00BBGGRR; matching ignores case. The standard colours
// keep their usual values (clNone 0x1FFFFFFF, clDefault 0x20000000); system colours
// (clBtnFace, clWindow, ...) are resolved to the classic Windows scheme, since no desktop
// scheme applies to the game. Unknown identifiers give nothing.
std::optional<std::uint32_t> ColorFromIdentifier(std::string_view identifier);

// A colour value as stored: system colours (0x80000000 | index) become their classic RGB value
// (0x00BBGGRR; unknown indexes black), other values are returned unchanged.
std::uint32_t ResolveSystemColor(std::uint32_t color);

}  // namespace rivoltra
