#pragma once
// Per-item PNGs and contact sheets of an image list.
#include <string>

#include "screen.h"

namespace rivoltra::preview {

// Writes folder/<name>.png for every item, transparent where the colour key is.
void WriteItemPngs(const ImageSet& images, const std::string& folder);
// Writes one sheet with every item on a checkerboard, its name and pattern grid.
void WriteContactSheet(const ImageSet& images, const std::string& title,
                       const std::string& fileName);

}  // namespace rivoltra::preview
