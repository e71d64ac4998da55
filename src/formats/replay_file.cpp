#include "formats/replay_file.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "system/file_names.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

// Fixed part of the header: magic 4, version 2, file length 4, fingerprint 8, random state 4,
// car 1, tick count 4, tick stream length 4.
constexpr std::size_t kFixedHeaderBytes = 31;
constexpr std::size_t kFileLengthOffset = 6;
// Score 4, level 2, ticks played 4.
constexpr std::size_t kFixedTrailerBytes = 10;
constexpr std::size_t kChecksumBytes = 4;
// Three empty strings, each one length byte.
constexpr std::size_t kMinReplayBytes =
    kFixedHeaderBytes + 1 + kFixedTrailerBytes + 2 + kChecksumBytes;
// A run's first varint holds (length - 1) * 2 plus the flag "a lag count follows".
constexpr std::uint32_t kLagFollows = 1;

std::string Where(std::string_view source, const std::string& what) {
  return std::string(source) + ": " + what;
}

std::string Hex(std::uint64_t value) {
  char text[19];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

std::uint32_t Crc32(std::string_view bytes) {
  const uLong start = crc32(0L, Z_NULL, 0);
  return static_cast<std::uint32_t>(
      crc32(start, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// ---------------------------------------------------------------------------------------------
// Writing.

class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void U16(std::uint16_t value) { Little(value, 2); }
  void U32(std::uint32_t value) { Little(value, 4); }
  void U64(std::uint64_t value) { Little(value, 8); }
  void Varint(std::uint32_t value) {
    while (value >= 0x80) {
      U8(static_cast<std::uint8_t>(value | 0x80));
      value >>= 7;
    }
    U8(static_cast<std::uint8_t>(value));
  }
  void Text(std::string_view text) {
    U8(static_cast<std::uint8_t>(text.size()));
    bytes_ += text;
  }
  void Bytes(std::string_view bytes) { bytes_ += bytes; }
  void PatchU32(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<char>(value >> (8 * i));
  }
  std::string& Result() { return bytes_; }

 private:
  void Little(std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) U8(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  std::string bytes_;
};

void CheckText(std::string_view text, std::size_t maxLength, std::string_view field,
               std::string_view source) {
  if (text.size() > maxLength) {
    throw ReplayError(
        ReplayProblem::BadField,
        Where(source, std::string(field) + ": " + std::to_string(text.size()) +
                          " characters, above the cap of " + std::to_string(maxLength)));
  }
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E) {
      throw ReplayError(
          ReplayProblem::BadField,
          Where(source, std::string(field) + ": character " + Hex(c) + " is not printable ASCII"));
    }
  }
}

void CheckActionBits(std::uint32_t actionBits, std::string_view source) {
  if (actionBits & ~std::uint32_t{kReplayActionMask}) {
    throw ReplayError(
        ReplayProblem::BadField,
        Where(source, "action bits " + Hex(actionBits) + " outside the 9 recorded actions"));
  }
}

void CheckTick(const ReplayTick& tick, std::string_view source) {
  CheckActionBits(tick.ActionBits, source);
  if (tick.LagCount < 1 || tick.LagCount > kMaxReplayLagCount) {
    throw ReplayError(ReplayProblem::BadField,
                      Where(source, "lag count " + std::to_string(tick.LagCount) + " outside 1.." +
                                        std::to_string(kMaxReplayLagCount)));
  }
}

std::string EncodeRuns(const std::vector<ReplayRun>& runs) {
  ByteWriter writer;
  std::uint32_t lagCount = 1;
  for (const ReplayRun& run : runs) {
    const bool lagChanged = run.Tick.LagCount != lagCount;
    writer.Varint(((run.Length - 1) << 1) | (lagChanged ? kLagFollows : 0));
    writer.Varint(run.Tick.ActionBits);
    if (lagChanged) writer.Varint(run.Tick.LagCount);
    lagCount = run.Tick.LagCount;
  }
  return std::move(writer.Result());
}

// ---------------------------------------------------------------------------------------------
// Reading.

class ByteReader {
 public:
  ByteReader(std::string_view bytes, std::string_view source) : bytes_(bytes), source_(source) {}

  std::size_t Remaining() const { return bytes_.size() - position_; }
  std::size_t Position() const { return position_; }

  std::uint8_t U8(std::string_view field) { return static_cast<std::uint8_t>(Little(1, field)); }
  std::uint16_t U16(std::string_view field) { return static_cast<std::uint16_t>(Little(2, field)); }
  std::uint32_t U32(std::string_view field) { return static_cast<std::uint32_t>(Little(4, field)); }
  std::uint64_t U64(std::string_view field) { return Little(8, field); }

  // Refuses more than 32 bits and longer encodings than the value needs, so every value has
  // exactly one encoding.
  std::uint32_t Varint(std::string_view field) {
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
      if (shift > 28) Fail(std::string(field) + ": number longer than 32 bits");
      const std::uint8_t byte = U8(field);
      if (shift > 0 && byte == 0) Fail(std::string(field) + ": number with a needless zero byte");
      value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if (!(byte & 0x80)) break;
    }
    if (value > UINT32_MAX) Fail(std::string(field) + ": number longer than 32 bits");
    return static_cast<std::uint32_t>(value);
  }

  std::string_view Take(std::size_t count, std::string_view field) {
    if (count > Remaining()) Fail(std::string(field) + ": runs past the end of its part");
    const std::string_view part = bytes_.substr(position_, count);
    position_ += count;
    return part;
  }

  std::string Text(std::size_t maxLength, std::string_view field) {
    const std::uint8_t length = U8(field);
    const std::string text(Take(length, field));
    CheckText(text, maxLength, field, source_);
    return text;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw ReplayError(ReplayProblem::BadField, Where(source_, what));
  }

 private:
  std::uint64_t Little(int count, std::string_view field) {
    const std::string_view part = Take(static_cast<std::size_t>(count), field);
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(part[i]);
    return value;
  }

  std::string_view bytes_;
  std::string_view source_;
  std::size_t position_ = 0;
};

// Magic, version, length and checksum: whether these are our bytes, whole and undamaged.
void CheckEnvelope(std::string_view bytes, std::string_view source) {
  if (bytes.size() > kMaxReplayBytes) {
    throw ReplayError(ReplayProblem::TooLarge,
                      Where(source, std::to_string(bytes.size()) + " bytes, above the cap of " +
                                        std::to_string(kMaxReplayBytes)));
  }
  const std::size_t magicPart = std::min(bytes.size(), kReplayMagic.size());
  if (bytes.substr(0, magicPart) != kReplayMagic.substr(0, magicPart) || bytes.empty()) {
    throw ReplayError(ReplayProblem::NotAReplay, Where(source, "not a replay"));
  }
  if (bytes.size() < kFileLengthOffset + 4) {
    throw ReplayError(ReplayProblem::Truncated,
                      Where(source, "truncated (" + std::to_string(bytes.size()) +
                                        " bytes, not even a whole header)"));
  }
  ByteReader reader(bytes, source);
  reader.Take(kReplayMagic.size(), "magic");
  const std::uint16_t version = reader.U16("format version");
  if (version != kReplayFormatVersion && version != kUnticketedReplayFormatVersion) {
    throw ReplayError(
        ReplayProblem::UnsupportedVersion,
        Where(source, "unsupported format version " + std::to_string(version) +
                          " (this program reads " + std::to_string(kUnticketedReplayFormatVersion) +
                          " and " + std::to_string(kReplayFormatVersion) + ")"));
  }
  const std::uint32_t length = reader.U32("file length");
  const std::size_t minBytes =
      kMinReplayBytes + (version == kReplayFormatVersion ? kTicketBytes : 0);
  if (length < minBytes || length > kMaxReplayBytes) {
    reader.Fail("file length " + std::to_string(length) + " outside " + std::to_string(minBytes) +
                ".." + std::to_string(kMaxReplayBytes));
  }
  if (bytes.size() < length) {
    throw ReplayError(ReplayProblem::Truncated,
                      Where(source, "truncated (" + std::to_string(bytes.size()) + " of " +
                                        std::to_string(length) + " bytes)"));
  }
  if (bytes.size() > length) {
    throw ReplayError(ReplayProblem::Damaged,
                      Where(source, "damaged (" + std::to_string(bytes.size() - length) +
                                        " bytes after the end)"));
  }
  const std::string_view covered = bytes.substr(0, length - kChecksumBytes);
  ByteReader checksumReader(bytes.substr(covered.size()), source);
  const std::uint32_t stored = checksumReader.U32("checksum");
  const std::uint32_t computed = Crc32(covered);
  if (stored != computed) {
    throw ReplayError(
        ReplayProblem::Damaged,
        Where(source, "damaged (checksum " + Hex(computed) + ", file says " + Hex(stored) + ")"));
  }
}

std::vector<ReplayRun> DecodeRuns(std::string_view stream, std::uint32_t tickCount,
                                  std::string_view source) {
  ByteReader reader(stream, source);
  std::vector<ReplayRun> runs;
  std::uint32_t ticks = 0;
  std::uint32_t lagCount = 1;
  while (reader.Remaining() > 0) {
    const std::uint32_t head = reader.Varint("run length");
    ReplayRun run;
    run.Length = (head >> 1) + 1;
    const std::uint32_t actionBits = reader.Varint("action bits");
    CheckActionBits(actionBits, source);
    run.Tick.ActionBits = static_cast<std::uint16_t>(actionBits);
    if (head & kLagFollows) {
      run.Tick.LagCount = reader.Varint("lag count");
      if (run.Tick.LagCount == lagCount) reader.Fail("lag count repeated in the run after it");
    } else {
      run.Tick.LagCount = lagCount;
    }
    CheckTick(run.Tick, source);
    if (!runs.empty() && runs.back().Tick == run.Tick) {
      reader.Fail("a run with the same input as the run before it");
    }
    if (run.Length > tickCount - ticks) {
      reader.Fail("tick runs longer than the tick count " + std::to_string(tickCount));
    }
    ticks += run.Length;
    lagCount = run.Tick.LagCount;
    runs.push_back(run);
  }
  if (ticks != tickCount) {
    reader.Fail("tick runs hold " + std::to_string(ticks) + " ticks, the tick count says " +
                std::to_string(tickCount));
  }
  return runs;
}

}  // namespace

