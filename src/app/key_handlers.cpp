#include "app/game.h"
#include "app/input_events.h"

namespace rivoltra {

namespace {
constexpr int kVirtualKeyEnter = 0x0D;
constexpr int kVirtualKeyControl = 0x11;
}  // namespace

void FormKeyDown(Game& game, int virtualKey, ShiftState shift) {
  if (virtualKey == kVirtualKeyControl) game.FireKeyHeld = true;
  if (virtualKey == kVirtualKeyEnter && shift.Alt) {
    game.settings.FullScreen = game.settings.FullScreen == 1 ? 0 : 1;
    ApplyDisplayMode(game);
  }
}

void FormKeyUp(Game& game, int virtualKey, ShiftState /*shift*/) {
  if (virtualKey == kVirtualKeyControl) game.FireKeyHeld = false;
}

void FormKeyPress(Game& /*game*/, char /*key*/) {}

void MDisplayMouseMove(Game& game, int x, int y) {
  game.MouseX = x;
  game.MouseY = y;
}

void MDisplayClick(Game& /*game*/) {}

}  // namespace rivoltra
