#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/component_stream.h"  // ArchiveError

namespace rivoltra {

// One item of a sound archive, as stored: the published properties of a sound item.
struct SoundItemData {
  std::string Name;
  bool Looped = false;
  // Negative values are stored as 0 (no limit) when read.
  int MaxPlayingCount = 0;
  // The complete RIFF wave image (see wave.h for building and parsing one); empty when the
  // item has no wave, and then not stored.
  std::vector<std::uint8_t> Wave;

  bool operator==(const SoundItemData&) const = default;
};

// Reads a ".sfx" sound archive. Every RIFF image is checked as it is read, so a broken wave
// stops the load with "<file>: Error reading TSoundItem.Wave.WAVE: Wave is invalid". Throws
// ArchiveError (or std::system_error when the file cannot be opened).
std::vector<SoundItemData> ReadSoundArchive(const std::string& fileName);
std::vector<SoundItemData> ReadSoundArchiveBytes(std::span<const std::uint8_t> bytes,
                                                 const std::string& fileName);

// Writes a ".sfx" sound archive; the wave images are stored as given.
void WriteSoundArchive(const std::string& fileName, const std::vector<SoundItemData>& items);
std::vector<std::uint8_t> WriteSoundArchiveBytes(const std::vector<SoundItemData>& items);

}  // namespace rivoltra