std::uint16_t FormatVersionOf(const ReplayHeader& header) {
  return header.Ticket ? kReplayFormatVersion : kUnticketedReplayFormatVersion;
}

std::vector<ReplayTick> ExpandTicks(const Replay& replay) {
  std::vector<ReplayTick> ticks;
  ticks.reserve(replay.TickCount);
  for (const ReplayRun& run : replay.Runs) ticks.insert(ticks.end(), run.Length, run.Tick);
  return ticks;
}

void ReplayRecorder::Begin(const ReplayHeader& header) {
  CheckText(header.GameVersion, kMaxReplayGameVersionLength, "game version", "recording");
  header_ = header;
  runs_.clear();
  tickCount_ = 0;
}

void ReplayRecorder::AddTick(std::uint16_t actionBits, std::uint32_t lagCount) {
  const ReplayTick tick{actionBits, lagCount};
  CheckTick(tick, "recording");
  if (tickCount_ >= kMaxReplayTicks) {
    throw ReplayError(
        ReplayProblem::TooLarge,
        Where("recording", "more than " + std::to_string(kMaxReplayTicks) + " ticks"));
  }
  if (!runs_.empty() && runs_.back().Tick == tick) {
    ++runs_.back().Length;
  } else {
    runs_.push_back(ReplayRun{tick, 1});
  }
  ++tickCount_;
}

