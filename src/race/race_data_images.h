#pragma once

#include <cstdint>

#include "race/core/race_data.h"

namespace rivoltra {

class ImageList;

// The race data of the loaded race pictures ("Car1".."Car10", the kinds' pictures and the two
// explosions) and the frame timer's interval. Throws ImageListError when a picture is missing.
RaceData RaceDataFromImages(const ImageList& raceImages, std::int32_t intervalMs);

}  // namespace rivoltra
