#pragma once

#include <cstdint>

namespace rivoltra {

// Shift state of a key event.
struct ShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
};

// One input event in the game's own terms. Every frontend (the desktop window, the browser page,
// the scripted runner) turns what its machine reports into these, so the game never sees a
// platform's event type.
struct InputEvent {
  enum class Kind : std::uint8_t {
    KeyDown,      // virtualKey and shift
    KeyUp,        // virtualKey and shift
    Character,    // character: typed text, and Enter, Escape and Backspace as '\r', '\x1B', '\b'
    MouseMove,    // x and y in display pixels
    Click,        // the left button released over the display
    FocusGained,  // the window came to the front
    FocusLost,
    Exposed,  // the window must be painted again
    Quit,     // the window was closed
  };

  Kind kind = Kind::Quit;
  int virtualKey = 0;
  ShiftState shift;
  char character = 0;
  int x = 0;
  int y = 0;

  static InputEvent Of(Kind kind) {
    InputEvent event;
    event.kind = kind;
    return event;
  }
  static InputEvent Key(Kind kind, int virtualKey, ShiftState shift) {
    InputEvent event = Of(kind);
    event.virtualKey = virtualKey;
    event.shift = shift;
    return event;
  }
  static InputEvent Typed(char character) {
    InputEvent event = Of(Kind::Character);
    event.character = character;
    return event;
  }
  static InputEvent Mouse(int x, int y) {
    InputEvent event = Of(Kind::MouseMove);
    event.x = x;
    event.y = y;
    return event;
  }
};

}  // namespace rivoltra