std::string ReplayRecorder::Finish(const ReplayTrailer& trailer) const {
  CheckText(trailer.PlayerName, kMaxReplayNameLength, "player name", "recording");
  CheckText(trailer.Country, kMaxReplayCountryLength, "country", "recording");
  const std::string stream = EncodeRuns(runs_);

  ByteWriter writer;
  writer.Bytes(kReplayMagic);
  writer.U16(FormatVersionOf(header_));
  writer.U32(0);  // the file length, known at the end
  writer.U64(header_.DataFingerprint);
  writer.U32(header_.RandomState);
  writer.U8(header_.Car);
  writer.U32(tickCount_);
  writer.U32(static_cast<std::uint32_t>(stream.size()));
  writer.Text(header_.GameVersion);
  if (header_.Ticket) writer.Bytes(TicketBytes(*header_.Ticket));
  writer.Bytes(stream);
  writer.U32(static_cast<std::uint32_t>(trailer.Score));
  writer.U16(trailer.Level);
  writer.U32(trailer.TicksPlayed);
  writer.Text(trailer.PlayerName);
  writer.Text(trailer.Country);

  const std::size_t length = writer.Result().size() + kChecksumBytes;
  if (length > kMaxReplayBytes) {
    throw ReplayError(ReplayProblem::TooLarge,
                      Where("recording", std::to_string(length) + " bytes, above the cap of " +
                                             std::to_string(kMaxReplayBytes)));
  }
  writer.PatchU32(kFileLengthOffset, static_cast<std::uint32_t>(length));
  writer.U32(Crc32(writer.Result()));
  return std::move(writer.Result());
}

