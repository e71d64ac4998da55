#include "engine/component_stream.h"

#include <cassert>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

#include "system/file_names.h"
#include "system/native_files.h"

namespace rivoltra {

namespace {

constexpr char kStreamReadError[] = "Stream read error";
constexpr char kInvalidStreamFormat[] = "Invalid stream format";
constexpr char kInvalidPropertyValue[] = "Invalid property value";
// Collections nest only through hostile data; the depth limit keeps SkipValue's recursion
// from exhausting the stack.
constexpr int kMaxSkipDepth = 64;

}  // namespace

// ---------------------------------------------------------------------------------------------
// ComponentValue

ComponentValue ComponentValue::Integer(std::int32_t value) {
  ComponentValue v;
  v.Type = Kind::Integer;
  v.Int = value;
  return v;
}

ComponentValue ComponentValue::Boolean(bool value) {
  ComponentValue v;
  v.Type = Kind::Boolean;
  v.Bool = value;
  return v;
}

ComponentValue ComponentValue::String(std::string_view value) {
  ComponentValue v;
  v.Type = Kind::String;
  v.Text = std::string(value);
  return v;
}

ComponentValue ComponentValue::Identifier(std::string_view value) {
  ComponentValue v;
  v.Type = Kind::Identifier;
  v.Text = std::string(value);
  return v;
}

ComponentValue ComponentValue::Binary(std::span<const std::uint8_t> value) {
  ComponentValue v;
  v.Type = Kind::Binary;
  v.Data.assign(value.begin(), value.end());
  return v;
}

// ---------------------------------------------------------------------------------------------
// ByteCursor

void ByteCursor::Need(std::size_t count) const {
  if (count > Remaining()) throw FormatError(kStreamReadError);
}

std::uint8_t ByteCursor::PeekU8() const {
  Need(1);
  return bytes_[position_];
}

std::uint8_t ByteCursor::U8() {
  Need(1);
  return bytes_[position_++];
}

std::int8_t ByteCursor::I8() { return static_cast<std::int8_t>(U8()); }

std::uint16_t ByteCursor::U16() {
  Need(2);
  const auto value = static_cast<std::uint16_t>(bytes_[position_] | bytes_[position_ + 1] << 8);
  position_ += 2;
  return value;
}

std::int16_t ByteCursor::I16() { return static_cast<std::int16_t>(U16()); }

std::uint32_t ByteCursor::U32() {
  Need(4);
  const std::uint32_t value = static_cast<std::uint32_t>(bytes_[position_]) |
                              static_cast<std::uint32_t>(bytes_[position_ + 1]) << 8 |
                              static_cast<std::uint32_t>(bytes_[position_ + 2]) << 16 |
                              static_cast<std::uint32_t>(bytes_[position_ + 3]) << 24;
  position_ += 4;
  return value;
}

std::int32_t ByteCursor::I32() { return static_cast<std::int32_t>(U32()); }

std::span<const std::uint8_t> ByteCursor::Bytes(std::size_t count) {
  Need(count);
  auto view = bytes_.subspan(position_, count);
  position_ += count;
  return view;
}

void ByteCursor::Skip(std::size_t count) {
  Need(count);
  position_ += count;
}

std::string ByteCursor::ShortString() {
  const std::size_t length = U8();
  auto chars = Bytes(length);
  return std::string(chars.begin(), chars.end());
}

// ---------------------------------------------------------------------------------------------
// ComponentReader

ComponentReader::ComponentReader(std::span<const std::uint8_t> bytes, std::string fileName)
    : cursor_(bytes), fileName_(std::move(fileName)) {}

std::string ComponentReader::Context(const std::string& message) const {
  std::string text = fileName_ + ": ";
  if (!property_.empty()) text += "Error reading " + owner_ + "." + property_ + ": ";
  return text + message;
}

void ComponentReader::Fail(const std::string& message) const {
  throw ArchiveError(Context(message));
}

void ComponentReader::ReadResourceHeader() {
  // Only the first three bytes are checked; the header then ends name length + 10 bytes in.
  if (cursor_.Remaining() < 3) Fail(kInvalidStreamFormat);
  const std::uint8_t marker = cursor_.U8();
  const std::uint16_t type = cursor_.U16();
  if (marker != 0xFF || type != 10) Fail(kInvalidStreamFormat);
  try {
    while (cursor_.U8() != 0) {
    }
    cursor_.Skip(2 + 4);  // memory flags, size of the rest
  } catch (const FormatError& e) {
    Fail(e.what());
  }
}

void ComponentReader::ReadSignature() {
  if (cursor_.Remaining() < 4) Fail(kInvalidStreamFormat);
  auto signature = cursor_.Bytes(4);
  if (signature[0] != 'T' || signature[1] != 'P' || signature[2] != 'F' || signature[3] != '0')
    Fail(kInvalidStreamFormat);
}

ComponentReader::ComponentHeader ComponentReader::ReadComponentHeader() {
  ComponentHeader header;
  try {
    if ((cursor_.PeekU8() & 0xF0) == 0xF0) {
      header.Flags = cursor_.U8() & 0x0F;
      if (header.Flags & 0x02) header.ChildPosition = ReadInteger();
    }
    header.ClassName = cursor_.ShortString();
    header.Name = cursor_.ShortString();
  } catch (const FormatError& e) {
    Fail(e.what());
  }
  return header;
}

ComponentReader::ComponentHeader ComponentReader::ReadRootComponent(
    std::string_view expectedClassName) {
  ComponentHeader header = ReadComponentHeader();
  if (header.ClassName != expectedClassName) Fail("Class " + header.ClassName + " not found");
  return header;
}

void ComponentReader::ReadEndOfChildren() {
  bool atEnd = false;
  try {
    atEnd = AtEndOfList();
  } catch (const FormatError& e) {
    Fail(e.what());
  }
  if (!atEnd) Fail("Class " + ReadComponentHeader().ClassName + " not found");
  cursor_.U8();
}

bool ComponentReader::AtEndOfList() const {
  return cursor_.PeekU8() == static_cast<std::uint8_t>(ValueTag::Null);
}

void ComponentReader::ReadEndOfList() {
  if (cursor_.U8() != static_cast<std::uint8_t>(ValueTag::Null))
    throw FormatError(kInvalidPropertyValue);
}

void ComponentReader::ReadProperties(
    std::string_view ownerClassName,
    const std::function<bool(const std::string& propertyName)>& readValue) {
  const std::string outerOwner = owner_, outerProperty = property_;
  try {
    while (!AtEndOfList()) {
      // A property name that cannot be read is reported with the owner but no property.
      std::string name = cursor_.ShortString();
      owner_ = std::string(ownerClassName);
      property_ = name;
      if (!readValue(name)) throw FormatError("Property " + name + " does not exist");
      owner_ = outerOwner;
      property_ = outerProperty;
    }
    cursor_.U8();
  } catch (const FormatError& e) {
    Fail(e.what());  // names the innermost property being read, as set above
  }
}

void ComponentReader::ReadCollection(const std::function<void()>& readItem) {
  ReadCollectionWithOrder([&](std::int32_t) { readItem(); });
}

void ComponentReader::ReadCollectionWithOrder(
    const std::function<void(std::int32_t order)>& readItem) {
  if (cursor_.U8() != static_cast<std::uint8_t>(ValueTag::Collection))
    throw FormatError(kInvalidPropertyValue);
  while (!AtEndOfList()) {
    std::int32_t order = -1;
    const auto tag = static_cast<ValueTag>(cursor_.PeekU8());
    if (tag == ValueTag::Int8 || tag == ValueTag::Int16 || tag == ValueTag::Int32)
      order = ReadInteger();
    if (cursor_.U8() != static_cast<std::uint8_t>(ValueTag::List))
      throw FormatError(kInvalidPropertyValue);
    readItem(order);
  }
  ReadEndOfList();
}

ValueTag ComponentReader::PeekTag() const { return static_cast<ValueTag>(cursor_.PeekU8()); }

std::int32_t ComponentReader::ReadInteger() {
  switch (static_cast<ValueTag>(cursor_.U8())) {
    case ValueTag::Int8:
      return cursor_.I8();
    case ValueTag::Int16:
      return cursor_.I16();
    case ValueTag::Int32:
      return cursor_.I32();
    default:
      throw FormatError(kInvalidPropertyValue);
  }
}

bool ComponentReader::ReadBoolean() {
  switch (static_cast<ValueTag>(cursor_.U8())) {
    case ValueTag::False:
      return false;
    case ValueTag::True:
      return true;
    default:
      throw FormatError(kInvalidPropertyValue);
  }
}

std::string ComponentReader::ReadString() {
  switch (static_cast<ValueTag>(cursor_.U8())) {
    case ValueTag::String:
      return cursor_.ShortString();
    case ValueTag::LString: {
      auto chars = cursor_.Bytes(cursor_.U32());
      return std::string(chars.begin(), chars.end());
    }
    default:
      throw FormatError(kInvalidPropertyValue);
  }
}

std::string ComponentReader::ReadIdentifier() {
  switch (static_cast<ValueTag>(cursor_.U8())) {
    case ValueTag::Ident:
      return cursor_.ShortString();
    case ValueTag::False:
      return "False";
    case ValueTag::True:
      return "True";
    case ValueTag::Nil:
      return "nil";
    default:
      throw FormatError(kInvalidPropertyValue);
  }
}

std::span<const std::uint8_t> ComponentReader::ReadBinary() {
  if (cursor_.U8() != static_cast<std::uint8_t>(ValueTag::Binary))
    throw FormatError(kInvalidPropertyValue);
  return cursor_.Bytes(cursor_.U32());
}

ComponentValue ComponentReader::ReadValueAfterTag(ValueTag tag) {
  switch (tag) {
    case ValueTag::Int8:
      return ComponentValue::Integer(cursor_.I8());
    case ValueTag::Int16:
      return ComponentValue::Integer(cursor_.I16());
    case ValueTag::Int32:
      return ComponentValue::Integer(cursor_.I32());
    case ValueTag::False:
      return ComponentValue::Boolean(false);
    case ValueTag::True:
      return ComponentValue::Boolean(true);
    case ValueTag::String:
      return ComponentValue::String(cursor_.ShortString());
    case ValueTag::LString: {
      auto chars = cursor_.Bytes(cursor_.U32());
      return ComponentValue::String(std::string(chars.begin(), chars.end()));
    }
    case ValueTag::Ident:
      return ComponentValue::Identifier(cursor_.ShortString());
    case ValueTag::Nil:
      return ComponentValue::Identifier("nil");
    case ValueTag::Binary:
      return ComponentValue::Binary(cursor_.Bytes(cursor_.U32()));
    default:
      throw FormatError(kInvalidPropertyValue);
  }
}

ComponentValue ComponentReader::ReadValue() {
  return ReadValueAfterTag(static_cast<ValueTag>(cursor_.U8()));
}

void ComponentReader::SkipValue() { SkipValueDepth(0); }

void ComponentReader::SkipValueDepth(int depth) {
  if (depth > kMaxSkipDepth) throw FormatError(kInvalidPropertyValue);
  const auto tag = static_cast<ValueTag>(cursor_.PeekU8());
  switch (tag) {
    case ValueTag::Extended:
      cursor_.Skip(1 + 10);
      return;
    case ValueTag::Set:
      cursor_.U8();
      while (!cursor_.ShortString().empty()) {
      }
      return;
    case ValueTag::List:  // a list of values until 0x00
      cursor_.U8();
      while (!AtEndOfList()) SkipValueDepth(depth + 1);
      cursor_.U8();
      return;
    case ValueTag::Collection:
      cursor_.U8();
      while (!AtEndOfList()) {
        const auto itemTag = static_cast<ValueTag>(cursor_.PeekU8());
        if (itemTag == ValueTag::Int8 || itemTag == ValueTag::Int16 || itemTag == ValueTag::Int32)
          ReadInteger();
        if (cursor_.U8() != static_cast<std::uint8_t>(ValueTag::List))
          throw FormatError(kInvalidPropertyValue);
        while (!AtEndOfList()) {
          cursor_.ShortString();
          SkipValueDepth(depth + 1);
        }
        cursor_.U8();
      }
      cursor_.U8();
      return;
    default:
      cursor_.U8();
      ReadValueAfterTag(tag);
      return;
  }
}

// ---------------------------------------------------------------------------------------------
// ComponentWriter

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendShortString(std::vector<std::uint8_t>& out, std::string_view text) {
  assert(text.size() <= 255 && "short strings hold at most 255 bytes");
  const std::size_t length = text.size() <= 255 ? text.size() : 255;
  out.push_back(static_cast<std::uint8_t>(length));
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

void ComponentWriter::WriteU8(std::uint8_t value) { bytes_.push_back(value); }
void ComponentWriter::WriteU16(std::uint16_t value) { AppendU16(bytes_, value); }
void ComponentWriter::WriteU32(std::uint32_t value) { AppendU32(bytes_, value); }
void ComponentWriter::WriteShortString(std::string_view text) { AppendShortString(bytes_, text); }

void ComponentWriter::BeginResource(std::string_view name) {
  WriteU8(0xFF);
  WriteU16(10);
  for (std::size_t i = 0; i < name.size() && i < 63; ++i)
    WriteU8(static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(name[i]))));
  WriteU8(0);
  WriteU16(0x1030);
  resourceSizeOffset_ = bytes_.size();
  hasResource_ = true;
  WriteU32(0);
}

