#pragma once

#include <cstdint>

namespace rivoltra {

// Shift state of a key event.
struct ShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
};

// What an input event reports.
enum class InputKind : std::uint8_t {
  KeyDown,      // VirtualKey and Shift
  KeyUp,        // VirtualKey and Shift
  Character,    // Character: typed text, and Enter, Escape and Backspace as '\r', '\x1B', '\b'
  MouseMove,    // X and Y in display pixels
  Click,        // the left button released over the display
  FocusGained,  // the window came to the front
  FocusLost,
  Exposed,  // the window must be painted again
  Quit,     // the window was closed
};

// One input event in the game's own terms. Every frontend (the desktop window, the browser page,
// the scripted runner) turns what its machine reports into these, so the game never sees a
// platform's event type.
struct InputEvent {
  InputKind Kind = InputKind::Quit;
  int VirtualKey = 0;
  ShiftState Shift;
  char Character = 0;
  int X = 0;
  int Y = 0;

  static InputEvent Of(InputKind kind) {
    InputEvent event;
    event.Kind = kind;
    return event;
  }
  static InputEvent Key(InputKind kind, int virtualKey, ShiftState shift) {
    InputEvent event = Of(kind);
    event.VirtualKey = virtualKey;
    event.Shift = shift;
    return event;
  }
  static InputEvent Typed(char character) {
    InputEvent event = Of(InputKind::Character);
    event.Character = character;
    return event;
  }
  static InputEvent Mouse(int x, int y) {
    InputEvent event = Of(InputKind::MouseMove);
    event.X = x;
    event.Y = y;
    return event;
  }
};

}  // namespace rivoltra
