#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "formats/race_ticket.h"

namespace rivoltra {

// A replay (".rvr") holds what the race rules need to play a game again: the start state and
// the input of every tick. docs/replay-format.md describes the bytes.
//
// Format versions; a change to the bytes gets a new number and a line here, and readers refuse
// numbers they do not know:
//   1  magic, version, file length, data fingerprint, random state, car, tick count, tick
//      stream length, game version; tick runs; score, level, ticks played, name, country; CRC-32
//   2  version 1 with the race ticket (57 bytes) after the game version
// A replay without a ticket is written as version 1, so every replay still has one encoding and
// older readers keep reading every game that never had a ticket.
inline constexpr std::uint16_t kReplayFormatVersion = 2;
inline constexpr std::uint16_t kUnticketedReplayFormatVersion = 1;

inline constexpr std::string_view kReplayMagic{"RVR\x1A", 4};

// Two hours at 30 ms a tick. Longer recordings are refused before their ticks are decoded.
inline constexpr std::uint32_t kMaxReplayTicks = 2 * 60 * 60 * 1000 / 30;
// A game at the tick cap with a key change every tick stays below this.
inline constexpr std::size_t kMaxReplayBytes = 1 << 20;
// A tick stands for LagCount frame intervals; more than this is a stall no game survives.
inline constexpr std::uint32_t kMaxReplayLagCount = 65535;
inline constexpr std::size_t kMaxReplayGameVersionLength = 32;
inline constexpr std::size_t kMaxReplayNameLength = 64;
inline constexpr std::size_t kMaxReplayCountryLength = 64;

// The action states the race rules read, one bit each in a tick's action bits.
enum ReplayAction : std::uint16_t {
  ReplayUp = 1 << 0,
  ReplayDown = 1 << 1,
  ReplayLeft = 1 << 2,
  ReplayRight = 1 << 3,
  ReplayFire = 1 << 4,
  ReplayPause = 1 << 5,
  ReplayFinish = 1 << 6,
  ReplayYes = 1 << 7,
  ReplayNo = 1 << 8,
};
inline constexpr std::uint16_t kReplayActionMask = (1 << 9) - 1;

enum class ReplayProblem {
  NotAReplay,          // no replay magic
  UnsupportedVersion,  // a format version this program does not read
  Truncated,           // fewer bytes than the file says it has
  Damaged,             // the checksum does not match, or bytes after the end
  TooLarge,            // above the byte or tick cap
  BadField,            // a field outside its limits, or a tick stream that does not add up
  Unreadable,          // the file could not be opened or read
};

// A replay that cannot be read or written; the message names the file and what is wrong.
class ReplayError : public std::runtime_error {
 public:
  ReplayError(ReplayProblem problem, const std::string& message)
      : std::runtime_error(message), problem_(problem) {}
  ReplayProblem Problem() const { return problem_; }

 private:
  ReplayProblem problem_;
};

struct ReplayHeader {
  std::string GameVersion;
  // Fingerprint of the tables and object sizes the rules depend on; a verifier with other
  // data would simulate a different game.
  std::uint64_t DataFingerprint = 0;
  std::uint32_t RandomState = 0;
  std::uint8_t Car = 0;
  // The score server's ticket the race was started with; none for a race started offline.
  std::optional<RaceTicket> Ticket;
  bool operator==(const ReplayHeader&) const = default;
};

struct ReplayTrailer {
  std::int32_t Score = 0;
  std::uint16_t Level = 0;
  std::uint32_t TicksPlayed = 0;
  // Empty when none was entered. Printable ASCII only.
  std::string PlayerName;
  std::string Country;
  bool operator==(const ReplayTrailer&) const = default;
};

struct ReplayTick {
  std::uint16_t ActionBits = 0;
  std::uint32_t LagCount = 1;
  bool operator==(const ReplayTick&) const = default;
};

// Length consecutive ticks with the same input.
struct ReplayRun {
  ReplayTick Tick;
  std::uint32_t Length = 0;
  bool operator==(const ReplayRun&) const = default;
};

struct Replay {
  ReplayHeader Header;
  std::vector<ReplayRun> Runs;
  std::uint32_t TickCount = 0;
  ReplayTrailer Trailer;
  bool operator==(const Replay&) const = default;
};

// The format version the replay is written in: 2 with a ticket, 1 without.
std::uint16_t FormatVersionOf(const ReplayHeader& header);

// One tick per element, in order.
std::vector<ReplayTick> ExpandTicks(const Replay& replay);

// Collects a game's ticks and writes the replay bytes at the end. Throws ReplayError
// (BadField, TooLarge) for values the format cannot hold, so a bad recording fails at once
// rather than at playback.
class ReplayRecorder {
 public:
  void Begin(const ReplayHeader& header);
  void AddTick(std::uint16_t actionBits, std::uint32_t lagCount);
  std::string Finish(const ReplayTrailer& trailer) const;

  std::uint32_t TickCount() const { return tickCount_; }

 private:
  ReplayHeader header_;
  std::vector<ReplayRun> runs_;
  std::uint32_t tickCount_ = 0;
};

// Parses replay bytes; sourceName (usually the file name) heads every error message. Checks the
// magic, version, length and checksum before any field, and the tick cap before the ticks.
Replay ReadReplay(std::string_view bytes, std::string_view sourceName);

// Written beside the file and renamed over it, so a crash never leaves half a replay.
// Throws SaveFileError.
void SaveReplayFile(const std::filesystem::path& path, std::string_view bytes);

// The file's bytes; files above kMaxReplayBytes are refused without reading them.
std::string ReadReplayFileBytes(const std::filesystem::path& path);
Replay LoadReplayFile(const std::filesystem::path& path);

// 64-bit FNV-1a, stable across machines; pass a previous result as start to fold several spans
// into one fingerprint.
inline constexpr std::uint64_t kFingerprintStart = 0xcbf29ce484222325ull;
std::uint64_t DataFingerprint(std::span<const std::uint8_t> bytes,
                              std::uint64_t start = kFingerprintStart);
std::uint64_t DataFingerprint(std::string_view bytes, std::uint64_t start = kFingerprintStart);

// A data fingerprint as 16 hex digits, as messages and the info tool show it.
std::string FingerprintText(std::uint64_t fingerprint);

}  // namespace rivoltra
