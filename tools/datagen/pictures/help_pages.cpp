#include "pictures/help_pages.h"

#include <cmath>
#include <functional>
#include <string>

#include "pictures/art.h"
#include "pictures/bonuses.h"
#include "pictures/cars.h"
#include "pictures/menu_widgets.h"
#include "pictures/obstacles.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"
#include "ui/screen_layout.h"

namespace rivoltra::pictures {

namespace {

namespace L = layout;

constexpr int kPages = 4;
constexpr double kIconColumn = 24;  // left edge of the pictures
constexpr double kIconWidth = 112;
constexpr double kTextLeft = 148;
constexpr double kTextRight = L::kSubPanelWidth - 24;

// Everything a page shares: the screen, its title, and which page of four this is, shown as
// lamps between the two buttons.
void PageFrame(cairo_t* cr, int page, const std::string& title) {
  FramedScreen(cr, 0, 0, L::kSubPanelWidth, L::kSubPanelHeight);
  DrawText(cr, title, 24, 40, TitleStyle(24));
  TextStyle counter = LabelStyle(11);
  DrawText(cr, "PAGE " + std::to_string(page) + " OF 4", kTextRight, 36, counter, Align::Right);
  cairo_rectangle(cr, 24, 50, kTextRight - 24, 1.5);
  cairo_pattern_t* rule = cairo_pattern_create_linear(24, 0, kTextRight, 0);
  cairo_pattern_add_color_stop_rgba(rule, 0, 1, 0.65, 0.1, 1);
  cairo_pattern_add_color_stop_rgba(rule, 1, 1, 0.65, 0.1, 0.1);
  cairo_set_source(cr, rule);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  const double lampsY = L::kHelpButtonY + L::kHelpButtonHeight / 2.0 - L::kSubPanelY;
  for (int i = 1; i <= kPages; ++i) {
    Lamp(cr, L::kSubPanelWidth / 2.0 + (i - 2.5) * 22, lampsY, 5, Hex(0xFFA020), i == page);
  }
}

// One explained item: a picture in the left column, and beside it a bold lead running into
// its explanation, the whole block centred on the row.
double Entry(cairo_t* cr, double top, double height, const std::string& lead,
             const std::string& text, const std::function<void(double cx, double cy)>& picture) {
  picture(kIconColumn + kIconWidth / 2, top + height / 2);
  const TextStyle leadStyle = AccentStyle(12.5);
  const TextStyle body = BodyStyle(12.5);
  const double lineHeight = 16;
  const double indent = TextWidth(cr, lead, leadStyle) + 7;
  // the first line is shorter by the lead; wrap word by word
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    start = end + 1;
    const std::string candidate = line.empty() ? word : line + " " + word;
    const double room = (lines.empty() ? kTextRight - kTextLeft - indent : kTextRight - kTextLeft);
    if (!line.empty() && TextWidth(cr, candidate, body) > room) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.empty()) lines.push_back(line);
  double baseline = top + (height - lineHeight * double(lines.size())) / 2 + 12;
  DrawText(cr, lead, kTextLeft, baseline, leadStyle);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    DrawText(cr, lines[i], kTextLeft + (i == 0 ? indent : 0), baseline, body);
    baseline += lineHeight;
  }
  return top + height;
}

// Draws a picture centred on (cx, cy), scaled down if it would not fit the icon column.
void Centred(cairo_t* cr, const Bitmap& bitmap, double cx, double cy, double maxHeight) {
  const double scale = std::min({1.0, kIconWidth / bitmap.Width, maxHeight / bitmap.Height});
  PaintBitmap(cr, bitmap, std::round(cx - bitmap.Width * scale / 2),
              std::round(cy - bitmap.Height * scale / 2), scale);
}

Bitmap CarPicture(int number, bool facingDown) {
  const CarModel& model = CarModelOf(number);
  Canvas canvas(model.Width + kCarShadowX, model.Height + kCarShadowY);
  DrawCar(canvas.Context(), model, 0, 0, 1.0, facingDown);
  return canvas.ToBitmap();
}

void Keys(cairo_t* cr, double cx, double cy,
          const std::vector<std::pair<std::string, double>>& keys, const std::string& joiner = "") {
  double total = 0;
  for (const auto& key : keys) total += key.second + 6;
  total -= 6;
  if (!joiner.empty()) total += 14 * double(keys.size() - 1);
  double x = cx - total / 2;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    KeyCap(cr, keys[i].first, x, cy - 8, keys[i].second);
    x += keys[i].second + 6;
    if (!joiner.empty() && i + 1 < keys.size()) {
      TextStyle small = LabelStyle(9);
      DrawText(cr, joiner, x + 1, cy + 4, small, Align::Left);
      x += 14;
    }
  }
}