void ComponentWriter::WriteSignature() {
  for (char c : std::string_view("TPF0")) WriteU8(static_cast<std::uint8_t>(c));
}

void ComponentWriter::BeginComponent(std::string_view className, std::string_view name) {
  WriteShortString(className);
  WriteShortString(name);
}

void ComponentWriter::WriteValue(const ComponentValue& value) {
  switch (value.Type) {
    case ComponentValue::Kind::Integer:
      if (value.Int >= -128 && value.Int <= 127) {
        WriteU8(static_cast<std::uint8_t>(ValueTag::Int8));
        WriteU8(static_cast<std::uint8_t>(value.Int));
      } else if (value.Int >= -32768 && value.Int <= 32767) {
        WriteU8(static_cast<std::uint8_t>(ValueTag::Int16));
        WriteU16(static_cast<std::uint16_t>(value.Int));
      } else {
        WriteU8(static_cast<std::uint8_t>(ValueTag::Int32));
        WriteU32(static_cast<std::uint32_t>(value.Int));
      }
      break;
    case ComponentValue::Kind::Boolean:
      WriteU8(static_cast<std::uint8_t>(value.Bool ? ValueTag::True : ValueTag::False));
      break;
    case ComponentValue::Kind::String:
      if (value.Text.size() <= 255) {
        WriteU8(static_cast<std::uint8_t>(ValueTag::String));
        WriteShortString(value.Text);
      } else {
        WriteU8(static_cast<std::uint8_t>(ValueTag::LString));
        WriteU32(static_cast<std::uint32_t>(value.Text.size()));
        bytes_.insert(bytes_.end(), value.Text.begin(), value.Text.end());
      }
      break;
    case ComponentValue::Kind::Identifier:
      WriteU8(static_cast<std::uint8_t>(ValueTag::Ident));
      WriteShortString(value.Text);
      break;
    case ComponentValue::Kind::Binary:
      WriteU8(static_cast<std::uint8_t>(ValueTag::Binary));
      WriteU32(static_cast<std::uint32_t>(value.Data.size()));
      bytes_.insert(bytes_.end(), value.Data.begin(), value.Data.end());
      break;
  }
}

