#pragma once

#include <cstdint>

namespace rivoltra {

// Virtual-key codes: the numbering of the 256-entry key table and of the key assignments. The
// platform layer maps its own scan codes to these.
namespace virtual_key {

constexpr std::uint8_t kBackspace = 0x08;
constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kEnter = 0x0D;
constexpr std::uint8_t kShift = 0x10;
constexpr std::uint8_t kControl = 0x11;
constexpr std::uint8_t kMenu = 0x12;  // Alt
constexpr std::uint8_t kPause = 0x13;
constexpr std::uint8_t kCapsLock = 0x14;
constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kPageUp = 0x21;
constexpr std::uint8_t kPageDown = 0x22;
constexpr std::uint8_t kEnd = 0x23;
constexpr std::uint8_t kHome = 0x24;
constexpr std::uint8_t kLeft = 0x25;
constexpr std::uint8_t kUp = 0x26;
constexpr std::uint8_t kRight = 0x27;
constexpr std::uint8_t kDown = 0x28;
constexpr std::uint8_t kInsert = 0x2D;
constexpr std::uint8_t kDelete = 0x2E;

// '0'..'9' and 'A'..'Z' are their own ASCII codes.
constexpr std::uint8_t Digit(int n) { return static_cast<std::uint8_t>(0x30 + n); }
constexpr std::uint8_t Letter(char upper) { return static_cast<std::uint8_t>(upper); }

constexpr std::uint8_t kNumpad0 = 0x60;
constexpr std::uint8_t kNumpad8 = 0x68;
constexpr std::uint8_t Numpad(int n) { return static_cast<std::uint8_t>(kNumpad0 + n); }
constexpr std::uint8_t kMultiply = 0x6A;
constexpr std::uint8_t kAdd = 0x6B;
constexpr std::uint8_t kSubtract = 0x6D;
constexpr std::uint8_t kDecimal = 0x6E;
constexpr std::uint8_t kDivide = 0x6F;

constexpr std::uint8_t kF1 = 0x70;
// F1..F24.
constexpr std::uint8_t Function(int n) { return static_cast<std::uint8_t>(kF1 + n - 1); }

constexpr std::uint8_t kNumLock = 0x90;
constexpr std::uint8_t kScrollLock = 0x91;
constexpr std::uint8_t kLeftShift = 0xA0;
constexpr std::uint8_t kRightShift = 0xA1;
constexpr std::uint8_t kLeftControl = 0xA2;
constexpr std::uint8_t kRightControl = 0xA3;
constexpr std::uint8_t kLeftMenu = 0xA4;
constexpr std::uint8_t kRightMenu = 0xA5;

// Punctuation of a US layout.
constexpr std::uint8_t kSemicolon = 0xBA;
constexpr std::uint8_t kEquals = 0xBB;
constexpr std::uint8_t kComma = 0xBC;
constexpr std::uint8_t kMinus = 0xBD;
constexpr std::uint8_t kPeriod = 0xBE;
constexpr std::uint8_t kSlash = 0xBF;
constexpr std::uint8_t kGrave = 0xC0;
constexpr std::uint8_t kLeftBracket = 0xDB;
constexpr std::uint8_t kBackslash = 0xDC;
constexpr std::uint8_t kRightBracket = 0xDD;
constexpr std::uint8_t kApostrophe = 0xDE;
// The extra key of an ISO keyboard, between the left Shift and Z.
constexpr std::uint8_t kKey102 = 0xE2;

}  // namespace virtual_key

}  // namespace rivoltra
