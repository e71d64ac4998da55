#include "platform/sdl/sdl_events.h"

#include "platform/sdl/sdl_keys.h"

namespace rivoltra {

namespace {

using Deliver = std::function<void(const InputEvent&)>;

ShiftState ShiftOf(Uint16 modifiers) {
  return ShiftState{(modifiers & KMOD_SHIFT) != 0, (modifiers & KMOD_ALT) != 0,
                    (modifiers & KMOD_CTRL) != 0};
}

// Enter, Escape and Backspace have no text event in SDL; the window's character path still
// needs them, so they become characters here.
void KeyDownAsCharacter(const SDL_KeyboardEvent& key, const Deliver& deliver) {
  if ((key.keysym.mod & KMOD_ALT) != 0) return;
  switch (key.keysym.scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      deliver(InputEvent::Typed('\r'));
      break;
    case SDL_SCANCODE_ESCAPE:
      deliver(InputEvent::Typed('\x1B'));
      break;
    case SDL_SCANCODE_BACKSPACE:
      deliver(InputEvent::Typed('\b'));
      break;
    default:
      break;
  }
}

void TranslateWindowEvent(const SDL_WindowEvent& window, const Deliver& deliver) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      deliver(InputEvent::Of(InputKind::FocusGained));
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      deliver(InputEvent::Of(InputKind::FocusLost));
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      deliver(InputEvent::Of(InputKind::Exposed));
      break;
    case SDL_WINDOWEVENT_CLOSE:
      deliver(InputEvent::Of(InputKind::Quit));
      break;
    default:
      break;
  }
}

void TranslateKey(const SDL_KeyboardEvent& key, InputKind kind, const Deliver& deliver) {
  deliver(
      InputEvent::Key(kind, VirtualKeyOfScancode(key.keysym.scancode), ShiftOf(key.keysym.mod)));
}

}  // namespace

void TranslateSdlEvent(const SDL_Event& event, const Deliver& deliver) {
  switch (event.type) {
    case SDL_QUIT:
      deliver(InputEvent::Of(InputKind::Quit));
      break;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event.window, deliver);
      break;
    case SDL_KEYDOWN:
      TranslateKey(event.key, InputKind::KeyDown, deliver);
      KeyDownAsCharacter(event.key, deliver);
      break;
    case SDL_KEYUP:
      TranslateKey(event.key, InputKind::KeyUp, deliver);
      break;
    case SDL_TEXTINPUT:
      // Only ASCII reaches the game: its fonts and fields have nothing beyond it.
      for (const char* c = event.text.text; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) < 0x80) deliver(InputEvent::Typed(*c));
      }
      break;
    case SDL_MOUSEMOTION:
      deliver(InputEvent::Mouse(event.motion.x, event.motion.y));
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) deliver(InputEvent::Of(InputKind::Click));
      break;
    default:
      break;
  }
}

}  // namespace rivoltra
