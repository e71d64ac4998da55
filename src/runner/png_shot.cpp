#include "runner/png_shot.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace rivoltra {

void SaveSurfaceAsPng(const Surface& surface, const std::string& fileName) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "wb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot write " + fileName);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("cannot write " + fileName);
  }
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("cannot write " + fileName);
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()),
               static_cast<png_uint_32>(surface.Height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    const Pixel565* source = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      const std::uint32_t xrgb = Rgb565ToXrgb(source[x]);
      row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(xrgb >> 16);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(xrgb >> 8);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(xrgb);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
}

}  // namespace rivoltra
