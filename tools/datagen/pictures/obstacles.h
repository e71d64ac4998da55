#pragma once
// Hazards on the road: brick walls, the spike strip, water, stones, the crack and the rabbit.
#include <vector>

#include "engine/image_archive.h"
#include "pictures/art.h"

namespace rivoltra::pictures {

enum class Obstacle {
  Wall05,
  Wall10,
  Spike10,
  Water05,
  Water10,
  Stone05,
  StoneSmall05,
  Crack,
  Rabbit
};

// The obstacle's picture (first frame for the rabbit); the help pages show these too.
Bitmap ObstacleBitmap(Obstacle obstacle);

// "Wall05", "Wall10", "Spike10", "Water05", "Water10", "Stone05", "StoneSmall05", "Crack",
// "Rabbit".
std::vector<ImageItemData> ObstacleItems();

}  // namespace rivoltra::pictures
