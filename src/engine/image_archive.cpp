#include "engine/image_archive.h"

#include <algorithm>
#include <stdexcept>

#include "engine/compact_dib.h"
#include "engine/component_stream.h"
#include "engine/dib.h"
#include "engine/named_colors.h"

namespace rivoltra {

namespace {

constexpr char kRootClass[] = "TImageArchiveRoot";
constexpr char kItemClass[] = "TImageItem";
constexpr char kBitmapClass[] = "TBitmapData";
// The plain bitmap picture class: a 32-bit size, then a bitmap file with its 14-byte header.
constexpr char kPlainBitmapClass[] = "TBitmap";
constexpr std::size_t kBitmapFileHeaderSize = 14;

// "Picture.Data": a short string naming the picture class, then that class's data. A class
// the reader does not know leaves the picture empty.
Picture DecodePictureData(std::span<const std::uint8_t> payload) {
  if (payload.empty()) return Picture{};
  // The class name is read like a plain stream read: a name cut short is simply unknown.
  const std::size_t length = std::min<std::size_t>(payload[0], payload.size() - 1);
  const std::string className(payload.begin() + 1,
                              payload.begin() + 1 + static_cast<std::ptrdiff_t>(length));
  const auto data = payload.subspan(1 + length);
  if (length == payload[0] && className == kBitmapClass) return DecodeBitmapData(data);
  if (length == payload[0] && className == kPlainBitmapClass) {
    ByteCursor in(data);
    if (in.Remaining() < 4) return Picture{};
    const std::uint32_t size = in.U32();
    if (size == 0) return Picture{};
    if (size > in.Remaining() || size < kBitmapFileHeaderSize)
      throw FormatError("Bitmap image is not valid");
    auto file = in.Bytes(size);
    if (file[0] != 'B' || file[1] != 'M') throw FormatError("Bitmap image is not valid");
    return DecodeBitmapData(file.subspan(kBitmapFileHeaderSize));
  }
  return Picture{};
}

std::uint32_t ReadColor(ComponentReader& reader) {
  if (reader.PeekTag() == ValueTag::Ident) {
    const std::string identifier = reader.ReadIdentifier();
    if (auto color = ColorFromIdentifier(identifier)) return *color;
    throw FormatError("Invalid property value (unknown colour " + identifier + ")");
  }
  return ResolveSystemColor(static_cast<std::uint32_t>(reader.ReadInteger()));
}

ImageItemData ReadItem(ComponentReader& reader) {
  ImageItemData item;
  reader.ReadProperties(kItemClass, [&](const std::string& property) {
    if (property == "Name") {
      item.Name = reader.ReadString();
    } else if (property == "PatternWidth") {
      item.PatternWidth = reader.ReadInteger();
    } else if (property == "PatternHeight") {
      item.PatternHeight = reader.ReadInteger();
    } else if (property == "SkipWidth") {
      item.SkipWidth = reader.ReadInteger();
    } else if (property == "SkipHeight") {
      item.SkipHeight = reader.ReadInteger();
    } else if (property == "SystemMemory") {
      item.SystemMemory = reader.ReadBoolean();
    } else if (property == "Transparent") {
      item.Transparent = reader.ReadBoolean();
    } else if (property == "TransparentColor") {
      item.TransparentColor = ReadColor(reader);
    } else if (property == "Picture.Data") {
      item.Image = DecodePictureData(reader.ReadBinary());
    } else {
      return false;
    }
    return true;
  });
  return item;
}

void WriteItem(ComponentWriter& writer, const ImageItemData& item, PictureStorage storage) {
  writer.BeginItem();
  writer.WriteProperty("Name", ComponentValue::String(item.Name));
  writer.WriteProperty("PatternHeight", ComponentValue::Integer(item.PatternHeight));
  writer.WriteProperty("PatternWidth", ComponentValue::Integer(item.PatternWidth));
  if (!item.Image.IsEmpty()) {
    std::vector<std::uint8_t> payload;
    AppendShortString(payload, kBitmapClass);
    const std::vector<std::uint8_t> bitmap = storage == PictureStorage::Compact
                                                 ? EncodeCompactBitmapData(item.Image)
                                                 : EncodeBitmapData(item.Image);
    payload.insert(payload.end(), bitmap.begin(), bitmap.end());
    writer.WriteProperty("Picture.Data", ComponentValue::Binary(payload));
  }
  writer.WriteProperty("SkipHeight", ComponentValue::Integer(item.SkipHeight));
  writer.WriteProperty("SkipWidth", ComponentValue::Integer(item.SkipWidth));
  writer.WriteProperty("SystemMemory", ComponentValue::Boolean(item.SystemMemory));
  writer.WriteProperty("Transparent", ComponentValue::Boolean(item.Transparent));
  writer.WriteProperty("TransparentColor",
                       ComponentValue::Integer(static_cast<std::int32_t>(item.TransparentColor)));
  writer.EndItem();
}

}  // namespace

ImageArchiveContents ReadImageArchiveContents(std::span<const std::uint8_t> bytes,
                                              const std::string& fileName) {
  ImageArchiveContents contents;
  ComponentReader reader(bytes, fileName);
  reader.ReadResourceHeader();
  reader.ReadSignature();
  reader.ReadRootComponent(kRootClass);
  reader.ReadProperties(kRootClass, [&](const std::string& property) {
    if (property == "List.ColorTable") {
      const auto table = reader.ReadBinary();
      if (table.size() != contents.ColorTable.size())
        throw FormatError("Invalid property value (colour table of " +
                          std::to_string(table.size()) + " bytes, not 1024)");
      std::copy(table.begin(), table.end(), contents.ColorTable.begin());
    } else if (property == "List") {
      bool first = true;
      reader.ReadCollection([&] {
        // A collection that is not empty in the stream replaces what an earlier one loaded.
        if (first) contents.Items.clear();
        first = false;
        contents.Items.push_back(ReadItem(reader));
      });
    } else {
      return false;
    }
    return true;
  });
  reader.ReadEndOfChildren();
  return contents;
}

std::vector<ImageItemData> ReadImageArchiveBytes(std::span<const std::uint8_t> bytes,
                                                 const std::string& fileName) {
  return ReadImageArchiveContents(bytes, fileName).Items;
}

std::vector<ImageItemData> ReadImageArchive(const std::string& fileName) {
  const std::vector<std::uint8_t> bytes = ReadArchiveFile(fileName);
  return ReadImageArchiveBytes(bytes, fileName);
}

namespace {

std::vector<std::uint8_t> WriteArchive(std::span<const std::uint8_t> colorTable,
                                       const std::vector<ImageItemData>& items,
                                       PictureStorage storage) {
  ComponentWriter writer;
  writer.BeginResource(kRootClass);
  writer.WriteSignature();
  writer.BeginComponent(kRootClass);
  writer.WriteProperty("List.ColorTable", ComponentValue::Binary(colorTable));
  writer.BeginCollection("List");
  for (const auto& item : items) WriteItem(writer, item, storage);
  writer.EndCollection();
  writer.EndComponent();
  return writer.Finish();
}

}  // namespace

std::vector<std::uint8_t> WriteImageArchiveContentsBytes(const ImageArchiveContents& contents) {
  return WriteArchive(contents.ColorTable, contents.Items, PictureStorage::TrueColor);
}

std::vector<std::uint8_t> WriteImageArchiveBytes(const std::vector<ImageItemData>& items,
                                                 PictureStorage storage) {
  const std::array<std::uint8_t, 1024> noColorTable{};
  return WriteArchive(noColorTable, items, storage);
}

void WriteImageArchive(const std::string& fileName, const std::vector<ImageItemData>& items,
                       PictureStorage storage) {
  WriteArchiveFile(fileName, WriteImageArchiveBytes(items, storage));
}

}  // namespace rivoltra
