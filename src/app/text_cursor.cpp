// The blinking text cursor and typing into the two text fields (country and player name).
#include <cmath>

#include "app/game.h"
#include "app/screens.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {
constexpr std::int32_t kBlinkPhaseMs = 500;
constexpr char kBackspace = 8;
}  // namespace

void BlinkTextCursor(Game& game) {
  MenuState& menu = game.Menu;
  if (menu.TextCursor == nullptr) return;
  const auto interval = static_cast<std::int32_t>(game.Timer.Interval());
  if (menu.TextCursor->Visible) {
    menu.CursorBlinkMs -= interval;
    if (menu.CursorBlinkMs <= 0) {
      menu.TextCursor->Visible = false;
      menu.CursorBlinkMs = kBlinkPhaseMs;
    }
  }
  // Also right after hiding: the frame in which the cursor goes counts as a hidden one.
  if (!menu.TextCursor->Visible) {
    menu.CursorBlinkMs -= interval;
    if (menu.CursorBlinkMs <= 0) {
      menu.TextCursor->Visible = true;
      menu.CursorBlinkMs = kBlinkPhaseMs;
    }
  }
}

void PlaceTextCursor(Game& game, std::int32_t rightEdge, std::int32_t minimumX) {
  CaptionSprite* cursor = game.Menu.TextCursor;
  if (cursor == nullptr) return;
  const std::int32_t textEnd = game.Text.TextEndX;
  if (textEnd > rightEdge - cursor->Width) return;
  cursor->X = textEnd < minimumX ? minimumX : textEnd;
}

std::int32_t BigTextEndX(Game& game, std::string_view text, std::int32_t x) {
  const ImageItem& font = game.InterfaceImages.ItemByName("Font_big");
  const double patternWidth = font.PatternWidth();
  const double extra = -0.05 * patternWidth;
  std::int32_t pen = x;
  for (const char c : text) {
    if (c == ' ') {
      pen = static_cast<std::int32_t>(std::trunc(pen + 0.2 * patternWidth));
    } else if (c >= BitmapText::kFirstGlyph && c <= BitmapText::kLastGlyph) {
      pen =
          static_cast<std::int32_t>(std::trunc(pen + game.Text.Advance(FontKind::Big, c) + extra));
    }
  }
  return pen;
}

void TypeIntoField(Game& game, std::string& field, char key, std::int32_t textX,
                   std::int32_t rightEdge) {
  if (key == kBackspace) {
    if (!field.empty()) field.pop_back();
    return;
  }
  if (key == ' ') {
    field += key;
    return;
  }
  if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
  if (key < 'A' || key > 'Z') return;
  const int cursorWidth = game.Menu.TextCursor != nullptr ? game.Menu.TextCursor->Width : 0;
  // Measured on the text itself rather than on the last frame's TextEndX, so that several keys
  // arriving between two frames cannot carry the text past the edge. Between frames the two are
  // the same number.
  if (BigTextEndX(game, field, textX) < rightEdge - cursorWidth) field += key;
}

}  // namespace rivoltra
