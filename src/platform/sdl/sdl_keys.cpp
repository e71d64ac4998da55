#include "platform/sdl/sdl_keys.h"

#include "engine/keyboard_codes.h"

namespace rivoltra {

namespace {

int LetterOrDigit(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return VirtualKey::Letter('A') + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return VirtualKey::Digit(1) + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return VirtualKey::Digit(0);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return VirtualKey::Numpad(1) + (scancode - SDL_SCANCODE_KP_1);
  if (scancode == SDL_SCANCODE_KP_0) return VirtualKey::Numpad0;
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return VirtualKey::F1 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    return VirtualKey::Function(13) + (scancode - SDL_SCANCODE_F13);
  return 0;
}

// The punctuation keys by their place on the keyboard (a US layout's labels), whatever the
// layout prints on them, so a binding stays on the same key.
int Punctuation(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_SEMICOLON:
      return VirtualKey::Semicolon;
    case SDL_SCANCODE_EQUALS:
      return VirtualKey::Equals;
    case SDL_SCANCODE_COMMA:
      return VirtualKey::Comma;
    case SDL_SCANCODE_MINUS:
      return VirtualKey::Minus;
    case SDL_SCANCODE_PERIOD:
      return VirtualKey::Period;
    case SDL_SCANCODE_SLASH:
      return VirtualKey::Slash;
    case SDL_SCANCODE_GRAVE:
      return VirtualKey::Grave;
    case SDL_SCANCODE_LEFTBRACKET:
      return VirtualKey::LeftBracket;
    // An ISO keyboard's key beside Enter reports either code depending on the system; SDL
    // itself treats the two as one key.
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
      return VirtualKey::Backslash;
    case SDL_SCANCODE_RIGHTBRACKET:
      return VirtualKey::RightBracket;
    case SDL_SCANCODE_APOSTROPHE:
      return VirtualKey::Apostrophe;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return VirtualKey::Key102;
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
      return VirtualKey::Backspace;
    case SDL_SCANCODE_TAB:
      return VirtualKey::Tab;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return VirtualKey::Enter;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return VirtualKey::Shift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return VirtualKey::Control;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return VirtualKey::Menu;
    case SDL_SCANCODE_PAUSE:
      return VirtualKey::Pause;
    case SDL_SCANCODE_CAPSLOCK:
      return VirtualKey::CapsLock;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return VirtualKey::NumLock;
    case SDL_SCANCODE_SCROLLLOCK:
      return VirtualKey::ScrollLock;
    case SDL_SCANCODE_ESCAPE:
      return VirtualKey::Escape;
    case SDL_SCANCODE_SPACE:
      return VirtualKey::Space;
    case SDL_SCANCODE_PAGEUP:
      return VirtualKey::PageUp;
    case SDL_SCANCODE_PAGEDOWN:
      return VirtualKey::PageDown;
    case SDL_SCANCODE_END:
      return VirtualKey::End;
    case SDL_SCANCODE_HOME:
      return VirtualKey::Home;
    case SDL_SCANCODE_LEFT:
      return VirtualKey::Left;
    case SDL_SCANCODE_UP:
      return VirtualKey::Up;
    case SDL_SCANCODE_RIGHT:
      return VirtualKey::Right;
    case SDL_SCANCODE_DOWN:
      return VirtualKey::Down;
    case SDL_SCANCODE_INSERT:
      return VirtualKey::Insert;
    case SDL_SCANCODE_DELETE:
      return VirtualKey::Delete;
    case SDL_SCANCODE_KP_MULTIPLY:
      return VirtualKey::Multiply;
    case SDL_SCANCODE_KP_PLUS:
      return VirtualKey::Add;
    case SDL_SCANCODE_KP_MINUS:
      return VirtualKey::Subtract;
    case SDL_SCANCODE_KP_PERIOD:
      return VirtualKey::Decimal;
    case SDL_SCANCODE_KP_DIVIDE:
      return VirtualKey::Divide;
    default:
      return 0;
  }
}

}  // namespace rivoltra
