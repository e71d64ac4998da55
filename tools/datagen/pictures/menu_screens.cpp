#include "pictures/menu_screens.h"

#include <cmath>
#include <string>

#include "pictures/art.h"
#include "pictures/cars.h"
#include "pictures/menu_widgets.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"
#include "ui/screen_layout.h"

namespace rivoltra::pictures {

namespace {

namespace L = layout;

// Screen positions into a panel's own coordinates.
constexpr double PanelX(double screenX) { return screenX - L::kSubPanelX; }
constexpr double PanelY(double screenY) { return screenY - L::kSubPanelY; }
constexpr double DialogX(double screenX) { return screenX - L::kDialogX; }
constexpr double DialogY(double screenY) { return screenY - L::kDialogY; }

// Panel text below the buttons: a hint line with a small lamp.
void Hint(cairo_t* cr, double x, double baseline, const std::string& text, double width) {
  Lamp(cr, x + 5, baseline - 5, 3.5, Hex(0xFFB020), true);
  DrawParagraph(cr, text, x + 16, baseline, width - 16, 19, BodyStyle(13));
}

Bitmap OptionsPanel() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, L::kSubPanelWidth, L::kSubPanelHeight);
  // the option lines lie over the screen; below them, how to use them
  const double below = PanelY(L::kOptionButtonY.back() + L::kOptionButtonHeight) + 26;
  Hint(cr, 24, below,
       "Up and Down choose a line, Enter changes it, Left and Right set a volume. YOUR COUNTRY: "
       "Enter, type, Enter; it is sent with your score.",
       L::kSubPanelWidth - 48);
  return canvas.ToBitmap();
}

}  // namespace

Bitmap OptionBar(int width, int height, bool highlighted) {
  const double w = width;
  const double h = height;
  Canvas canvas{width, height};
  cairo_t* cr = canvas.Context();
  // the words of the line are written over this bar by the game, so it stays dark inside
  RoundedRectPath(cr, 0, 0, w, h, 6);
  SetColour(cr, Hex(0x04060A));
  cairo_fill(cr);
  RoundedRectPath(cr, 1, 1, w - 2, h - 2, 5);
  if (highlighted) {
    cairo_pattern_t* rim = VerticalGradient(0, h, Hex(0xFFF0B0), Hex(0xFFA010), Hex(0xA04800));
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    RoundedRectPath(cr, 3.5, 3.5, w - 7, h - 7, 3.5);
    cairo_pattern_t* inside =
        VerticalGradient(3, h - 3, Hex(0x3A5A8E), Hex(0x1E3862), Hex(0x14264A));
    cairo_set_source(cr, inside);
    cairo_fill(cr);
    cairo_pattern_destroy(inside);
    // warm light spilling in from the rim
    cairo_save(cr);
    RoundedRectPath(cr, 3.5, 3.5, w - 7, h - 7, 3.5);
    cairo_clip(cr);
    for (int i = 0; i < 4; ++i) {
      RoundedRectPath(cr, 3.5 + i, 3.5 + i, w - 7 - 2 * i, h - 7 - 2 * i, 3.5);
      cairo_set_source_rgba(cr, 1, 0.65, 0.15, 0.22 - i * 0.05);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  } else {
    cairo_pattern_t* rim = VerticalGradient(0, h, Hex(0x5A6678), Hex(0x3A4454), Hex(0x262E3A));
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    RoundedRectPath(cr, 2.5, 2.5, w - 5, h - 5, 4);
    cairo_pattern_t* inside =
        VerticalGradient(2, h - 2, Hex(0x0E1626), Hex(0x142036), Hex(0x1A2842));
    cairo_set_source(cr, inside);
    cairo_fill(cr);
    cairo_pattern_destroy(inside);
  }
  // the line's lamp, left of the label
  Lamp(cr, 7.5, h / 2, 3, highlighted ? Hex(0x9CFF60) : Hex(0x2A6A24), highlighted);
  return canvas.ToBitmap();
}

namespace {

Bitmap OptionButton(bool highlighted) {
  return OptionBar(L::kOptionButtonWidth, L::kOptionButtonHeight, highlighted);
}

Bitmap TextCursor() {
  Canvas canvas(L::kCursorWidth, L::kCursorHeight);
  cairo_t* cr = canvas.Context();
  cairo_rectangle(cr, 0, 0, L::kCursorWidth, L::kCursorHeight);
  cairo_pattern_t* bar =
      VerticalGradient(0, L::kCursorHeight, Hex(0xFFFFE0), Hex(0xFFC030), Hex(0xD06000));
  cairo_set_source(cr, bar);
  cairo_fill(cr);
  cairo_pattern_destroy(bar);
  return canvas.ToBitmap();
}

Bitmap HighScoresPanel() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, L::kSubPanelWidth, L::kSubPanelHeight);
  constexpr int kRows = 10;
  constexpr double kRowPitch = L::HighScoreRowY(2) - L::HighScoreRowY(1);
  // each rank's band runs from 2 px below the line its text is written on
  for (int rank = 1; rank <= kRows; ++rank) {
    const double top = PanelY(L::HighScoreRowY(rank)) + 3;
    RoundedRectPath(cr, 12, top, L::kSubPanelWidth - 24, kRowPitch - 2, 3);
    if (rank % 2 == 1) {
      cairo_set_source_rgba(cr, 0.5, 0.7, 1.0, 0.09);
    } else {
      cairo_set_source_rgba(cr, 0, 0, 0, 0.2);
    }
    cairo_fill(cr);
  }
  // podium cups beside the first three ranks
  const Rgb medals[3] = {Hex(0xF0B820), Hex(0xC8D0DC), Hex(0xC87A40)};
  for (int rank = 1; rank <= 3; ++rank) {
    Trophy(cr, PanelX(L::kHighScoreRankX) - 17, PanelY(L::HighScoreRowY(rank)) + 15, 20,
           medals[rank - 1]);
  }
  // column heads over the rank, name and score
  const double head = PanelY(L::HighScoreRowY(1)) - 6;
  TextStyle heads = LabelStyle(12);
  DrawText(cr, "RANK", PanelX(L::kHighScoreRankX) - 6, head, heads);
  DrawText(cr, "NAME", PanelX(L::kHighScoreNameX), head, heads);
  DrawText(cr, "SCORE", PanelX(L::kHighScoreScoreX), head, heads);
  cairo_rectangle(cr, 14, head + 4, L::kSubPanelWidth - 28, 1.5);
  SetColour(cr, Hex(0xFFA020));
  cairo_fill(cr);
  return canvas.ToBitmap();
}