Bitmap ControlsPage() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  PageFrame(cr, 1, "DRIVING");
  const char* const up = "\xE2\x86\x91";
  const char* const down = "\xE2\x86\x93";
  const char* const left = "\xE2\x86\x90";
  const char* const right = "\xE2\x86\x92";
  double y = 56;
  const double row = 35;
  y = Entry(cr, y, row, "ACCELERATE", "Up arrow or keypad 8.", [&](double cx, double cy) {
    Keys(cr, cx, cy, {{up, 22}, {"8", 22}}, "OR");
  });
  y = Entry(cr, y, row, "BRAKE", "Down arrow. Off the gas, you keep your speed.",
            [&](double cx, double cy) {
              Keys(cr, cx, cy, {{down, 22}});
            });
  y = Entry(cr, y, row, "STEER", "Left and right arrows; sharper at speed.",
            [&](double cx, double cy) {
              Keys(cr, cx, cy, {{left, 22}, {right, 22}});
            });
  y = Entry(cr, y, row, "FIRE", "Ctrl or space, while you carry the gun.",
            [&](double cx, double cy) {
              Keys(cr, cx, cy, {{"CTRL", 34}, {"SPACE", 44}});
            });
  y = Entry(cr, y, row, "PAUSE", "P; press P again to drive on.", [&](double cx, double cy) {
    Keys(cr, cx, cy, {{"P", 22}});
  });
  y = Entry(cr, y, row, "GIVE UP", "Escape, then Y ends the game, N races on.",
            [&](double cx, double cy) {
              Keys(cr, cx, cy, {{"ESC", 30}, {"Y", 20}, {"N", 20}});
            });
  Entry(cr, y, row, "FULL SCREEN", "Alt+Enter: window or full screen.", [&](double cx, double cy) {
    Keys(cr, cx, cy, {{"ALT", 28}, {"ENTER", 42}}, "+");
  });
  return canvas.ToBitmap();
}

Bitmap DangersPage() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  PageFrame(cr, 2, "ON THE ROAD");
  double y = 54;
  const double row = 42;
  y = Entry(
      cr, y, row, "BRICK WALLS",
      "Above 150 km/h a wall wrecks your car and costs a life; slower, it just stops you.",
      [&](double cx, double cy) { Centred(cr, ObstacleBitmap(Obstacle::Wall05), cx, cy, 36); });
  y = Entry(
      cr, y, row, "SPIKE STRIP",
      "A flat tyre: down to 50 km/h, no gas or brake for 10 seconds. Steering still works.",
      [&](double cx, double cy) { Centred(cr, ObstacleBitmap(Obstacle::Spike10), cx, cy, 36); });
  y = Entry(
      cr, y, row, "WATER", "You skid a lane sideways and lose 100 km/h.",
      [&](double cx, double cy) { Centred(cr, ObstacleBitmap(Obstacle::Water05), cx, cy, 36); });
  y = Entry(cr, y, row, "STONES AND CRACKS", "A stone costs 100 km/h, small stones 40, a crack 20.",
            [&](double cx, double cy) {
              Centred(cr, ObstacleBitmap(Obstacle::Stone05), cx - 30, cy, 36);
              Centred(cr, ObstacleBitmap(Obstacle::StoneSmall05), cx + 30, cy, 32);
            });
  y = Entry(
      cr, y, row, "RABBITS", "Spare them! Running one over costs 100 points.",
      [&](double cx, double cy) { Centred(cr, ObstacleBitmap(Obstacle::Rabbit), cx, cy, 36); });
  Entry(cr, y, row, "DIRT STRIP",
        "The rough ground left of the road halves your top speed and acceleration.",
        [&](double cx, double cy) {
          RoundedRectPath(cr, cx - 40, cy - 16, 80, 32, 4);
          cairo_pattern_t* dirt =
              VerticalGradient(cy - 16, cy + 16, Hex(0xA88058), Hex(0x8E6E48), Hex(0x6A5034));
          cairo_set_source(cr, dirt);
          cairo_fill(cr);
          cairo_pattern_destroy(dirt);
          for (int i = 0; i < 4; ++i) {
            cairo_rectangle(cr, cx + 32, cy - 16 + i * 8, 8, 4);
            SetColour(cr, Hex(0xC42A20));
            cairo_fill(cr);
            cairo_rectangle(cr, cx + 32, cy - 12 + i * 8, 8, 4);
            SetColour(cr, Hex(0xEEEEE8));
            cairo_fill(cr);
          }
        });
  return canvas.ToBitmap();
}

