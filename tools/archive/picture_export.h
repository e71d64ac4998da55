#pragma once
// PNG output of the archive tool: single items and the labelled contact sheet, drawn with cairo.
#include <string>
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::archive_tool {

// The item's picture as a PNG; with `Transparent`, pixels equal to the colour key once both are
// converted to the display's 5-6-5 format (as the game keys them) are fully transparent.
// Throws std::runtime_error when the file cannot be written.
void WriteItemPng(const ImageItemData& item, const std::string& fileName);

// All items in file order on one sheet: each picture (scaled down if large) over a checkerboard,
// its pattern grid, and its name and size under it.
void WriteContactSheet(const std::vector<ImageItemData>& items, const std::string& title,
                       const std::string& fileName);

// Frees cairo's and fontconfig's caches, so leak checkers see a clean exit. Call once, last.
void ReleaseDrawingCaches();

}  // namespace rivoltra::archive_tool
