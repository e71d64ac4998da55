#pragma once
// The game shows every picture through a 5-6-5 display surface, so colours that differ only in
// the bits that conversion drops look the same on screen. Merging them leaves what is seen as
// it was, lets many race pictures fit a colour table and makes the rest compress far better.
#include "engine/image_archive.h"

namespace rivoltra::pictures {

// Replaces every pixel by the most frequent colour of the item's pixels that convert to the
// same 5-6-5 value (the smaller colour on a tie; the item's colour key whenever it is one of
// them), so the converted picture stays pixel for pixel what it was.
void MergeDisplayTwins(ImageItemData& item);

}  // namespace rivoltra::pictures