Bitmap BonusPage() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  PageFrame(cr, 3, "BONUSES");
  double y = 56;
  const double row = 48;
  y = Entry(cr, y, row, "POINTS", "10, 20, 50 or 100, as the token says.",
            [&](double cx, double cy) {
              const Bonus values[] = {Bonus::Points10, Bonus::Points20, Bonus::Points50,
                                      Bonus::Points100};
              for (int i = 0; i < 4; ++i) {
                Centred(cr, TokenBitmap(values[i]), cx - 42 + i * 28, cy + (i % 2 ? 4 : -4), 28);
              }
            });
  y = Entry(cr, y, row, "GUN",
            "Ten seconds of fire on Ctrl or space. Three hits wreck a wall (10 points) or a car "
            "(20 points); bonuses burst for nothing.",
            [&](double cx, double cy) { Centred(cr, TokenBitmap(Bonus::Gun), cx, cy, 40); });
  y = Entry(cr, y, row, "TURBO",
            "Ten seconds at up to 300 km/h instead of 250, with a harder kick.",
            [&](double cx, double cy) { Centred(cr, TokenBitmap(Bonus::Turbo), cx, cy, 40); });
  y = Entry(cr, y, row, "EXTRA LIFE", "One more car in reserve.",
            [&](double cx, double cy) { Centred(cr, TokenBitmap(Bonus::Life), cx, cy, 40); });
  Entry(cr, y, row, "ONE AT A TIME",
        "A gun ends the turbo, a turbo ends the gun; the same bonus again restarts its ten "
        "seconds. The right panel counts them down.",
        [&](double cx, double cy) {
          RoundedRectPath(cr, cx - 30, cy - 16, 60, 32, 4);
          SetColour(cr, Hex(0x0C1A26));
          cairo_fill(cr);
          TextStyle digits = AccentStyle(20);
          DrawText(cr, "10", cx, cy + 8, digits, Align::Centre);
        });
  return canvas.ToBitmap();
}

void Stopwatch(cairo_t* cr, double cx, double cy) {
  cairo_arc(cr, cx, cy + 2, 15, 0, 2 * M_PI);
  SetColour(cr, Hex(0x0A0C10));
  cairo_fill(cr);
  cairo_arc(cr, cx, cy + 2, 13, 0, 2 * M_PI);
  cairo_pattern_t* face = cairo_pattern_create_radial(cx - 4, cy - 3, 1, cx, cy + 2, 14);
  AddStop(face, 0, Hex(0xFFFFFF));
  AddStop(face, 1, Hex(0xB8C0CC));
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  cairo_rectangle(cr, cx - 3, cy - 17, 6, 4);
  SetColour(cr, Hex(0x8A94A4));
  cairo_fill(cr);
  cairo_set_line_width(cr, 2);
  cairo_move_to(cr, cx, cy + 2);
  cairo_line_to(cr, cx + 6, cy - 5);
  SetColour(cr, Hex(0xD02010));
  cairo_stroke(cr);
}

Bitmap RulesPage() {
  Canvas canvas(L::kSubPanelWidth, L::kSubPanelHeight);
  cairo_t* cr = canvas.Context();
  PageFrame(cr, 4, "TRAFFIC AND SCORE");
  double y = 56;
  y = Entry(cr, y, 72, "TRAFFIC",
            "Every third level is busy: cars going your way in the middle and right lanes, "
            "oncoming cars in the left and middle lanes. Any car you touch is wrecked, and if "
            "you close in on it at more than 50 km/h you lose a life too.",
            [&](double cx, double cy) {
              Centred(cr, CarPicture(6, true), cx - 22, cy, 66);
              Centred(cr, CarPicture(5, false), cx + 22, cy, 66);
            });
  y = Entry(cr, y, 48, "THE CLOCK",
            "Reach the finish before the time runs out. Out of time, you lose a life and drive "
            "the level again.",
            [&](double cx, double cy) { Stopwatch(cr, cx, cy); });
  y = Entry(cr, y, 42, "TIME BONUS",
            "Every second left on the clock at the finish is worth 5 points.",
            [&](double cx, double cy) {
              for (int row = 0; row < 3; ++row) {
                for (int column = 0; column < 8; ++column) {
                  cairo_rectangle(cr, cx - 32 + column * 8, cy - 12 + row * 8, 8, 8);
                  SetColour(cr, (row + column) % 2 ? Hex(0x141416) : Hex(0xF2F2EE));
                  cairo_fill(cr);
                }
              }
            });
  Entry(cr, y, 48, "LIVES",
        "You start with three. When the last is gone, a good score earns a place in the "
        "high-score table.",
        [&](double cx, double cy) {
          for (int i = 0; i < 3; ++i) DrawHeartIcon(cr, cx - 22 + i * 22, cy, 9);
        });
  return canvas.ToBitmap();
}

}  // namespace

std::vector<ImageItemData> HelpItems() {
  return {
      KeyedItem("Help1", ControlsPage()),
      KeyedItem("Help2", DangersPage()),
      KeyedItem("Help3", BonusPage()),
      KeyedItem("Help4", RulesPage()),
      KeyedItem(
          "Previous",
          TwoLookButton(L::kHelpButtonWidth, L::kHelpButtonHeight, "BACK", ButtonIcon::ArrowLeft),
          L::kHelpButtonWidth, L::kHelpButtonHeight),
      KeyedItem(
          "Next",
          TwoLookButton(L::kHelpButtonWidth, L::kHelpButtonHeight, "NEXT", ButtonIcon::ArrowRight),
          L::kHelpButtonWidth, L::kHelpButtonHeight),
  };
}

}  // namespace rivoltra::pictures
