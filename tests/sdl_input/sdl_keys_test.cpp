// The SDL backend's key translation: every key of a full-size PC keyboard (ISO and ANSI) reaches
// the game as a key it can bind and name, except the system's own keys.
#include "platform/sdl/sdl_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/control_bindings.h"
#include "engine/keyboard_codes.h"

namespace rivoltra {
namespace {

namespace K = virtual_key;

TEST(SdlKeys, PunctuationAndLockKeysHaveTheirCodesAndNames) {
  struct Case {
    SDL_Scancode Scancode;
    int Key;
    const char* Name;
  };
  const Case cases[] = {
      {SDL_SCANCODE_SEMICOLON, K::kSemicolon, "SEMICOLON"},
      {SDL_SCANCODE_APOSTROPHE, K::kApostrophe, "APOSTROPHE"},
      {SDL_SCANCODE_COMMA, K::kComma, "COMMA"},
      {SDL_SCANCODE_PERIOD, K::kPeriod, "PERIOD"},
      {SDL_SCANCODE_SLASH, K::kSlash, "SLASH"},
      {SDL_SCANCODE_LEFTBRACKET, K::kLeftBracket, "LEFT BRACKET"},
      {SDL_SCANCODE_RIGHTBRACKET, K::kRightBracket, "RIGHT BRACKET"},
      {SDL_SCANCODE_MINUS, K::kMinus, "MINUS"},
      {SDL_SCANCODE_EQUALS, K::kEquals, "EQUALS"},
      {SDL_SCANCODE_BACKSLASH, K::kBackslash, "BACKSLASH"},
      {SDL_SCANCODE_NONUSHASH, K::kBackslash, "BACKSLASH"},
      {SDL_SCANCODE_GRAVE, K::kGrave, "GRAVE"},
      {SDL_SCANCODE_NONUSBACKSLASH, K::kKey102, "102ND KEY"},
      {SDL_SCANCODE_CAPSLOCK, K::kCapsLock, "CAPS LOCK"},
      {SDL_SCANCODE_NUMLOCKCLEAR, K::kNumLock, "NUM LOCK"},
      {SDL_SCANCODE_SCROLLLOCK, K::kScrollLock, "SCROLL LOCK"},
      {SDL_SCANCODE_F12, K::Function(12), "F12"},
      {SDL_SCANCODE_F13, K::Function(13), "F13"},
      {SDL_SCANCODE_F24, K::Function(24), "F24"},
      {SDL_SCANCODE_KP_9, K::Numpad(9), "KEYPAD 9"},
      {SDL_SCANCODE_ESCAPE, K::kEscape, "ESCAPE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyOfScancode(c.Scancode), c.Key) << SDL_GetScancodeName(c.Scancode);
    EXPECT_EQ(KeyName(static_cast<std::uint8_t>(c.Key)), c.Name);
  }
}

TEST(SdlKeys, EveryKeyOfAFullKeyboardButTheSystemKeysIsBindableByName) {
  // Print Screen and the Windows and menu keys belong to the desktop.
  const std::set<SDL_Scancode> systemKeys = {SDL_SCANCODE_PRINTSCREEN, SDL_SCANCODE_APPLICATION,
                                             SDL_SCANCODE_LGUI, SDL_SCANCODE_RGUI};
  // Letters to the keypad's point, the ISO key, the modifiers.
  std::set<SDL_Scancode> keyboard;
  for (int code = SDL_SCANCODE_A; code <= SDL_SCANCODE_NONUSBACKSLASH; ++code)
    keyboard.insert(static_cast<SDL_Scancode>(code));
  for (int code = SDL_SCANCODE_LCTRL; code <= SDL_SCANCODE_RGUI; ++code)
    keyboard.insert(static_cast<SDL_Scancode>(code));
  std::set<int> seen;
  for (const SDL_Scancode scancode : keyboard) {
    const std::string sdlName = SDL_GetScancodeName(scancode);
    const int key = VirtualKeyOfScancode(scancode);
    if (systemKeys.count(scancode) != 0) {
      EXPECT_EQ(key, 0) << sdlName;
      continue;
    }
    ASSERT_GT(key, 0) << sdlName << " is not translated";
    ASSERT_LT(key, 256) << sdlName;
    const std::string name = KeyName(static_cast<std::uint8_t>(key));
    EXPECT_NE(name.rfind("KEY ", 0), 0u) << sdlName << " has no readable name: " << name;
    EXPECT_EQ(KeyByName(name), key) << sdlName << " as " << name;
    seen.insert(key);
  }
  // Left and right modifiers, the two Enters and the two keys beside Enter share a code.
  EXPECT_GE(seen.size(), keyboard.size() - systemKeys.size() - 5);
}

}  // namespace
}  // namespace rivoltra
