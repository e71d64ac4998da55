#pragma once

#include <cstdint>
#include <string_view>

#include "engine/free_sprite.h"

namespace rivoltra {

struct Game;
class CaptionSprite;
class ImageItem;

// A caption picture from the race list on the root of the sprite tree: centred, Z 3.
CaptionSprite* NewRaceCaption(Game& game, std::string_view imageName);
ImageItem& RaceImage(Game& game, std::string_view imageName);
// The banner caption over the road (time over, game over), replacing one still standing.
void ShowBanner(Game& game, std::string_view imageName);
// The frame timer's interval in milliseconds: every race timer counts in steps of it.
std::int32_t RaceInterval(const Game& game);
// Frames per unit of lag for an animation of so many frames per second of game time.
double SceneFramesPerLag(const Game& game, double framesPerSecond);

}  // namespace rivoltra
