// Hostile replay files, as a score server receives them: the reader must refuse them with a
// ReplayError or return a replay that the recorder writes back to exactly the same bytes (every
// replay has one encoding). Anything else, a crash or a sanitizer report is a finding.
// Random bytes rarely match the checksum, so each input is also read a second time with its
// length and checksum made right, which lets the fuzzer reach the fields behind them.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/replay_file.h"

namespace {

using namespace rivoltra;

constexpr std::size_t kLengthOffset = 6;
constexpr std::size_t kLengthEnd = kLengthOffset + 4;

void PutLittle32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// The input with the file length and the checksum a writer would have put there.
std::string Resealed(std::string_view input) {
  std::string bytes(input);
  PutLittle32(bytes, kLengthOffset, static_cast<std::uint32_t>(bytes.size()));
  const uLong checksum = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                               static_cast<uInt>(bytes.size() - 4));
  PutLittle32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(checksum));
  return bytes;
}

void CheckRead(std::string_view bytes) {
  Replay replay;
  try {
    replay = ReadReplay(bytes, "fuzz.rvr");
  } catch (const ReplayError&) {
    return;
  }
  if (ExpandTicks(replay).size() != replay.TickCount) std::abort();
  ReplayRecorder recorder;
  recorder.Begin(replay.Header);
  for (const ReplayRun& run : replay.Runs) {
    for (std::uint32_t i = 0; i < run.Length; ++i) {
      recorder.AddTick(run.Tick.ActionBits, run.Tick.LagCount);
    }
  }
  if (recorder.Finish(replay.Trailer) != bytes) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckRead(input);
  if (size >= kLengthEnd + 4 && size <= kMaxReplayBytes) CheckRead(Resealed(input));
  return 0;
}
