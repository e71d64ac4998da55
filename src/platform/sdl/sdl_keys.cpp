#include "platform/sdl/sdl_keys.h"

#include "engine/keyboard_codes.h"

namespace rivoltra {

namespace {

int LetterOrDigit(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return virtual_key::Letter('A') + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return virtual_key::Digit(1) + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return virtual_key::Digit(0);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return virtual_key::Numpad(1) + (scancode - SDL_SCANCODE_KP_1);
  if (scancode == SDL_SCANCODE_KP_0) return virtual_key::kNumpad0;
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return virtual_key::kF1 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    return virtual_key::Function(13) + (scancode - SDL_SCANCODE_F13);
  return 0;
}

// The punctuation keys by their place on the keyboard (a US layout's labels), whatever the
// layout prints on them, so a binding stays on the same key.
int Punctuation(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_SEMICOLON:
      return virtual_key::kSemicolon;
    case SDL_SCANCODE_EQUALS:
      return virtual_key::kEquals;
    case SDL_SCANCODE_COMMA:
      return virtual_key::kComma;
    case SDL_SCANCODE_MINUS:
      return virtual_key::kMinus;
    case SDL_SCANCODE_PERIOD:
      return virtual_key::kPeriod;
    case SDL_SCANCODE_SLASH:
      return virtual_key::kSlash;
    case SDL_SCANCODE_GRAVE:
      return virtual_key::kGrave;
    case SDL_SCANCODE_LEFTBRACKET:
      return virtual_key::kLeftBracket;
    // An ISO keyboard's key beside Enter reports either code depending on the system; SDL
    // itself treats the two as one key.
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
      return virtual_key::kBackslash;
    case SDL_SCANCODE_RIGHTBRACKET:
      return virtual_key::kRightBracket;
    case SDL_SCANCODE_APOSTROPHE:
      return virtual_key::kApostrophe;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return virtual_key::kKey102;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyOfScancode(SDL_Scancode scancode) {
  if (const int code = LetterOrDigit(scancode)) return code;
  if (const int code = Punctuation(scancode)) return code;
  switch (scancode) {
    case SDL_SCANCODE_BACKSPACE:
      return virtual_key::kBackspace;
    case SDL_SCANCODE_TAB:
      return virtual_key::kTab;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return virtual_key::kEnter;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return virtual_key::kShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return virtual_key::kControl;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return virtual_key::kMenu;
    case SDL_SCANCODE_PAUSE:
      return virtual_key::kPause;
    case SDL_SCANCODE_CAPSLOCK:
      return virtual_key::kCapsLock;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return virtual_key::kNumLock;
    case SDL_SCANCODE_SCROLLLOCK:
      return virtual_key::kScrollLock;
    case SDL_SCANCODE_ESCAPE:
      return virtual_key::kEscape;
    case SDL_SCANCODE_SPACE:
      return virtual_key::kSpace;
    case SDL_SCANCODE_PAGEUP:
      return virtual_key::kPageUp;
    case SDL_SCANCODE_PAGEDOWN:
      return virtual_key::kPageDown;
    case SDL_SCANCODE_END:
      return virtual_key::kEnd;
    case SDL_SCANCODE_HOME:
      return virtual_key::kHome;
    case SDL_SCANCODE_LEFT:
      return virtual_key::kLeft;
    case SDL_SCANCODE_UP:
      return virtual_key::kUp;
    case SDL_SCANCODE_RIGHT:
      return virtual_key::kRight;
    case SDL_SCANCODE_DOWN:
      return virtual_key::kDown;
    case SDL_SCANCODE_INSERT:
      return virtual_key::kInsert;
    case SDL_SCANCODE_DELETE:
      return virtual_key::kDelete;
    case SDL_SCANCODE_KP_MULTIPLY:
      return virtual_key::kMultiply;
    case SDL_SCANCODE_KP_PLUS:
      return virtual_key::kAdd;
    case SDL_SCANCODE_KP_MINUS:
      return virtual_key::kSubtract;
    case SDL_SCANCODE_KP_PERIOD:
      return virtual_key::kDecimal;
    case SDL_SCANCODE_KP_DIVIDE:
      return virtual_key::kDivide;
    default:
      return 0;
  }
}

}  // namespace rivoltra
