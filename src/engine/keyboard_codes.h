#pragma once

#include <cstdint>

namespace rivoltra {

// Virtual-key codes: the numbering of the 256-entry key table and of the key assignments. The
// platform layer maps its own scan codes to these.
namespace VirtualKey {

constexpr std::uint8_t Backspace = 0x08;
constexpr std::uint8_t Tab = 0x09;
constexpr std::uint8_t Enter = 0x0D;
constexpr std::uint8_t Shift = 0x10;
constexpr std::uint8_t Control = 0x11;
constexpr std::uint8_t Menu = 0x12;  // Alt
constexpr std::uint8_t Pause = 0x13;
constexpr std::uint8_t CapsLock = 0x14;
constexpr std::uint8_t Escape = 0x1B;
constexpr std::uint8_t Space = 0x20;
constexpr std::uint8_t PageUp = 0x21;
constexpr std::uint8_t PageDown = 0x22;
constexpr std::uint8_t End = 0x23;
constexpr std::uint8_t Home = 0x24;
constexpr std::uint8_t Left = 0x25;
constexpr std::uint8_t Up = 0x26;
constexpr std::uint8_t Right = 0x27;
constexpr std::uint8_t Down = 0x28;
constexpr std::uint8_t Insert = 0x2D;
constexpr std::uint8_t Delete = 0x2E;

// '0'..'9' and 'A'..'Z' are their own ASCII codes.
constexpr std::uint8_t Digit(int n) { return static_cast<std::uint8_t>(0x30 + n); }
constexpr std::uint8_t Letter(char upper) { return static_cast<std::uint8_t>(upper); }

constexpr std::uint8_t Numpad0 = 0x60;
constexpr std::uint8_t Numpad8 = 0x68;
constexpr std::uint8_t Numpad(int n) { return static_cast<std::uint8_t>(Numpad0 + n); }
constexpr std::uint8_t Multiply = 0x6A;
constexpr std::uint8_t Add = 0x6B;
constexpr std::uint8_t Subtract = 0x6D;
constexpr std::uint8_t Decimal = 0x6E;
constexpr std::uint8_t Divide = 0x6F;

constexpr std::uint8_t F1 = 0x70;
// F1..F24.
constexpr std::uint8_t Function(int n) { return static_cast<std::uint8_t>(F1 + n - 1); }

constexpr std::uint8_t NumLock = 0x90;
constexpr std::uint8_t ScrollLock = 0x91;
constexpr std::uint8_t LeftShift = 0xA0;
constexpr std::uint8_t RightShift = 0xA1;
constexpr std::uint8_t LeftControl = 0xA2;
constexpr std::uint8_t RightControl = 0xA3;
constexpr std::uint8_t LeftMenu = 0xA4;
constexpr std::uint8_t RightMenu = 0xA5;

// Punctuation of a US layout.
constexpr std::uint8_t Semicolon = 0xBA;
constexpr std::uint8_t Equals = 0xBB;
constexpr std::uint8_t Comma = 0xBC;
constexpr std::uint8_t Minus = 0xBD;
constexpr std::uint8_t Period = 0xBE;
constexpr std::uint8_t Slash = 0xBF;
constexpr std::uint8_t Grave = 0xC0;
constexpr std::uint8_t LeftBracket = 0xDB;
constexpr std::uint8_t Backslash = 0xDC;
constexpr std::uint8_t RightBracket = 0xDD;
constexpr std::uint8_t Apostrophe = 0xDE;
// The extra key of an ISO keyboard, between the left Shift and Z.
constexpr std::uint8_t Key102 = 0xE2;

}  // namespace VirtualKey

}  // namespace rivoltra