Bitmap CarChoicePanel() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, L::kSubPanelWidth, L::kSubPanelHeight);
  DrawText(cr, "CHOOSE YOUR CAR", L::kSubPanelWidth / 2.0, PanelY(L::kCarButtonY) - 11,
           TitleStyle(24), Align::Centre);
  const double below = PanelY(L::kCarButtonY + L::kCarButtonHeight) + 24;
  Hint(cr, 24, below,
       "All four are equally quick: 250 km/h flat out, 300 with a turbo. Pick the one you like.",
       L::kSubPanelWidth - 48);
  Hint(cr, 24, below + 42, "Left and right choose, Enter starts the race.", L::kSubPanelWidth - 48);
  return canvas.ToBitmap();
}

Bitmap CarButton(int car, bool highlighted) {
  const double w = L::kCarButtonWidth;
  const double h = L::kCarButtonHeight;
  Canvas canvas{int(w), int(h)};
  cairo_t* cr = canvas.Context();
  const CarModel& model = CarModelOf(car);
  RoundedRectPath(cr, 0, 0, w, h, 8);
  SetColour(cr, Hex(0x04060A));
  cairo_fill(cr);
  RoundedRectPath(cr, 1, 1, w - 2, h - 2, 7);
  cairo_pattern_t* rim = highlighted
                             ? VerticalGradient(0, h, Hex(0xFFF0B0), Hex(0xFFA010), Hex(0x9A4000))
                             : VerticalGradient(0, h, Hex(0x7A889E), Hex(0x465266), Hex(0x262E3A));
  cairo_set_source(cr, rim);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);

  // the garage bay the car stands in, lit from above when chosen
  const double bayBottom = h - 46;
  RoundedRectPath(cr, 5, 5, w - 10, bayBottom - 5, 5);
  cairo_pattern_t* bay = highlighted ? cairo_pattern_create_radial(w / 2, 60, 5, w / 2, 90, 120)
                                     : cairo_pattern_create_radial(w / 2, 70, 5, w / 2, 90, 110);
  if (highlighted) {
    AddStop(bay, 0, Hex(0x8A9CB8));
    AddStop(bay, 0.5, Hex(0x3A4A6A));
    AddStop(bay, 1, Hex(0x141C2C));
  } else {
    AddStop(bay, 0, Hex(0x2E3A50));
    AddStop(bay, 1, Hex(0x0C121E));
  }
  cairo_set_source(cr, bay);
  cairo_fill(cr);
  cairo_pattern_destroy(bay);
  // floor markings of the bay
  cairo_set_line_width(cr, 1.5);
  for (const double x : {14.0, w - 14}) {
    cairo_move_to(cr, x, 12);
    cairo_line_to(cr, x, bayBottom - 8);
  }
  cairo_set_source_rgba(cr, 1, 0.85, 0.3, highlighted ? 0.6 : 0.25);
  cairo_stroke(cr);

  const double scale = 1.25;
  const double carW = (model.Width + kCarShadowX) * scale;
  const double carH = (model.Height + kCarShadowY) * scale;
  DrawCar(cr, model, (w - carW) / 2, 8 + (bayBottom - 14 - carH) / 2, scale, false);

  // name plate and turbo colour
  RoundedRectPath(cr, 5, bayBottom + 3, w - 10, h - bayBottom - 8, 4);
  SetColour(cr, highlighted ? Hex(0x2A1200) : Hex(0x0A0E16));
  cairo_fill(cr);
  TextStyle name = highlighted ? TitleStyle(13) : LabelStyle(13);
  const double nameWidth = TextWidth(cr, model.Title, name);
  if (nameWidth > w - 18) name.StretchX *= (w - 18) / nameWidth;
  DrawText(cr, model.Title, w / 2, bayBottom + 20, name, Align::Centre);
  TextStyle turbo = BodyStyle(10);
  turbo.Weight = Face::Bold;
  turbo.Fill = highlighted ? Hex(0xFFE0A0) : Hex(0x9AA8BC);
  const std::string turboText = std::string("TURBO ") + TurboColourName(car);
  const double turboWidth = TextWidth(cr, turboText, turbo);
  const double left = (w - turboWidth - 12) / 2;
  RoundedRectPath(cr, left, bayBottom + 27, 8, 8, 2);
  SetColour(cr, TurboColourOf(car));
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x000000));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  DrawText(cr, turboText, left + 12, bayBottom + 35, turbo);
  return canvas.ToBitmap();
}

