#include "app/option_rows.h"

#include <algorithm>
#include <string>

#include "app/game.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {
constexpr int kVolumeSteps = 10;
constexpr int kSilentRim = 4;
}  // namespace

void DrawChoice(Game& game, int y, std::string_view first, int firstX, int slashX,
                std::string_view second, int secondX, bool firstChosen) {
  BitmapText& text = game.Text;
  firstChosen ? text.SelectMediumActiveFont() : text.SelectMediumFont();
  WriteText(game, first, firstX, y);
  text.SelectMediumFont();
  WriteText(game, "/", slashX, y);
  firstChosen ? text.SelectMediumFont() : text.SelectMediumActiveFont();
  WriteText(game, second, secondX, y);
}

void DrawChoices(Game& game, int x, int y, const std::vector<std::string_view>& words,
                 std::size_t chosen) {
  BitmapText& text = game.Text;
  int pen = x;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) {
      text.SelectMediumFont();
      WriteText(game, "/", pen + 8, y);
      pen = text.TextEndX + 8;
    }
    i == chosen ? text.SelectMediumActiveFont() : text.SelectMediumFont();
    WriteText(game, words[i], pen, y);
    pen = text.TextEndX;
  }
}

void DrawVolume(Game& game, int y, int percent) {
  using namespace layout;
  const int steps = percent / (100 / kVolumeSteps);
  game.InterfaceImages.Items()
      .ItemByName("VolumeBar")
      .Draw(game.Screen.BackBuffer(), kVolumeBarX, y + kVolumeBarY, steps);
  if (percent > 0) {
    game.Text.SelectMediumActiveFont();
    WriteText(game, std::to_string(percent), kVolumeNumberX, y);
  } else {
    game.Text.SelectMediumFont();
    WriteText(game, "OFF", kVolumeNumberX, y);
  }
}

int VolumeAtX(int x) {
  using namespace layout;
  const int offset = x - kVolumeBarX;
  if (offset < 0 || offset >= kVolumeBarWidth) return -1;
  // The bar's left rim is silence; each tenth of the bar after it lights one more step.
  if (offset < kSilentRim) return 0;
  return std::min(kVolumeSteps, offset * kVolumeSteps / kVolumeBarWidth + 1) * (100 / kVolumeSteps);
}

int HorizontalStep(Game& game) {
  const InputStates& states = game.Input.MenuStates();
  MenuState& menu = game.Menu;
  const bool left = states.Contains(InputLeft);
  const bool right = states.Contains(InputRight);
  if (!left && !right) {
    menu.AdjustArmed = true;
    return 0;
  }
  if (!menu.AdjustArmed) return 0;
  menu.AdjustArmed = false;
  return right ? 1 : -1;
}

}  // namespace rivoltra
