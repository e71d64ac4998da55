#pragma once
// The parts every menu picture is built from: the framed screen of a sub-screen panel or
// dialog, buttons in their two looks, titles and running text.
#include <cairo.h>

#include <string>
#include <vector>

#include "pictures/art.h"
#include "pictures/typeface.h"

namespace rivoltra::pictures {

// A steel frame around a dark blue screen; returns nothing, draws into the whole rectangle.
void FramedScreen(cairo_t* cr, double x, double y, double width, double height);

// Title lettering: amber-to-fire with a dark outline, as on the banners.
TextStyle TitleStyle(double size);
// Light running text for explanations on dark screens.
TextStyle BodyStyle(double size);
// Small steel-grey lettering for labels and column heads.
TextStyle LabelStyle(double size);
// Hot amber running text, for what matters most in a paragraph.
TextStyle AccentStyle(double size);

enum class ButtonIcon { None, ArrowLeft, ArrowRight, Trash, Globe, Tick, Cross };

// A button face of the given size in its normal or highlighted look.
void DrawButton(cairo_t* cr, double width, double height, const std::string& text, ButtonIcon icon,
                bool highlighted);
// The two looks stacked: pattern 0 normal on top, pattern 1 highlighted below.
Bitmap TwoLookButton(int width, int height, const std::string& text, ButtonIcon icon);

// A round lamp set into a panel, lit or dark.
void Lamp(cairo_t* cr, double cx, double cy, double radius, Rgb colour, bool lit);

// A key of the keyboard with its name, 16 px high.
void KeyCap(cairo_t* cr, const std::string& key, double x, double y, double w);

// A small golden cup.
void Trophy(cairo_t* cr, double cx, double cy, double size, Rgb metal);

}  // namespace rivoltra::pictures
