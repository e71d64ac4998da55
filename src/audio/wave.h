#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rivoltra {

// A wave as the sound list keeps it: the format block exactly as found in the file and the
// sample data.
struct WaveData {
  std::vector<std::uint8_t> FormatBlock;
  std::vector<std::uint8_t> Samples;

  bool operator==(const WaveData&) const = default;
};

// Reads a RIFF wave image. A bad RIFF header throws FormatError("Wave is invalid"); a "fmt " or
// "data" chunk cut short throws FormatError("Stream read error"). Chunks of other identifiers
// are skipped by exactly their size; a chunk header that cannot be read ends the image, so a
// wave without a data chunk has no samples.
WaveData ParseWave(std::span<const std::uint8_t> riffImage);

// The RIFF image of a wave: header, "fmt " chunk, "data" chunk. ParseWave reads it back equal.
std::vector<std::uint8_t> MakeWaveImage(const WaveData& wave);

// What an output needs to know to play uncompressed samples.
struct PcmFormat {
  int SampleRate = 0;
  int Channels = 0;
  int BitsPerSample = 0;

  int BytesPerFrame() const { return Channels * BitsPerSample / 8; }
  bool operator==(const PcmFormat&) const = default;
};

// The format block's PCM description, or nothing when the outputs cannot play it (not PCM, more
// than two channels, other than 8 or 16 bits, an unusable rate or an inconsistent block align).
std::optional<PcmFormat> ReadPcmFormat(std::span<const std::uint8_t> formatBlock);

// A 16-byte PCM format block.
std::vector<std::uint8_t> MakePcmFormatBlock(const PcmFormat& format);

// A complete RIFF image of PCM samples, for tools and tests.
std::vector<std::uint8_t> MakePcmWaveImage(const PcmFormat& format,
                                           std::span<const std::uint8_t> samples);

}  // namespace rivoltra
