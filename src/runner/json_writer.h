#pragma once

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

namespace rivoltra {

// A small writer for one-line JSON objects and arrays; the scripted runner's output format.
class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(std::string_view name) {
    Separate();
    WriteString(name);
    out_ << ':';
    afterKey_ = true;
    return *this;
  }
  JsonWriter& Value(std::string_view text) {
    Separate();
    WriteString(text);
    return *this;
  }
  JsonWriter& Value(const char* text) { return Value(std::string_view(text)); }
  JsonWriter& Value(bool flag) {
    Separate();
    out_ << (flag ? "true" : "false");
    return *this;
  }
  JsonWriter& Value(std::int64_t number) {
    Separate();
    out_ << number;
    return *this;
  }
  JsonWriter& Value(int number) { return Value(static_cast<std::int64_t>(number)); }
  JsonWriter& Value(std::uint32_t number) { return Value(static_cast<std::int64_t>(number)); }
  JsonWriter& Value(double number);
  // An enumerator as its number.
  template <typename Enum>
  requires std::is_enum_v<Enum> JsonWriter& Value(Enum value) {
    return Value(static_cast<std::int64_t>(static_cast<std::underlying_type_t<Enum>>(value)));
  }
  JsonWriter& Null() {
    Separate();
    out_ << "null";
    return *this;
  }

  template <typename T>
  JsonWriter& Field(std::string_view name, const T& value) {
    Key(name);
    return Value(value);
  }

  std::string Text() const { return out_.str(); }

 private:
  JsonWriter& Open(char bracket) {
    Separate();
    out_ << bracket;
    first_ = true;
    return *this;
  }
  JsonWriter& Close(char bracket) {
    out_ << bracket;
    first_ = false;
    afterKey_ = false;
    return *this;
  }
  void Separate();
  void WriteString(std::string_view text);

  std::ostringstream out_;
  bool first_ = true;
  bool afterKey_ = false;
};

}  // namespace rivoltra
