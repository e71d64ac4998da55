#include "pictures/image_lists.h"

#include <iterator>

#include "pictures/bitmap_fonts.h"
#include "pictures/cars.h"

namespace rivoltra::pictures {

namespace {

void Append(std::vector<ImageItemData>& list, std::vector<ImageItemData> more) {
  list.insert(list.end(), std::make_move_iterator(more.begin()),
              std::make_move_iterator(more.end()));
}

}  // namespace

std::vector<ImageItemData> InterfaceImages() {
  std::vector<ImageItemData> list;
  Append(list, BitmapFontItems());
  return list;
}

std::vector<ImageItemData> RaceImages() {
  std::vector<ImageItemData> list;
  Append(list, RaceCarItems());
  return list;
}

}  // namespace rivoltra::pictures
