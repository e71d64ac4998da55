#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rivoltra {

// A decimal number at the start of a save-file line: leading blanks, an optional sign, at least
// one digit. With wholeLine the rest must be blanks; otherwise the rest is ignored. Nothing
// beyond 32 bits is accepted.
std::optional<std::int32_t> ParseSaveNumber(std::string_view line, bool wholeLine);

}  // namespace rivoltra
