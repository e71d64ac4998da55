#include "pictures/settings_screens.h"

#include <string>

#include "pictures/art.h"
#include "pictures/menu_screens.h"
#include "pictures/menu_widgets.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"
#include "ui/screen_layout.h"

namespace rivoltra::pictures {

namespace {

namespace L = layout;

constexpr int kVolumeSteps = 10;

// Ten segments growing from left to right, the first `lit` of them glowing green to amber.
void DrawVolumeBar(cairo_t* cr, int lit) {
  const double w = L::kVolumeBarWidth;
  const double h = L::kVolumeBarHeight;
  RoundedRectPath(cr, 0.5, 0.5, w - 1, h - 1, 4);
  SetColour(cr, Hex(0x04060A));
  cairo_fill(cr);
  const double gap = 3;
  const double segment = (w - 6 - gap * (kVolumeSteps - 1)) / kVolumeSteps;
  for (int step = 0; step < kVolumeSteps; ++step) {
    const double x = 3 + step * (segment + gap);
    // each step a little taller than the one before, as a level meter's
    const double top = 3 + (h - 6) * 0.55 * (1.0 - double(step) / (kVolumeSteps - 1));
    RoundedRectPath(cr, x, top, segment, h - 3 - top, 1.5);
    if (step < lit) {
      const double t = double(step) / (kVolumeSteps - 1);
      const Rgb hot = t < 0.6 ? Hex(0x7CFF50) : (t < 0.85 ? Hex(0xFFD040) : Hex(0xFF7A20));
      cairo_pattern_t* fill = VerticalGradient(top, h - 3, Hex(0xFFFFF0), hot, Hex(0x305010));
      cairo_set_source(cr, fill);
      cairo_fill(cr);
      cairo_pattern_destroy(fill);
    } else {
      SetColour(cr, Hex(0x1A2638));
      cairo_fill(cr);
    }
  }
}

Bitmap VolumeBar() {
  return FrameStrip(L::kVolumeBarWidth, L::kVolumeBarHeight, kVolumeSteps + 1,
                    [](cairo_t* cr, int lit) { DrawVolumeBar(cr, lit); });
}

void Hint(cairo_t* cr, double x, double baseline, const std::string& text, double width) {
  Lamp(cr, x + 5, baseline - 5, 3.5, Hex(0xFFB020), true);
  DrawParagraph(cr, text, x + 16, baseline, width - 16, 19, BodyStyle(13));
}

Bitmap MoreSettingsPanel() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, L::kSubPanelWidth, L::kSubPanelHeight);
  const double below = L::kOptionButtonY[3] + L::kOptionButtonHeight - L::kSubPanelY + 30;
  DrawText(cr, "MORE SETTINGS", 24, below, LabelStyle(13));
  Hint(cr, 24, below + 26,
       "WINDOW SIZE: FIT is the largest whole size your desktop holds. SCALING: SHARP keeps "
       "every pixel crisp, SMOOTH blends them.",
       L::kSubPanelWidth - 48);
  Hint(cr, 24, below + 86,
       "Left and Right change the chosen line. Escape goes back to the options.",
       L::kSubPanelWidth - 48);
  return canvas.ToBitmap();
}

Bitmap ControlsPanel() {
  Canvas canvas(L::kControlsWidth, L::kControlsHeight);
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, L::kControlsWidth, L::kControlsHeight);
  const double x0 = L::kControlsX;
  const double y0 = L::kControlsY;
  const double heading = L::kControlHeadingY - y0 + 14;
  DrawText(cr, "CONTROLS", L::kControlLabelX - x0, heading + 4, TitleStyle(22));
  DrawText(cr, "KEYS", L::kControlCellX[0] - x0 + 4, heading, LabelStyle(13));
  DrawText(cr, "CONTROLLER", L::kControlCellX[2] - x0 + 4, heading, LabelStyle(13));
  // a thin rule between the keyboard's and the controller's columns
  const double rule = L::kControlCellX[2] - x0 - 5;
  cairo_move_to(cr, rule + 0.5, heading - 12);
  cairo_line_to(cr, rule + 0.5,
                L::kControlFirstRowY - y0 + 9 * L::kControlRowPitch - L::kControlRowPitch / 2.0);
  SetColour(cr, Hex(0x3A4A62));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return canvas.ToBitmap();
}

// The frame drawn behind the chosen cell; waiting for a new input it glows hot.
void DrawCell(cairo_t* cr, bool waiting) {
  const double w = L::kControlCellWidth;
  const double h = L::kControlRowHeight - 2;
  RoundedRectPath(cr, 0.5, 0.5, w - 1, h - 1, 4);
  SetColour(cr, waiting ? Hex(0x5A1A04) : Hex(0x102848));
  cairo_fill_preserve(cr);
  SetColour(cr, waiting ? Hex(0xFF8A20) : Hex(0xFFD040));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

Bitmap ControlCell() {
  return FrameStrip(L::kControlCellWidth, L::kControlRowHeight - 2, 2,
                    [](cairo_t* cr, int look) { DrawCell(cr, look == 1); });
}

}  // namespace

std::vector<ImageItemData> SettingsScreenItems() {
  std::vector<ImageItemData> items;
  items.push_back(KeyedItem("VolumeBar", VolumeBar(), L::kVolumeBarWidth, L::kVolumeBarHeight));
  items.push_back(KeyedItem("MoreSettingsBackground", MoreSettingsPanel()));
  items.push_back(KeyedItem("ControlsBackground", ControlsPanel()));
  items.push_back(KeyedItem("ControlRow_Inactive",
                            OptionBar(L::kControlRowWidth, L::kControlRowHeight, false)));
  items.push_back(
      KeyedItem("ControlRow_Active", OptionBar(L::kControlRowWidth, L::kControlRowHeight, true)));
  items.push_back(
      KeyedItem("ControlCell", ControlCell(), L::kControlCellWidth, L::kControlRowHeight - 2));
  items.push_back(KeyedItem("ControlDefaults",
                            TwoLookButton(L::kControlDefaultsWidth, L::kControlDefaultsHeight,
                                          "DEFAULTS", ButtonIcon::None),
                            L::kControlDefaultsWidth, L::kControlDefaultsHeight));
  return items;
}

}  // namespace rivoltra::pictures
