#pragma once
// The four help pages (controls, the road's dangers, bonuses, levels and traffic) and the
// buttons that turn them.
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// "Help1".."Help4", "Previous", "Next".
std::vector<ImageItemData> HelpItems();

}  // namespace rivoltra::pictures
