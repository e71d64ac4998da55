#pragma once

#include <cstdint>
#include <string>

namespace rivoltra {

// The player's options, kept in the settings file between runs.
struct Settings {
  std::uint8_t FullScreen = 0;
  std::uint8_t MusicEnabled = 1;
  std::uint8_t SoundEnabled = 1;
  std::string Country;
};

}  // namespace rivoltra
