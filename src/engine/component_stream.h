#pragma once
// The resource-wrapped component stream shared by the image archive (".gfx") and
// the sound archive (".sfx").
//
// Writing (a sound archive, for example):
//
//   ComponentWriter w;
//   w.BeginResource("TSoundArchiveRoot");          // resource header; name upper-cased
//   w.WriteSignature();                            // "TPF0"
//   w.BeginComponent("TSoundArchiveRoot");         // class name + empty component name
//   w.BeginCollection("List");                     // property name + tag 0x0E
//   for (const auto& sound : sounds) {
//     w.BeginItem();                               // tag 0x01 (BeginItem(n) writes an order number
//     first) w.WriteProperty("Name", ComponentValue::String(sound.Name)); w.WriteProperty("Looped",
//     ComponentValue::Boolean(sound.Looped)); w.WriteProperty("MaxPlayingCount",
//     ComponentValue::Integer(sound.MaxPlayingCount)); w.WriteProperty("Wave.WAVE",
//     ComponentValue::Binary(riffBytes)); w.EndItem();                                 // 0x00
//     ending the item's properties
//   }
//   w.EndCollection();                             // 0x00 after the last item
//   w.EndComponent();                              // 0x00 ending properties, 0x00 ending children
//   std::vector<std::uint8_t> bytes = w.Finish();  // patches the resource size
//
// Reading:
//
//   ComponentReader r(bytes, fileName);
//   r.ReadResourceHeader();                        // "Invalid stream format"
//   r.ReadSignature();                             // "Invalid stream format"
//   r.ReadRootComponent("TSoundArchiveRoot");      // prefix, class name, name; checks the class
//   r.ReadProperties("TSoundArchiveRoot", [&](const std::string& property) {
//     if (property != "List") return false;        // false: "Property List does not exist"
//     r.ReadCollection([&] {                       // once per item; clear before the first
//       SoundItem item;
//       r.ReadProperties("TSoundItem", [&](const std::string& name) {
//         if (name == "Name") item.Name = r.ReadString();
//         else if (name == "Looped") item.Looped = r.ReadBoolean();
//         else if (name == "MaxPlayingCount") item.MaxPlayingCount = r.ReadInteger();
//         else if (name == "Wave.WAVE") item.Wave = DecodeWave(r.ReadBinary());  // may throw
//         FormatError else return false; return true;
//       });
//       items.push_back(std::move(item));
//     });
//     return true;
//   });
//   r.ReadEndOfChildren();                         // the 0 byte after the root's properties' end
//
// Errors: everything thrown out of ComponentReader is an ArchiveError whose message starts
// with the file name: "Sounds.sfx: Invalid stream format". A failure while a property's value
// is read or decoded (a FormatError thrown by the reader itself, by ByteCursor or by a payload
// decoder called inside the ReadProperties callback) becomes
// "Sounds.sfx: Error reading TSoundItem.Wave.WAVE: Wave is invalid", i.e. the reader's
// "Error reading %s%s%s: %s" with the owner's class name, the dot, the property path and the
// inner message. Payload decoders therefore throw FormatError with the bare message.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rivoltra {

// Any fault of an archive's content; the message names the file and what is wrong.
class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A fault found without knowing the file or property ("DIB is invalid", "Stream read error");
// ComponentReader adds both and rethrows it as ArchiveError.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The value tags of the component stream.
enum class ValueTag : std::uint8_t {
  Null = 0x00,  // end of list
  List = 0x01,  // begin of one collection item
  Int8 = 0x02,
  Int16 = 0x03,
  Int32 = 0x04,
  Extended = 0x05,  // 10-byte float; skipped, never produced
  String = 0x06,
  Ident = 0x07,
  False = 0x08,
  True = 0x09,
  Binary = 0x0A,
  Set = 0x0B,  // names until an empty one; skipped, never produced
  LString = 0x0C,
  Nil = 0x0D,
  Collection = 0x0E,
};

// One scalar property value as written (collections are written with BeginCollection).
struct ComponentValue {
  enum class Kind { Integer, Boolean, String, Identifier, Binary };
  Kind Type = Kind::Integer;
  std::int32_t Int = 0;
  bool Bool = false;
  std::string Text;                // String and Identifier
  std::vector<std::uint8_t> Data;  // Binary

  static ComponentValue Integer(std::int32_t value);
  static ComponentValue Boolean(bool value);
  static ComponentValue String(std::string_view value);
  static ComponentValue Identifier(std::string_view value);
  static ComponentValue Binary(std::span<const std::uint8_t> value);
  bool operator==(const ComponentValue&) const = default;
};

// Bounds-checked little-endian reader over a byte span. Every read checks what remains and
// throws FormatError("Stream read error") instead of reading past the end.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return position_; }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }

  std::uint8_t PeekU8() const;
  std::uint8_t U8();
  std::int8_t I8();
  std::uint16_t U16();
  std::int16_t I16();
  std::uint32_t U32();
  std::int32_t I32();
  // The next count bytes, as a view into the original span.
  std::span<const std::uint8_t> Bytes(std::size_t count);
  void Skip(std::size_t count);
  // 1 length byte + characters.
  std::string ShortString();

 private:
  void Need(std::size_t count) const;
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Reads a component stream from memory. See the comment at the top of this file.
class ComponentReader {
 public:
  ComponentReader(std::span<const std::uint8_t> bytes, std::string fileName);

