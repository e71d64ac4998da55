#include "pictures/typeface.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <sstream>
#include <stdexcept>

namespace rivoltra::pictures {

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

cairo_font_face_t* LoadFace(const char* fileName) {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    if (FT_Init_FreeType(&created) != 0) throw std::runtime_error("FreeType does not start");
    return created;
  }();
  const std::string path = std::string(kFontFolder) + fileName;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    throw std::runtime_error("cannot load the font " + path + " (package fonts-dejavu-core)");
  }
  // the face and its cairo wrapper live until the program ends
  return cairo_ft_font_face_create_for_ft_face(face, 0);
}

void ApplyFontOptions(cairo_t* cr, bool hinted) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options,
                                    hinted ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options,
                                      hinted ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

}  // namespace

cairo_font_face_t* FontFace(Face face) {
  static cairo_font_face_t* bold = LoadFace("DejaVuSans-Bold.ttf");
  static cairo_font_face_t* regular = LoadFace("DejaVuSans.ttf");
  return face == Face::Bold ? bold : regular;
}

void SelectFont(cairo_t* cr, const TextStyle& style) {
  cairo_set_font_face(cr, FontFace(style.Weight));
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, style.Size * style.StretchX, 0, -style.Slant * style.Size, style.Size,
                    0, 0);
  cairo_set_font_matrix(cr, &matrix);
  ApplyFontOptions(cr, style.Hinted);
}

double TextWidth(cairo_t* cr, const std::string& text, const TextStyle& style) {
  cairo_save(cr);
  SelectFont(cr, style);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_restore(cr);
  return extents.x_advance;
}

double CapHeight(cairo_t* cr, const TextStyle& style) {
  cairo_save(cr);
  SelectFont(cr, style);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, "H", &extents);
  cairo_restore(cr);
  return -extents.y_bearing;
}

void DrawText(cairo_t* cr, const std::string& text, double x, double baseline,
              const TextStyle& style, Align align) {
  if (text.empty()) return;
  cairo_save(cr);
  SelectFont(cr, style);
  const double width = TextWidth(cr, text, style);
  double left = x;
  if (align == Align::Centre) left = x - width / 2;
  if (align == Align::Right) left = x - width;

  if (style.Hinted && style.OutlineWidth <= 0 && !style.Gradient) {
    if (style.ShadowX != 0 || style.ShadowY != 0) {
      SetColour(cr, style.Shadow);
      cairo_move_to(cr, left + style.ShadowX, baseline + style.ShadowY);
      cairo_show_text(cr, text.c_str());
    }
    SetColour(cr, style.Fill);
    cairo_move_to(cr, left, baseline);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
    return;
  }

  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  auto path = [&](double dx, double dy) {
    cairo_new_path(cr);
    cairo_move_to(cr, left + dx, baseline + dy);
    cairo_text_path(cr, text.c_str());
  };
  if (style.ShadowX != 0 || style.ShadowY != 0) {
    path(style.ShadowX, style.ShadowY);
    SetColour(cr, style.Shadow);
    if (style.OutlineWidth > 0) {
      cairo_set_line_width(cr, style.OutlineWidth * 2);
      cairo_stroke_preserve(cr);
    }
    cairo_fill(cr);
  }
  path(0, 0);
  if (style.OutlineWidth > 0) {
    SetColour(cr, style.Outline);
    cairo_set_line_width(cr, style.OutlineWidth * 2);
    cairo_stroke_preserve(cr);
  }
  if (style.Gradient) {
    const double cap = CapHeight(cr, style);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, baseline - cap, 0, baseline);
    AddStop(fill, 0, style.Fill);
    AddStop(fill, 1, style.FillBottom);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
  } else {
    SetColour(cr, style.Fill);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

std::vector<std::string> WrapText(cairo_t* cr, const std::string& text, double width,
                                  const TextStyle& style) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  std::string word;
  std::string line;
  while (words >> word) {
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(cr, candidate, style) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

double DrawParagraph(cairo_t* cr, const std::string& text, double x, double baseline, double width,
                     double lineHeight, const TextStyle& style, Align align) {
  double anchor = x;
  if (align == Align::Centre) anchor = x + width / 2;
  if (align == Align::Right) anchor = x + width;
  for (const std::string& line : WrapText(cr, text, width, style)) {
    DrawText(cr, line, anchor, baseline, style, align);
    baseline += lineHeight;
  }
  return baseline;
}

}  // namespace rivoltra::pictures