Bitmap NameEntry() {
  const double w = L::kDialogWidth;
  const double h = L::kNameEntryHeight;
  Canvas canvas{int(w), int(h)};
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, w, h);
  DrawText(cr, "NEW HIGH SCORE!", w / 2, 44, TitleStyle(28), Align::Centre);
  DrawText(cr, "Your score made the table. Type your name:", w / 2, 66, BodyStyle(13),
           Align::Centre);
  // the name is written from x 400 in the big font; the field leaves room up to the cursor's
  // right limit
  const double fieldLeft = DialogX(L::kNameX) - 10;
  const double fieldRight = w - 9;
  const double fieldTop = DialogY(L::kNameY) - 8;
  InsetWell(cr, fieldLeft, fieldTop, fieldRight - fieldLeft, 40, 5, Hex(0x060A14));
  Trophy(cr, 58, fieldTop + 20, 34, Hex(0xF0B820));
  DrawText(cr, "NAME", fieldLeft - 12, fieldTop + 27, LabelStyle(16), Align::Right);
  DrawText(cr, "Press Enter when done", w / 2, h - 18, BodyStyle(12), Align::Centre);
  return canvas.ToBitmap();
}

Bitmap SendResultsDialog() {
  const double w = L::kDialogWidth;
  const double h = L::kSendResultsHeight;
  Canvas canvas{int(w), int(h)};
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, w, h);
  DrawText(cr, "SEND YOUR RESULT?", w / 2, 46, TitleStyle(26), Align::Centre);
  DrawParagraph(cr,
                "Your name, score and country go to the online high-score table, where drivers "
                "everywhere compare their best runs.",
                34, 76, w - 68, 19, BodyStyle(13), Align::Centre);
  // the buttons stand in a recess at the bottom
  const double top = DialogY(L::kSendButtonY) - 8;
  InsetWell(cr, 20, top, w - 40, L::kSendButtonHeight + 16, 6, Hex(0x0A1020));
  return canvas.ToBitmap();
}

