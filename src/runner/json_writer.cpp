#include "runner/json_writer.h"

#include <cstdio>

namespace rivoltra {

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_) out_ << ',';
  first_ = false;
}

JsonWriter& JsonWriter::Value(double number) {
  Separate();
  if (!std::isfinite(number)) {
    out_ << "null";
    return *this;
  }
  // Shortest text that reads back to the same double, so scripts can compare exactly.
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", number);
  for (int precision = 1; precision <= 17; ++precision) {
    char candidate[32];
    std::snprintf(candidate, sizeof candidate, "%.*g", precision, number);
    if (std::strtod(candidate, nullptr) == number) {
      out_ << candidate;
      return *this;
    }
  }
  out_ << buffer;
  return *this;
}

void JsonWriter::WriteString(std::string_view text) {
  out_ << '"';
  for (const char c : text) {
    switch (c) {
      case '"': out_ << "\\\""; break;
      case '\\': out_ << "\\\\"; break;
      case '\n': out_ << "\\n"; break;
      case '\r': out_ << "\\r"; break;
      case '\t': out_ << "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out_ << escaped;
        } else {
          out_ << c;
        }
    }
  }
  out_ << '"';
}

}  // namespace rivoltra
