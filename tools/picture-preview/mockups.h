#pragma once
// Mock-ups of the game's screens, composed from the pictures at the positions the game uses.
#include <string>

#include "screen.h"

namespace rivoltra::preview {

void WriteMockups(const ImageSet& interfaceImages, const ImageSet& raceImages,
                  const std::string& folder);

}  // namespace rivoltra::preview
