#include "persist/save_numbers.h"

#include <charconv>

namespace rivoltra {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::optional<std::int32_t> ParseSaveNumber(std::string_view line, bool wholeLine) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  bool negative = false;
  if (!line.empty() && (line.front() == '+' || line.front() == '-')) {
    negative = line.front() == '-';
    line.remove_prefix(1);
  }
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), magnitude);
  // from_chars would take a second sign; the digits must follow the one sign directly.
  if (error != std::errc() || line.empty() || line.front() < '0' || line.front() > '9') {
    return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  if (wholeLine) {
    for (const char* c = end; c != line.data() + line.size(); ++c) {
      if (!IsBlank(*c)) return std::nullopt;
    }
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace rivoltra
