#pragma once

#include <string>

#include "engine/surface.h"

namespace rivoltra {

// Saves a 5-6-5 surface as an RGB PNG; throws std::runtime_error naming the file on failure.
void SaveSurfaceAsPng(const Surface& surface, const std::string& fileName);

}  // namespace rivoltra
