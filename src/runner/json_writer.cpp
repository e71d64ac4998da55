#include "runner/json_writer.h"

#include <charconv>
#include <cstdio>
#include <string_view>

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
  // The shortest text that reads back to the same double, so scripts can compare exactly.
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  out_ << std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
  return *this;
}

void JsonWriter::WriteString(std::string_view text) {
  out_ << '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        out_ << "\\\"";
        break;
      case '\\':
        out_ << "\\\\";
        break;
      case '\n':
        out_ << "\\n";
        break;
      case '\r':
        out_ << "\\r";
        break;
      case '\t':
        out_ << "\\t";
        break;
      default:
        // Bytes outside ASCII are taken as Latin-1, so the output stays valid UTF-8 JSON.
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) {
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
