#pragma once

#include <cstddef>
#include <string>

#include "formats/replay_file.h"
#include "replay_verifier.h"

namespace rivoltra::replay_tool {

// One JSON line with the header and trailer fields. The fingerprint is a hex string: JSON
// readers hold numbers as doubles, which cannot keep 64 bits.
std::string InfoJson(const Replay& replay, std::size_t fileBytes);

// {"valid": true|false, "score": N, "level": N, "ticks": N, "reason": "..."}
std::string VerdictJson(const Verdict& verdict);

}  // namespace rivoltra::replay_tool
