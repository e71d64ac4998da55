#include "audio/wave.h"

#include <cstring>
#include <stdexcept>

#include "engine/component_stream.h"

namespace rivoltra {

namespace {

constexpr char kWaveIsInvalid[] = "Wave is invalid";
constexpr std::uint16_t kPcmFormatTag = 1;
// Rates outside this range are corrupt data, not music; the outputs resample to their own rate.
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;

bool IsFourCC(std::span<const std::uint8_t> bytes, const char (&code)[5]) {
  return std::memcmp(bytes.data(), code, 4) == 0;
}

void AppendFourCC(std::vector<std::uint8_t>& out, const char (&code)[5]) {
  out.insert(out.end(), code, code + 4);
}

std::uint32_t ChunkSize(std::size_t size) {
  if (size > 0xFFFFFFFFu) throw std::length_error("a RIFF chunk holds at most 4 GiB");
  return static_cast<std::uint32_t>(size);
}

}  // namespace

WaveData ParseWave(std::span<const std::uint8_t> riffImage) {
  ByteCursor cursor(riffImage);
  if (cursor.Remaining() < 12) throw FormatError(kWaveIsInvalid);
  auto riff = cursor.Bytes(4);
  cursor.Skip(4);  // the RIFF size is not trusted; the image ends where its bytes end
  auto wave = cursor.Bytes(4);
  if (!IsFourCC(riff, "RIFF") || !IsFourCC(wave, "WAVE")) throw FormatError(kWaveIsInvalid);

  WaveData result;
  while (cursor.Remaining() >= 8) {
    auto id = cursor.Bytes(4);
    const std::uint32_t size = cursor.U32();
    if (IsFourCC(id, "fmt ")) {
      auto block = cursor.Bytes(size);
      result.FormatBlock.assign(block.begin(), block.end());
    } else if (IsFourCC(id, "data")) {
      auto samples = cursor.Bytes(size);
      result.Samples.assign(samples.begin(), samples.end());
    } else {
      // No pad byte is skipped after odd sizes: images written that way must keep loading.
      if (size > cursor.Remaining()) break;
      cursor.Skip(size);
    }
  }
  return result;
}

std::vector<std::uint8_t> MakeWaveImage(const WaveData& wave) {
  std::vector<std::uint8_t> out;
  out.reserve(20 + wave.FormatBlock.size() + 8 + wave.Samples.size());
  AppendFourCC(out, "RIFF");
  AppendU32(out, ChunkSize(4 + 8 + wave.FormatBlock.size() + 8 + wave.Samples.size()));
  AppendFourCC(out, "WAVE");
  AppendFourCC(out, "fmt ");
  AppendU32(out, ChunkSize(wave.FormatBlock.size()));
  out.insert(out.end(), wave.FormatBlock.begin(), wave.FormatBlock.end());
  AppendFourCC(out, "data");
  AppendU32(out, ChunkSize(wave.Samples.size()));
  out.insert(out.end(), wave.Samples.begin(), wave.Samples.end());
  return out;
}

std::optional<PcmFormat> ReadPcmFormat(std::span<const std::uint8_t> formatBlock) {
  if (formatBlock.size() < 16) return std::nullopt;
  ByteCursor cursor(formatBlock);
  const std::uint16_t tag = cursor.U16();
  const std::uint16_t channels = cursor.U16();
  const std::uint32_t rate = cursor.U32();
  cursor.Skip(4);  // bytes per second: derived, and often wrong in hand-made files
  const std::uint16_t blockAlign = cursor.U16();
  const std::uint16_t bits = cursor.U16();
  if (tag != kPcmFormatTag) return std::nullopt;
  if (channels < 1 || channels > 2) return std::nullopt;
  if (bits != 8 && bits != 16) return std::nullopt;
  if (rate < kMinSampleRate || rate > kMaxSampleRate) return std::nullopt;
  PcmFormat format{static_cast<int>(rate), channels, bits};
  if (blockAlign != format.BytesPerFrame()) return std::nullopt;
  return format;
}

std::vector<std::uint8_t> MakePcmFormatBlock(const PcmFormat& format) {
  std::vector<std::uint8_t> block;
  AppendU16(block, kPcmFormatTag);
  AppendU16(block, static_cast<std::uint16_t>(format.Channels));
  AppendU32(block, static_cast<std::uint32_t>(format.SampleRate));
  AppendU32(block, static_cast<std::uint32_t>(format.SampleRate * format.BytesPerFrame()));
  AppendU16(block, static_cast<std::uint16_t>(format.BytesPerFrame()));
  AppendU16(block, static_cast<std::uint16_t>(format.BitsPerSample));
  return block;
}

std::vector<std::uint8_t> MakePcmWaveImage(const PcmFormat& format,
                                           std::span<const std::uint8_t> samples) {
  return MakeWaveImage(WaveData{MakePcmFormatBlock(format),
                                std::vector<std::uint8_t>(samples.begin(), samples.end())});
}

}  // namespace rivoltra
