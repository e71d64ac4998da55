#include "race/race_data_images.h"

#include <string>

#include "engine/image_list.h"
#include "race/core/track_kinds.h"

namespace rivoltra {

namespace {

PictureSize SizeOf(const ImageList& images, std::string_view name) {
  const ImageItem& item = images.ItemByName(name);
  return {item.Width(), item.Height(), item.PatternCount()};
}

}  // namespace

RaceData RaceDataFromImages(const ImageList& raceImages, std::int32_t intervalMs) {
  RaceData data;
  data.IntervalMs = intervalMs;
  for (int car = 1; car <= kCarCount; ++car) {
    data.Cars[static_cast<std::size_t>(car)] = SizeOf(raceImages, "Car" + std::to_string(car));
  }
  for (int kind = 1; kind <= kKindCount; ++kind) {
    data.Kinds[static_cast<std::size_t>(kind)] =
        SizeOf(raceImages, KindInfo(KindFromNumber(kind)).Image);
  }
  data.ExplosionSmall = SizeOf(raceImages, "ExplosionSmall");
  data.ExplosionBig = SizeOf(raceImages, "ExplosionBig");
  return data;
}

}  // namespace rivoltra
