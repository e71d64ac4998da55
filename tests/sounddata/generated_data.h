#pragma once

// Where the tests find the data the build generated, and where they may leave previews.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace rivoltra::sounddata {

// The build folder's Data, which the game_data target fills before the tests run.
inline std::filesystem::path BuildFolder() {
  const char* build = std::getenv("RIVOLTRA_BUILD_DIR");
  return build != nullptr ? std::filesystem::path(build) : std::filesystem::current_path();
}

inline std::filesystem::path DataFolder() { return BuildFolder() / "Data"; }

// RIVOLTRA_AUDIO_PREVIEW names a folder to write what the tests render, to listen to and to
// draw spectrograms from; unset, the tests write nothing.
inline std::optional<std::filesystem::path> PreviewFolder() {
  const char* folder = std::getenv("RIVOLTRA_AUDIO_PREVIEW");
  if (folder == nullptr || *folder == '\0') return std::nullopt;
  std::filesystem::create_directories(folder);
  return std::filesystem::path(folder);
}

struct Level {
  double PeakDecibels;
  double RmsDecibels;
  int FullScaleSamples;  // samples at the limits of 16 bits: clipping
};

inline Level Measure(std::span<const std::int16_t> samples) {
  double sum = 0.0;
  int peak = 0;
  int fullScale = 0;
  for (std::int16_t sample : samples) {
    const int magnitude = std::abs(static_cast<int>(sample));
    peak = std::max(peak, magnitude);
    if (sample == 32767 || sample == -32768) ++fullScale;
    sum += static_cast<double>(sample) * sample;
  }
  const double count = std::max<double>(1.0, static_cast<double>(samples.size()));
  auto decibels = [](double ratio) { return ratio > 0.0 ? 20.0 * std::log10(ratio) : -200.0; };
  return Level{decibels(peak / 32768.0), decibels(std::sqrt(sum / count) / 32768.0), fullScale};
}

}  // namespace rivoltra::sounddata
