#pragma once

#include <string_view>

#include "race/core/race_events.h"

namespace rivoltra {

// What the race's events mean on the screen and in the speakers: the scene's mapping of the
// rules' sounds and banners to the game's assets and words.

// The sound list's name of the effect.
std::string_view SoundName(SoundId sound);
// The race list's picture of a banner standing over the road; empty for the written ones.
std::string_view BannerPicture(BannerId banner);

// A banner written over a frame, and where it stands.
struct BannerText {
  std::string_view Words;
  // The short words stand further right than the long ones.
  bool Short = false;
};
BannerText BannerTextOf(BannerId banner);

}  // namespace rivoltra