// The daily run: the title, a bay for the day's car, the table's heads and row bands, the band
// of the player's own best, and how to start.
Bitmap DailyRunPanel() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  FramedScreen(cr, 0, 0, L::kSubPanelWidth, L::kSubPanelHeight);
  DrawText(cr, "DAILY RUN", 24, 36, TitleStyle(26));
  cairo_rectangle(cr, 24, 44, 200, 2);
  cairo_pattern_t* rule = cairo_pattern_create_linear(24, 0, 224, 0);
  cairo_pattern_add_color_stop_rgba(rule, 0, 1, 0.7, 0.15, 1);
  cairo_pattern_add_color_stop_rgba(rule, 1, 1, 0.7, 0.15, 0);
  cairo_set_source(cr, rule);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  // the car bay: a recess the car picture stands in, labelled below
  const double bayX = PanelX(L::kDailyCarX) - 6;
  const double bayY = PanelY(L::kDailyCarY) - 6;
  RoundedRectPath(cr, bayX, bayY, L::kCarButtonWidth + 12, L::kCarButtonHeight + 12, 6);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  DrawText(cr, "TODAY'S CAR", bayX + (L::kCarButtonWidth + 12) / 2.0,
           bayY + L::kCarButtonHeight + 28, LabelStyle(11), Align::Centre);
  // the table: heads, then ten bands from 2 px below each text line
  const double tableLeft = PanelX(L::kDailyRankX) - 12;
  const double tableRight = L::kSubPanelWidth - 14;
  constexpr double kRowPitch = L::DailyRowY(2) - L::DailyRowY(1);
  const double head = PanelY(L::DailyRowY(1)) - 5;
  TextStyle heads = LabelStyle(11);
  DrawText(cr, "RANK", PanelX(L::kDailyRankX) - 6, head, heads);
  DrawText(cr, "NAME", PanelX(L::kDailyNameX), head, heads);
  DrawText(cr, "SCORE", PanelX(L::kDailyScoreX), head, heads);
  cairo_rectangle(cr, tableLeft, head + 4, tableRight - tableLeft, 1.5);
  SetColour(cr, Hex(0xFFA020));
  cairo_fill(cr);
  for (int rank = 1; rank <= 10; ++rank) {
    const double top = PanelY(L::DailyRowY(rank)) + 3;
    RoundedRectPath(cr, tableLeft, top, tableRight - tableLeft, kRowPitch - 2, 3);
    if (rank % 2 == 1) {
      cairo_set_source_rgba(cr, 0.5, 0.7, 1.0, 0.09);
    } else {
      cairo_set_source_rgba(cr, 0, 0, 0, 0.2);
    }
    cairo_fill(cr);
  }
  // the player's own best of the day, set apart in amber
  const double own = PanelY(L::kDailyOwnBestY) + 1;
  RoundedRectPath(cr, tableLeft, own, tableRight - tableLeft, kRowPitch + 2, 4);
  cairo_set_source_rgba(cr, 1, 0.65, 0.1, 0.16);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 1, 0.65, 0.1, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  Hint(cr, 24, PanelY(L::kDailyButtonY) + 17, "Enter starts the run, Esc goes back.",
       PanelX(L::kDailyButtonX) - 34);
  return canvas.ToBitmap();
}

}  // namespace

std::vector<ImageItemData> MenuScreenItems() {
  std::vector<ImageItemData> items;
  items.push_back(KeyedItem("OptionsBackground", OptionsPanel()));
  items.push_back(KeyedItem("OptionButton_Inactive", OptionButton(false)));
  items.push_back(KeyedItem("OptionButton_Active", OptionButton(true)));
  items.push_back(KeyedItem("Cursor", TextCursor()));
  items.push_back(KeyedItem("HighScoresBackground", HighScoresPanel()));
  items.push_back(KeyedItem("ClearHighScores",
                            TwoLookButton(L::kHighScoreButtonWidth, L::kHighScoreButtonHeight,
                                          "CLEAR TABLE", ButtonIcon::Trash),
                            L::kHighScoreButtonWidth, L::kHighScoreButtonHeight));
  items.push_back(KeyedItem("ViewHighScores",
                            TwoLookButton(L::kHighScoreButtonWidth, L::kHighScoreButtonHeight,
                                          "ONLINE TABLE", ButtonIcon::Globe),
                            L::kHighScoreButtonWidth, L::kHighScoreButtonHeight));
  items.push_back(KeyedItem("StartGameBackground", CarChoicePanel()));
  items.push_back(KeyedItem("DailyRunBackground", DailyRunPanel()));
  items.push_back(KeyedItem("DailyStartButton",
                            TwoLookButton(L::kDailyButtonWidth, L::kDailyButtonHeight, "START RUN",
                                          ButtonIcon::ArrowRight),
                            L::kDailyButtonWidth, L::kDailyButtonHeight));
  for (int car = 1; car <= 4; ++car) {
    items.push_back(KeyedItem("Car" + std::to_string(car), CarButton(car, false)));
  }
  for (int car = 1; car <= 4; ++car) {
    items.push_back(KeyedItem("Car" + std::to_string(car) + "_Active", CarButton(car, true)));
  }
  items.push_back(KeyedItem("EnterYourName", NameEntry()));
  items.push_back(KeyedItem("SendResults", SendResultsDialog()));
  items.push_back(KeyedItem(
      "OkButton2", TwoLookButton(L::kSendButtonWidth, L::kSendButtonHeight, "OK", ButtonIcon::Tick),
      L::kSendButtonWidth, L::kSendButtonHeight));
  items.push_back(KeyedItem(
      "CancelButton2",
      TwoLookButton(L::kSendButtonWidth, L::kSendButtonHeight, "CANCEL", ButtonIcon::Cross),
      L::kSendButtonWidth, L::kSendButtonHeight));
  return items;
}

}  // namespace rivoltra::pictures