  const std::string& FileName() const { return fileName_; }
  std::size_t Position() const { return cursor_.Position(); }

  // Byte 0xFF and 16-bit 10, then skips the name, flags and size. "Invalid stream format".
  void ReadResourceHeader();
  // "TPF0". "Invalid stream format".
  void ReadSignature();

  struct ComponentHeader {
    int Flags = 0;          // low 4 bits of the optional 0xF0..0xFF prefix
    int ChildPosition = 0;  // present when flag bit 1 is set
    std::string ClassName;
    std::string Name;
  };
  // Optional prefix, class name and component name.
  ComponentHeader ReadComponentHeader();
  // Reads the header and checks the class: "Class X not found" otherwise.
  ComponentHeader ReadRootComponent(std::string_view expectedClassName);
  // The end of the root's child components: a 0 byte. A child component is not supported:
  // "Class X not found".
  void ReadEndOfChildren();

  // Reads "name value" pairs until the 0 byte that ends them. For each property name the
  // callback reads the value with one of the Read... calls below and returns true, or returns
  // false when the owner has no such property ("Property X does not exist"). FormatErrors
  // thrown while the callback runs are reported as "Error reading Owner.Property: message".
  void ReadProperties(std::string_view ownerClassName,
                      const std::function<bool(const std::string& propertyName)>& readValue);

  // Collection value: tag 0x0E, then per item an optional order number (ignored) and tag
  // 0x01; readItem reads the item (normally with ReadProperties); the collection's end 0x00.
  void ReadCollection(const std::function<void()>& readItem);
  // Same, reporting each item's order number (or -1 when absent) to the callback.
  void ReadCollectionWithOrder(const std::function<void(std::int32_t order)>& readItem);

  // Typed values: each reads one tag and its payload. A tag that does not fit the type is a
  // FormatError("Invalid property value").
  ValueTag PeekTag() const;
  std::int32_t ReadInteger();    // tags 0x02..0x04
  bool ReadBoolean();            // tags 0x08, 0x09
  std::string ReadString();      // tags 0x06, 0x0C
  std::string ReadIdentifier();  // tag 0x07 (also 0x08/0x09 as "False"/"True", 0x0D as "nil")
  std::span<const std::uint8_t> ReadBinary();  // tag 0x0A; a view into the stream's bytes
  // Any scalar value (not a collection), as ComponentValue.
  ComponentValue ReadValue();
  // Skips any value including collections, sets and extended floats.
  void SkipValue();

  // Throws ArchiveError "<file>: <message>", naming the property being read, if any.
  [[noreturn]] void Fail(const std::string& message) const;

 private:
  bool AtEndOfList() const;
  void ReadEndOfList();
  std::string Context(const std::string& message) const;
  ComponentValue ReadValueAfterTag(ValueTag tag);
  void SkipValueDepth(int depth);

  ByteCursor cursor_;
  std::string fileName_;
  std::string owner_;     // class name of the object whose property is being read
  std::string property_;  // its property path; empty outside ReadProperties
};

// Writes a component stream into memory. See the comment at the top of this file.
class ComponentWriter {
 public:
  // Resource header: 0xFF, 16-bit 10, the upper-cased name and a 0 byte, 16-bit 0x1030,
  // and the size of the rest, patched by Finish.
  void BeginResource(std::string_view name);
  void WriteSignature();
  // Class name and component name as short strings (no prefix byte).
  void BeginComponent(std::string_view className, std::string_view name = "");
  // Name, tag and payload. Integers take the smallest integer tag that holds them; strings
  // longer than 255 bytes take the long-string tag.
  void WriteProperty(std::string_view name, const ComponentValue& value);
  void WriteValue(const ComponentValue& value);
  // Property name and tag 0x0E.
  void BeginCollection(std::string_view name);
  // Tag 0x01, preceded by an order number when order >= 0.
  void BeginItem(std::int32_t order = -1);
  void EndItem();        // 0x00
  void EndCollection();  // 0x00
  // The 0 byte ending the component's properties and the 0 byte ending its (absent) children.
  void EndComponent();
  // The bytes, with the resource size filled in.
  std::vector<std::uint8_t> Finish();

  // Raw helpers, for payloads built beside the stream.
  void WriteU8(std::uint8_t value);
  void WriteU16(std::uint16_t value);
  void WriteU32(std::uint32_t value);
  void WriteShortString(std::string_view text);  // at most 255 bytes (longer is a logic error)

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t resourceSizeOffset_ = 0;
  bool hasResource_ = false;
};

// Whole files, for the archives' file-name entry points: std::system_error when the file
// cannot be opened, read or written.
std::vector<std::uint8_t> ReadArchiveFile(const std::string& fileName);
void WriteArchiveFile(const std::string& fileName, std::span<const std::uint8_t> bytes);

// Little-endian appenders for building payloads (bitmaps, RIFF images).
void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value);
void AppendShortString(std::vector<std::uint8_t>& out, std::string_view text);

}  // namespace rivoltra