void ComponentWriter::WriteProperty(std::string_view name, const ComponentValue& value) {
  WriteShortString(name);
  WriteValue(value);
}

void ComponentWriter::BeginCollection(std::string_view name) {
  WriteShortString(name);
  WriteU8(static_cast<std::uint8_t>(ValueTag::Collection));
}

void ComponentWriter::BeginItem(std::int32_t order) {
  if (order >= 0) WriteValue(ComponentValue::Integer(order));
  WriteU8(static_cast<std::uint8_t>(ValueTag::List));
}

void ComponentWriter::EndItem() { WriteU8(0); }
void ComponentWriter::EndCollection() { WriteU8(0); }

void ComponentWriter::EndComponent() {
  WriteU8(0);
  WriteU8(0);
}

std::vector<std::uint8_t> ComponentWriter::Finish() {
  if (hasResource_) {
    const std::size_t rest = bytes_.size() - (resourceSizeOffset_ + 4);
    const auto size = static_cast<std::uint32_t>(rest);
    for (int i = 0; i < 4; ++i)
      bytes_[resourceSizeOffset_ + static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(size >> (8 * i));
  }
  return std::move(bytes_);
}

// ---------------------------------------------------------------------------------------------
// Files

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void ThrowFileError(const std::string& fileName, const char* what) {
  throw std::system_error(errno ? errno : EIO, std::generic_category(), fileName + ": " + what);
}

}  // namespace

std::vector<std::uint8_t> ReadArchiveFile(const std::string& fileName) {
  errno = 0;
  const std::filesystem::path path = PathFromUtf8(fileName);
  FileHandle file(OpenFile(path, "rb"));
  if (!file) ThrowFileError(fileName, "cannot open");
  // The whole file in one read into a buffer of its size: growing the buffer piece by piece
  // copied a 12 MB archive three times over at every start. What the size does not cover (a
  // file that is not a regular one, or grows meanwhile) is read on in pieces.
  std::error_code sizeUnknown;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
  std::vector<std::uint8_t> bytes(sizeUnknown ? 0 : static_cast<std::size_t>(size));
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  std::uint8_t buffer[65536];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    bytes.insert(bytes.end(), buffer, buffer + count);
  if (std::ferror(file.get())) ThrowFileError(fileName, "cannot read");
  return bytes;
}

void WriteArchiveFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
  errno = 0;
  FileHandle file(OpenFile(PathFromUtf8(fileName), "wb"));
  if (!file) ThrowFileError(fileName, "cannot create");
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    ThrowFileError(fileName, "cannot write");
  if (std::fclose(file.release()) != 0) ThrowFileError(fileName, "cannot write");
}

}  // namespace rivoltra