Replay ReadReplay(std::string_view bytes, std::string_view sourceName) {
  CheckEnvelope(bytes, sourceName);
  ByteReader reader(bytes.substr(0, bytes.size() - kChecksumBytes), sourceName);
  reader.Take(kReplayMagic.size(), "magic");
  const std::uint16_t version = reader.U16("format version");
  reader.Take(4, "file length");

  Replay replay;
  replay.Header.DataFingerprint = reader.U64("data fingerprint");
  replay.Header.RandomState = reader.U32("random state");
  replay.Header.Car = reader.U8("car");
  replay.TickCount = reader.U32("tick count");
  if (replay.TickCount > kMaxReplayTicks) {
    throw ReplayError(
        ReplayProblem::TooLarge,
        Where(sourceName, "tick count " + std::to_string(replay.TickCount) + " above the cap of " +
                              std::to_string(kMaxReplayTicks)));
  }
  const std::uint32_t streamLength = reader.U32("tick stream length");
  replay.Header.GameVersion = reader.Text(kMaxReplayGameVersionLength, "game version");
  if (version == kReplayFormatVersion) {
    replay.Header.Ticket = TicketOfBytes(reader.Take(kTicketBytes, "race ticket"));
    if (!replay.Header.Ticket) reader.Fail("race ticket of an unknown kind");
  }
  const std::string_view stream = reader.Take(streamLength, "tick stream");

  replay.Trailer.Score = static_cast<std::int32_t>(reader.U32("score"));
  replay.Trailer.Level = reader.U16("level");
  replay.Trailer.TicksPlayed = reader.U32("ticks played");
  replay.Trailer.PlayerName = reader.Text(kMaxReplayNameLength, "player name");
  replay.Trailer.Country = reader.Text(kMaxReplayCountryLength, "country");
  if (reader.Remaining() != 0) {
    reader.Fail(std::to_string(reader.Remaining()) + " unexplained bytes after the country");
  }

  replay.Runs = DecodeRuns(stream, replay.TickCount, sourceName);
  return replay;
}

void SaveReplayFile(const std::filesystem::path& path, std::string_view bytes) {
  WriteSaveFile(path, bytes);
}

std::string ReadReplayFileBytes(const std::filesystem::path& path) {
  const std::string source = Utf8FromPath(path);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    throw ReplayError(ReplayProblem::Unreadable, Where(source, "cannot read: " + error.message()));
  }
  if (size > kMaxReplayBytes) {
    throw ReplayError(ReplayProblem::TooLarge,
                      Where(source, std::to_string(size) + " bytes, above the cap of " +
                                        std::to_string(kMaxReplayBytes)));
  }
  // One byte more than the cap, so a file that grew since its size was taken is still caught.
  std::ifstream file(path, std::ios::binary);
  std::string bytes(kMaxReplayBytes + 1, '\0');
  if (file) file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file && !file.eof()) {
    throw ReplayError(ReplayProblem::Unreadable,
                      Where(source, std::string("cannot read: ") + std::strerror(errno)));
  }
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

Replay LoadReplayFile(const std::filesystem::path& path) {
  return ReadReplay(ReadReplayFileBytes(path), Utf8FromPath(path));
}

std::uint64_t DataFingerprint(std::span<const std::uint8_t> bytes, std::uint64_t start) {
  std::uint64_t hash = start;
  for (std::uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::uint64_t DataFingerprint(std::string_view bytes, std::uint64_t start) {
  return DataFingerprint(std::span<const std::uint8_t>(
                             reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                         start);
}

std::string FingerprintText(std::uint64_t fingerprint) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(fingerprint));
  return text;
}

}  // namespace rivoltra
