#pragma once
// The same game under another name, as anyone can make it from a downloaded replay: the name is
// not part of the simulation, and the replay's checksum is a plain CRC-32. The forgery that race
// tickets must stop.
#include <string>

#include "formats/replay_file.h"

namespace rivoltra::testsupport {

inline std::string Relabelled(const std::string& bytes, const std::string& name) {
  const Replay replay = ReadReplay(bytes, "download");
  ReplayRecorder recorder;
  recorder.Begin(replay.Header);
  for (const ReplayTick& tick : ExpandTicks(replay))
    recorder.AddTick(tick.ActionBits, tick.LagCount);
  ReplayTrailer trailer = replay.Trailer;
  trailer.PlayerName = name;
  return recorder.Finish(trailer);
}

}  // namespace rivoltra::testsupport
