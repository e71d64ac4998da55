#include "pictures/image_lists.h"

#include <iterator>

#include "pictures/bitmap_fonts.h"
#include "pictures/bonuses.h"
#include "pictures/cars.h"
#include "pictures/explosions.h"
#include "pictures/help_pages.h"
#include "pictures/hud.h"
#include "pictures/main_menu.h"
#include "pictures/menu_screens.h"
#include "pictures/obstacles.h"
#include "pictures/roadside.h"
#include "pictures/settings_screens.h"

namespace rivoltra::pictures {

namespace {

void Append(std::vector<ImageItemData>& list, std::vector<ImageItemData> more) {
  list.insert(list.end(), std::make_move_iterator(more.begin()),
              std::make_move_iterator(more.end()));
}

}  // namespace

std::vector<ImageItemData> InterfaceImages() {
  std::vector<ImageItemData> list;
  Append(list, MainMenuItems());
  Append(list, MenuScreenItems());
  Append(list, SettingsScreenItems());
  Append(list, HelpItems());
  Append(list, BitmapFontItems());
  return list;
}

std::vector<ImageItemData> RaceImages() {
  std::vector<ImageItemData> list;
  Append(list, RaceCarItems());
  Append(list, ObstacleItems());
  Append(list, RoadsideItems());
  Append(list, BonusItems());
  Append(list, ExplosionItems());
  Append(list, HudItems());
  return list;
}

}  // namespace rivoltra::pictures
